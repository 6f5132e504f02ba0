// Making a seed's levels one ahead of the game: the level after the one being
// played is made on a thread of its own, so that even the slowest level to
// make (level 10, up to a second or two) is ready when the game reaches it;
// or, made when asked, a deferred making that runs on the asking thread.
#include "levels/seeded_levels.h"

#include "levels/generator.h"

namespace rt {

SeededLevels::SeededLevels(std::uint32_t seed, LevelMaking making) : seed_(seed), making_(making) {
  make_ahead(1);
}

void SeededLevels::make_ahead(int level_number) {
  std::shared_future<Level>& slot = made_[static_cast<std::size_t>(level_number - 1)];
  if (slot.valid()) return;
  const std::launch policy =
      making_ == LevelMaking::Ahead ? std::launch::async : std::launch::deferred;
  slot = std::async(policy, generate_level, seed_, level_number).share();
}

const Level& SeededLevels::level(int level_number) {
  if (level_number < 1 || level_number > kLevelCount) level_number = 1;
  make_ahead(level_number);
  const Level& made = made_[static_cast<std::size_t>(level_number - 1)].get();
  make_ahead(level_number == kLevelCount ? 1 : level_number + 1);
  return made;
}

}  // namespace rt
