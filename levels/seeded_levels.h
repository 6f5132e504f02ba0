// The ten levels of one seed as a game plays them: each made ahead on a
// thread of its own while the level before it is played, or when first asked
// for where the program runs on one thread (the browser), and kept, so that a
// level played again is the same.
#pragma once

#include <array>
#include <cstdint>
#include <future>

#include "game/level_file.h"
#include "game/rules.h"

namespace rt {

// How the levels are made: ahead, each on a thread of its own, or on the
// asking thread when it asks.
enum class LevelMaking { Ahead, WhenAsked };

class SeededLevels {
 public:
  // Made Ahead, starts making level 1, so that it is ready when the first
  // game begins.
  explicit SeededLevels(std::uint32_t seed, LevelMaking making = LevelMaking::Ahead);

  std::uint32_t seed() const { return seed_; }

  // Level `level_number` (1 to kLevelCount; any other number is taken as
  // level 1, as the game counts), waiting for it when it is not made yet;
  // starts making the level after it.
  const Level& level(int level_number);

 private:
  // Starts making level `level_number` unless it is made or being made.
  void make_ahead(int level_number);

  std::uint32_t seed_;
  LevelMaking making_;
  // Each level's making; shared futures, as a level is asked for again and
  // again.
  std::array<std::shared_future<Level>, kLevelCount> made_;
};

}  // namespace rt
