// The solver's verdict on a track, and its words.
#include "levels/track_rating.h"

#include <cmath>

namespace rt {

SolveLimits rating_limits() {
  SolveLimits limits;
  limits.max_slides = 40;
  limits.max_nodes = 20'000'000;
  limits.max_table_entries = std::size_t{1} << 20;
  return limits;
}

TrackRating rate_track(const Level& level, float step_interval, const SolveLimits& limits) {
  const SolveResult result = solve_level(level, step_interval, limits);
  TrackRating rating;
  if (result.plan) {
    rating.slides = static_cast<int>(result.plan->slides.size());
    rating.seconds_to_spare = result.plan->seconds_to_spare;
    rating.verdict = rating.slides == 0 ? TrackVerdict::WonWithoutSlide : TrackVerdict::Solvable;
  } else {
    rating.verdict = result.why == NoPlanReason::CannotBeSaved ? TrackVerdict::CannotBeSaved
                                                               : TrackVerdict::TooHard;
  }
  return rating;
}

std::string verdict_text(const TrackRating& rating) {
  switch (rating.verdict) {
    case TrackVerdict::Solvable: {
      // Tenths of a second with a German decimal comma, rounded down, so
      // that the time shown is never more than the time there is.
      const long tenths = static_cast<long>(std::floor(rating.seconds_to_spare * 10.0 + 1e-9));
      const std::string moves =
          rating.slides == 1 ? "1 Zug" : std::to_string(rating.slides) + " Z\xC3\xBCgen";
      return "l\xC3\xB6sbar mit " + moves + ", " + std::to_string(tenths / 10) + "," +
             std::to_string(tenths % 10) + " s Luft";
    }
    case TrackVerdict::WonWithoutSlide:
      return "ohne Zug gewonnen";
    case TrackVerdict::CannotBeSaved:
      return "nicht zu retten";
    case TrackVerdict::TooHard:
      break;
  }
  return "zu schwer f\xC3\xBCr die Suche";
}

}  // namespace rt
