// The score counter: points added the way a 32-bit counter does.

#include <cstdint>

#include "game/game.h"

namespace rt {

std::int32_t Game::wrapping_add(std::int32_t a, std::int32_t b) {
  // Unsigned arithmetic wraps by definition; the conversion back is modular.
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) + static_cast<std::uint32_t>(b));
}

void Game::add_score(std::int32_t points) {
  score = wrapping_add(score, points);
}

}  // namespace rt
