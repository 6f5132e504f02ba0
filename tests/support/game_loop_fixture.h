// The fixture of the whole-game tests: a game on the simulated host with its
// intros answered, two small levels, and samples of the game's state.
#pragma once

#include <memory>
#include <string_view>
#include <utility>
#include <vector>

#include "tests/support/game_fixture.h"

namespace rt::testing {

// Rails that lead from the start cell to the right, down column 2 and then
// right along row 3: the locomotive is on (2,1) after its first step, (2,3)
// after its third, and on (x,3) after step x + 1.
inline LevelCells path_level() {
  LevelCells level;
  level.fill(tile::kGruen);
  level.at(1, 1) = tile::kSchieneWage;
  level.at(2, 1) = tile::kKurveULi;
  level.at(2, 2) = tile::kSchieneSenk;
  level.at(2, 3) = tile::kKurveORe;
  for (int x = 3; x <= 20; ++x) level.at(x, 3) = tile::kSchieneWage;
  level.at(20, 14) = tile::kSchwarz;
  return level;
}

// A level won by the first step: the station is below the second cell.
inline LevelCells quick_level() {
  LevelCells level;
  level.fill(tile::kGruen);
  level.at(1, 1) = tile::kSchieneWage;
  level.at(2, 1) = tile::kSchieneWage;
  level.at(3, 1) = tile::kSchieneWage;
  level.at(2, 2) = tile::kHbf;
  level.at(20, 14) = tile::kSchwarz;
  return level;
}

class GameLoopTest : public GameFixture {
 protected:
  void SetUp() override {
    GameFixture::SetUp();
    answer_intros();
    // The clocks of a game played long before: the first pass after the
    // key both steps and polls.
    game.last_step_time = -100.0f;
    game.last_poll_time = -100.0f;
  }

  // Records `value()` at a virtual time.
  template <typename F>
  std::shared_ptr<decltype(std::declval<F>()())> sample(double time, F value) {
    auto out = std::make_shared<decltype(value())>();
    host.at(time, [out, value] { *out = value(); });
    return out;
  }
  std::vector<double> times_of(std::string_view name) const {
    std::vector<double> t;
    for (const auto& s : host.sounds()) {
      if (s.name == name) t.push_back(s.time);
    }
    return t;
  }
};

}  // namespace rt::testing
