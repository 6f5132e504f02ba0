// Whole-number draws from the game's random numbers, for the level generator.
#pragma once

#include "platform/rnd.h"

namespace rt {

// A whole number from 0 to n - 1 (0 when n < 1). Exact on every machine: a
// draw is a 32-bit word over 2^32, and n times it is a whole double.
inline int draw_below(Rnd& rnd, int n) {
  if (n < 1) return 0;
  return static_cast<int>(rnd.next() * n);
}

// True with the chance `percent` in a hundred.
inline bool draw_chance(Rnd& rnd, int percent) {
  return draw_below(rnd, 100) < percent;
}

}  // namespace rt
