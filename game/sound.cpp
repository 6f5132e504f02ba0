// The four sound effects, started and never waited for.

#include "game/game.h"

namespace rt {

void Game::play_ping() {
  if (sound_on != 0) p_.play_sound("Waves\\ping.wav");
}

void Game::play_explosion() {
  if (sound_on != 0) p_.play_sound("Waves\\Explosion.wav");
}

void Game::play_ding() {
  if (sound_on != 0) p_.play_sound("Waves\\ding.wav");
}

void Game::play_next() {
  if (sound_on != 0) p_.play_sound("Waves\\next.wav");
}

}  // namespace rt
