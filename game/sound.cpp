// The four sound effects, started and never waited for.

#include "game/assets.h"
#include "game/game.h"

namespace rt {

void Game::play_ping() {
  if (sound_on != 0) p_.play_sound(assets::sound_path(assets::SoundId::Ping));
}

void Game::play_explosion() {
  if (sound_on != 0) p_.play_sound(assets::sound_path(assets::SoundId::Explosion));
}

void Game::play_ding() {
  if (sound_on != 0) p_.play_sound(assets::sound_path(assets::SoundId::Ding));
}

void Game::play_next() {
  if (sound_on != 0) p_.play_sound(assets::sound_path(assets::SoundId::Next));
}

}  // namespace rt
