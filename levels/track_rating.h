// What the solver says of a track at one speed, in the words the editor and
// the receiver of a shared track show, and the asking for it away from the
// thread that draws and reads input, so that editing never waits.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "game/level_file.h"
#include "levels/solver.h"

namespace rt {

enum class TrackVerdict {
  Solvable,         // a plan with slides wins
  WonWithoutSlide,  // the locomotive reaches the station on the track as it lies
  CannotBeSaved,    // no plan wins at this speed, whatever the slides
  TooHard,          // the search stopped at its limits
};

struct TrackRating {
  TrackVerdict verdict = TrackVerdict::TooHard;
  int slides = 0;                 // with Solvable: the fewest slides that win
  double seconds_to_spare = 0.0;  // with Solvable: how long the last slide may wait
};

// The limits one rating searches within: small enough that a player's track
// is rated while they look, large enough for every shipped level.
SolveLimits rating_limits();

// The solver's verdict on `level` with steps of `step_interval` seconds, the
// level started afresh.
TrackRating rate_track(const Level& level, float step_interval,
                       const SolveLimits& limits = rating_limits());

// The verdict as the screen shows it (UTF-8): "lösbar mit 5 Zügen, 2,4 s
// Luft", "nicht zu retten", "ohne Zug gewonnen", "zu schwer für die Suche".
std::string verdict_text(const TrackRating& rating);

// Rates tracks away from the thread that asks: a thread of its own on the
// desktop, the page's worker in the browser. The asking thread never waits.
class TrackRater {
 public:
  virtual ~TrackRater() = default;
  // Asks for the rating of `level` at `step_interval`; a question not yet
  // answered is dropped. Returns the question's number (from 1, rising).
  virtual std::uint64_t ask(const Level& level, float step_interval) = 0;
  // The answer to question `question` once it is there; none before, and
  // none for a question dropped by a later one.
  virtual std::optional<TrackRating> answer(std::uint64_t question) = 0;
};

}  // namespace rt
