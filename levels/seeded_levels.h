// The ten levels of one seed as a game plays them: each made the first time
// it is asked for and kept, so that a level played again is the same.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "game/level_file.h"
#include "game/rules.h"

namespace rt {

class SeededLevels {
 public:
  explicit SeededLevels(std::uint32_t seed) : seed_(seed) {}

  std::uint32_t seed() const { return seed_; }

  // Level `level_number` (1 to kLevelCount; any other number is taken as
  // level 1, as the game counts); generated on the first call.
  const Level& level(int level_number);

 private:
  std::uint32_t seed_;
  std::array<std::optional<Level>, kLevelCount> made_;
};

}  // namespace rt
