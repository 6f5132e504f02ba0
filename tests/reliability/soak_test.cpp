// The random-play soak: a few virtual minutes per seed on the shipped and on
// generated levels, and the checks it relies on, each shown to catch the
// fault it is there for.

#include "tests/support/soak.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "app/program.h"
#include "hosts/sim/sim_host.h"
#include "tests/support/sim_fixture.h"
#include "tools/soak/checker.h"
#include "tools/soak/soak.h"
#include "tools/soak/soak_levels.h"

namespace rt::testing {
namespace {

using soak::Checker;
using soak::LevelSet;
using soak::SoakFailure;
using soak::SoakOptions;

SoakOptions short_soak(const TempDir& dir, std::uint64_t seed, LevelSet levels) {
  SoakOptions options;
  options.seed = seed;
  options.virtual_seconds = 240.0;
  options.work_dir = dir.path();
  options.level_dir = std::filesystem::path(RT_TEST_SOURCE_DIR) / "data" / "levels";
  options.levels = levels;
  options.real_time_limit = 60.0;
  return options;
}

TEST(Soak, ShortRandomPlayKeepsEveryRule) {
  struct Case {
    std::uint64_t seed;
    LevelSet levels;
  };
  for (const Case c : {Case{1, LevelSet::Shipped}, Case{3, LevelSet::Shipped},
                       Case{2, LevelSet::Generated}, Case{7, LevelSet::Generated}}) {
    TempDir dir;
    const auto report = soak::run_soak(short_soak(dir, c.seed, c.levels));
    SCOPED_TRACE(soak::describe(report));
    EXPECT_TRUE(report.ok) << report.failure;
    EXPECT_GE(report.virtual_seconds, 240.0);
    // The player really played: games, polls, lost locomotives, checks.
    EXPECT_GT(report.games, 0);
    EXPECT_GT(report.polls, 100);
    EXPECT_GT(report.checks, report.polls);
    EXPECT_GT(report.locos_lost + report.levels_won, 0);
  }
}

TEST(Soak, TheSameSeedPlaysTheSameRun) {
  TempDir a;
  TempDir b;
  const auto first = soak::run_soak(short_soak(a, 5, LevelSet::Generated));
  const auto second = soak::run_soak(short_soak(b, 5, LevelSet::Generated));
  EXPECT_EQ(soak::describe(first), soak::describe(second));
  EXPECT_EQ(a.read("Data/High.dat"), b.read("Data/High.dat"));
}

// Over a longer stretch the player gets through every way in and out: new
// programs, names on the list, levels won.
TEST(Soak, RandomPlayReachesNamesRestartsAndWins) {
  TempDir dir;
  SoakOptions options = short_soak(dir, 4, LevelSet::Generated);
  options.virtual_seconds = 1200.0;
  const auto report = soak::run_soak(options);
  SCOPED_TRACE(soak::describe(report));
  EXPECT_TRUE(report.ok) << report.failure;
  EXPECT_GT(report.runs, 1);
  EXPECT_GT(report.names_entered, 0);
  EXPECT_GT(report.levels_won, 0);
  EXPECT_GT(report.locos_lost, 0);
}

TEST(Soak, GeneratedLevelsHaveOneHoleAndOneStation) {
  TempDir dir;
  for (int n = 1; n <= 10; ++n) {
    const std::string text = soak::generated_level(9, n);
    EXPECT_EQ(text, soak::generated_level(9, n));
    dir.write("lev.dat", text);
    const auto level = soak::level_contents(dir.path() / "lev.dat");
    ASSERT_EQ(level.codes.size(), 280u);
    EXPECT_EQ(std::count(level.codes.begin(), level.codes.end(), 0), 1);
    EXPECT_EQ(std::count(level.codes.begin(), level.codes.end(), 30), 1);
    EXPECT_TRUE(level.hole_empty);
    EXPECT_GE(level.cursor_y, 3);
  }
}

// The checker on a program whose state the test sets by hand.
class SoakChecker : public SimFixture {
 protected:
  void SetUp() override {
    const std::string level = rail_level_text();
    write_levels(dir, level);
    for (auto& l : levels) l = soak::level_contents(dir.path() / "Data/lev01.dat");
    program.game.load_level();
    program.game.GameState = 0;
  }

