// Making a seed's levels when the game first needs them.
#include "levels/seeded_levels.h"

#include "levels/generator.h"

namespace rt {

const Level& SeededLevels::level(int level_number) {
  if (level_number < 1 || level_number > kLevelCount) level_number = 1;
  std::optional<Level>& kept = made_[static_cast<std::size_t>(level_number - 1)];
  if (!kept) kept = generate_level(seed_, level_number);
  return *kept;
}

}  // namespace rt
