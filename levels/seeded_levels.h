// The ten levels of one seed as a game plays them: each made ahead, in the
// background where the system allows it, while the level before it is
// played, and kept, so that a level played again is the same.
#pragma once

#include <array>
#include <cstdint>
#include <future>

#include "game/level_file.h"
#include "game/rules.h"

namespace rt {

class SeededLevels {
 public:
  // Starts making level 1, so that it is ready when the first game begins.
  explicit SeededLevels(std::uint32_t seed);

  std::uint32_t seed() const { return seed_; }

  // Level `level_number` (1 to kLevelCount; any other number is taken as
  // level 1, as the game counts), waiting for it when it is not made yet;
  // starts making the level after it.
  const Level& level(int level_number);

 private:
  // Starts making level `level_number` unless it is made or being made.
  void make_ahead(int level_number);

  std::uint32_t seed_;
  // Each level's making; shared futures, as a level is asked for again and
  // again. Where no thread can be started, a level is made when asked for.
  std::array<std::shared_future<Level>, kLevelCount> made_;
};

}  // namespace rt
