// Levels made from a seed: the same seed gives the same levels on every
// machine, each one proven solvable at its level's speed.
#pragma once

#include <cstdint>

#include "game/level_file.h"
#include "levels/solver.h"

namespace rt {

// The fewest slides the generator aims at on each level, rising from 1 on
// level 1 to 14 on level 10.
int target_slides(int level_number);

// The last slide of a generated level's plan may wait at least this long.
inline constexpr double kMinSecondsToSpare = 3.0;

// How far one level's search goes before it settles for what it has.
// Both bounds are counts, never times, so that a seed gives the same levels
// on a slow machine.
struct GeneratorLimits {
  int attempts = 400;
  std::uint64_t nodes = 600'000;  // the solver's states, over all attempts
  int target = 0;                 // the fewest slides aimed at; 0 takes target_slides
};

// A generated level with the solver's plan for it.
struct GeneratedLevel {
  Level level;
  Plan plan;
  // True when the plan's slides equal the target; false for the nearest level
  // found instead, or the plain level of one slide when no attempt gave any.
  bool on_target = false;
};

// Level `level_number` (1 to kLevelCount, others taken as the nearest) of
// the set named by `seed`, at that level's speed, with at least
// kMinSecondsToSpare for its last slide. Deterministic.
GeneratedLevel generate_proven_level(std::uint32_t seed, int level_number,
                                     const GeneratorLimits& limits = {});

// The same level without its plan, as the seeded game loads it.
Level generate_level(std::uint32_t seed, int level_number);

}  // namespace rt