  std::array<soak::LevelContents, 10> levels;
  Program program{platform};
};

TEST_F(SoakChecker, EveryValueRuleCatchesItsFault) {
  Checker checker(levels, SoakOptions{});
  ASSERT_EQ(checker.broken_rule(program, true), std::nullopt);

  struct Fault {
    const char* what;
    void (*apply)(Game&);
  };
  const Fault faults[] = {
      {"GameState", [](Game& g) { g.GameState = 3; }},
      {"level", [](Game& g) { g.level = 11; }},
      {"level", [](Game& g) { g.level = 0; }},
      {"lives", [](Game& g) { g.lives = 4; }},
      {"lives", [](Game& g) { g.lives = -1; }},
      {"locomotive", [](Game& g) { g.loco_x = 21; }},
      {"locomotive", [](Game& g) { g.loco_y = 0; }},
      {"hole", [](Game& g) { g.cursor_x = 0; }},
      {"hole", [](Game& g) { g.cursor_y = 15; }},
      {"border", [](Game& g) { g.board.set(0, 5, 10); }},
      {"the hole", [](Game& g) { g.cursor_x = 19; }},
      {"pieces", [](Game& g) { g.board.set(5, 5, 20); }},
      {"pieces", [](Game& g) { g.board.set(3, 3, g.board.get(3, 1)); }},  // a rail copied
  };
  for (const Fault& fault : faults) {
    Program broken{platform};
    broken.game.load_level();
    broken.game.GameState = 0;
    fault.apply(broken.game);
    const auto rule = checker.broken_rule(broken, true);
    ASSERT_TRUE(rule.has_value()) << fault.what;
    EXPECT_NE(rule->find(fault.what), std::string::npos) << *rule;
  }
}

TEST_F(SoakChecker, ASlideKeepsThePiecesOfTheLevel) {
  Checker checker(levels, SoakOptions{});
  program.game.slide_right();
  program.game.slide_down();
  EXPECT_EQ(checker.broken_rule(program, true), std::nullopt);
}

TEST_F(SoakChecker, WatchdogsCatchAStuckGameMenuOrClock) {
  SoakOptions options;
  options.poll_gap_limit = 10.0;
  options.menu_limit = 120.0;
  {
    // A game that stops polling.
    Checker checker(levels, options);
    checker.start_run(HighScoreTable{});
    program.game.GameState = 2;
    checker.observe(program, 1.0);
    program.game.GameState = 0;
    checker.observe(program, 2.0);
    checker.observe(program, 11.9);
    EXPECT_THROW(checker.observe(program, 12.1), SoakFailure);
  }
  {
    // A game that polls goes on.
    Checker checker(levels, options);
    checker.start_run(HighScoreTable{});
    for (int i = 0; i < 200; ++i) {
      program.game.last_poll_time = static_cast<float>(i) * 0.15f;
      EXPECT_NO_THROW(checker.observe(program, i * 0.15)) << i;
    }
  }
  {
    // A menu that never ends.
    Checker checker(levels, options);
    checker.start_run(HighScoreTable{});
    program.game.GameState = 2;
    checker.observe(program, 1.0);
    EXPECT_NO_THROW(checker.observe(program, 119.5));
    EXPECT_THROW(checker.observe(program, 121.5), SoakFailure);
  }
  {
    // A clock that goes back, and one that stands still.
    Checker checker(levels, options);
    checker.start_run(HighScoreTable{});
    checker.observe(program, 5.0);
    EXPECT_THROW(checker.observe(program, 4.0), SoakFailure);
    Checker still(levels, options);
    still.start_run(HighScoreTable{});
    EXPECT_THROW(for (int i = 0; i < 2'000'000; ++i) still.observe(program, 1.0), SoakFailure);
  }
}

TEST_F(SoakChecker, AListThatDoesNotReadBackIsCaught) {
  Checker checker(levels, SoakOptions{});
  HighScoreTable kept{};
  kept[0] = {"Anna", 1200};
  checker.start_run(kept);
  EXPECT_THROW(checker.observe(program, 1.0), SoakFailure);

  Checker same(levels, SoakOptions{});
  program.frontend.high_scores = kept;
  same.start_run(kept);
  EXPECT_NO_THROW(same.observe(program, 1.0));
}

}  // namespace
}  // namespace rt::testing
