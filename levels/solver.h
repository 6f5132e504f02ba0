// The solver: a plan with the fewest slides that wins a level at its speed,
// exact about the game's timing, or the reason there is none.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "game/level_file.h"
#include "game/rules.h"
#include "levels/play.h"

namespace rt {

// One slide of a plan. It is made at a poll after the locomotive's step
// `earliest_step` (every slide before it made as early as the plan makes
// it), and may wait until a poll before step `latest_step` + 1 with every
// slide after it still made in time.
struct PlannedSlide {
  Slide slide = Slide::Up;
  int earliest_step = 1;
  int latest_step = 1;
};

struct Plan {
  std::vector<PlannedSlide> slides;
  int steps_to_station = 0;  // the locomotive's steps until it wins
  // How long the last slide may wait: from the step after which it is first
  // possible to the step before which it must be made at the latest,
  // (latest_step + 1 - earliest_step) step intervals; 0 without a slide.
  double seconds_to_spare = 0.0;
  // The plan as the game plays it: each slide after its earliest step.
  std::vector<TimedSlide> timed() const;
};

enum class NoPlanReason {
  None,           // there is a plan
  CannotBeSaved,  // no plan wins at this speed, whatever the slides
  BoundReached,   // the search stopped at a limit below
};

struct SolveLimits {
  int max_slides = 40;
  std::uint64_t max_nodes = 200'000'000;
  // Entries of the table of states already searched (about 32 bytes each).
  std::size_t max_table_entries = std::size_t{4} << 20;
  // The clock readings the plan's timing holds for (see play.h).
  double clock_limit = kPromisedClockSeconds;
};

struct SolveResult {
  std::optional<Plan> plan;
  NoPlanReason why = NoPlanReason::None;
  std::uint64_t nodes = 0;  // states searched
  int bound = 0;            // the slides the last round of the search allowed
};

// The fewest-slides plan for `level` with steps of `step_interval` seconds
// (see interval_of_level), the level started afresh.
SolveResult solve_level(const Level& level, float step_interval, const SolveLimits& limits = {});

}  // namespace rt
