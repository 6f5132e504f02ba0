// The four sound effects, started and never waited for.

#include "game/assets.h"
#include "game/game.h"

namespace rt {

void Game::play(assets::SoundId sound) {
  if (sound_on != 0) p_.play_sound(assets::sound_path(sound));
}

void Game::play_ping() {
  play(assets::SoundId::Ping);
}
void Game::play_explosion() {
  play(assets::SoundId::Explosion);
}
void Game::play_ding() {
  play(assets::SoundId::Ding);
}
void Game::play_next() {
  play(assets::SoundId::Next);
}

}  // namespace rt
