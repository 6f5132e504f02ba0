// What the page's Web Worker does for the program: the levels of a seed,
// all ten asked for as soon as the seed is known, and the editor's verdicts,
// both made off the page's one thread.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "game/level_file.h"
#include "game/rules.h"
#include "levels/track_rating.h"
#include "platform/platform.h"

namespace rt {

// The ten levels of `seed` from the worker. A level the game reaches before
// the worker has made it is waited for with a note on the screen, the page
// going on meanwhile; should the worker fail, the page makes it itself.
class WorkerLevels {
 public:
  WorkerLevels(Platform& platform, std::uint32_t seed);
  Level level(int level_number);

 private:
  Platform& p_;
  std::uint32_t seed_;
  std::array<std::optional<Level>, kLevelCount> made_;
};

// The editor's verdicts from the worker; the newest question replaces one
// still waiting. Without a worker it rates on the page's thread.
class WorkerTrackRater final : public TrackRater {
 public:
  std::uint64_t ask(const Level& level, float step_interval) override;
  std::optional<TrackRating> answer(std::uint64_t question) override;

 private:
  std::uint64_t number_ = 0;
  Level level_;  // the newest question
  float step_interval_ = 0.0f;
  std::optional<TrackRating> inline_;  // the answer rated here, without a worker
};

}  // namespace rt
