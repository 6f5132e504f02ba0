// Whole games on the simulated host: where the station wins, the next level,
// the faster rounds after the tenth.

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <memory>

#include "tests/support/game_loop_fixture.h"

namespace rt::testing {
namespace {

// On the path level the locomotive takes its steps at 3.52 + 4 k seconds and
// stands on (x, 3) after step x + 1.
TEST_F(GameLoopTest, TheStationToTheRightWinsAfterAOneSecondPause) {
  LevelCells level = path_level();
  level.at(7, 3) = tile::kHbf;
  write_level(1, level);
  write_level(2, rail_level());
  auto before = sample(27.4, [this] { return std::make_pair(game.loco_x, game.level); });
  auto pausing = sample(28.0, [this] { return std::make_pair(game.loco_x, game.level); });
  EXPECT_FALSE(run_game(33.0));
  EXPECT_EQ(*before, std::make_pair(5, 1));
  EXPECT_EQ(*pausing, std::make_pair(6, 1));
  const auto nexts = times_of("next.wav");
  ASSERT_EQ(nexts.size(), 2u);
  EXPECT_GT(nexts[1], 28.52);
  EXPECT_LT(nexts[1], 28.56);
  EXPECT_EQ(game.level, 2);
  EXPECT_TRUE(status_shows(0, 3, 2));
  EXPECT_EQ(game.lives, 3);
}

TEST_F(GameLoopTest, TheStationBelowWinsEvenWhenTheTrackPassesAboveIt) {
  LevelCells level = path_level();
  level.at(8, 4) = tile::kHbf;
  write_level(1, level);
  write_level(2, rail_level());
  auto before = sample(35.4, [this] { return game.level; });
  EXPECT_FALSE(run_game(37.0));
  EXPECT_EQ(*before, 1);
  EXPECT_EQ(game.level, 2);
  EXPECT_EQ(count_sounds("next.wav"), 2);
}

TEST_F(GameLoopTest, AStationAboveOrToTheLeftDoesNotWin) {
  LevelCells level = path_level();
  level.at(1, 3) = tile::kHbf;  // left of (2, 3)
  level.at(6, 2) = tile::kHbf;  // above (6, 3)
  write_level(1, level);
  EXPECT_FALSE(run_game(40.0));
  EXPECT_EQ(game.loco_x, 9);
  EXPECT_EQ(game.loco_y, 3);
  EXPECT_EQ(game.level, 1);
  EXPECT_EQ(count_sounds("next.wav"), 1);
}

TEST_F(GameLoopTest, NothingBeyondTheRightEdgeCountsAsTheStation) {
  write_level(1, rail_level());
  tap(4.0, scan::kSpace, ' ');
  auto crash = std::make_shared<std::pair<int, int>>();
  extra_on_sound = [this, crash](const SimHost::Sound& s) {
    if (s.name == "Explosion.wav") *crash = {game.loco_x, game.level};
  };
  EXPECT_FALSE(run_game(12.0));
  EXPECT_EQ(*crash, std::make_pair(20, 1));
}

TEST_F(GameLoopTest, ALevelWonHeadingDownShowsTheNextWithAVerticalLocomotiveUntilTheKey) {
  LevelCells level = quick_level();
  level.at(2, 1) = tile::kKurveULi;
  write_level(1, level);
  write_level(2, rail_level());
  auto shown = std::make_shared<std::pair<Heading, Color>>();
  auto after_key = std::make_shared<std::pair<Heading, int>>();
  extra_on_sound = [this, shown, after_key](const SimHost::Sound& s) {
    if (s.name != "next.wav" || s.time < 1.0) return;
    host.at(s.time + 3.2, [this, shown] { *shown = {game.loco_heading, cell_colour(1, 1)}; });
    host.at(s.time + 3.6, [this, after_key] { *after_key = {game.loco_heading, game.loco_x}; });
  };
  EXPECT_FALSE(run_game(12.0));
  EXPECT_EQ(shown->first, heading::kRight);  // reset once the level is shown
  EXPECT_TRUE(shown->second == colour_of("LockSenk1") || shown->second == colour_of("LockSenk2"));
  // The next level's first step comes right after the key.
  EXPECT_EQ(*after_key, std::make_pair(heading::kRight, 2));
}

TEST_F(GameLoopTest, TenLevelsWonGetFasterAndTheCounterWrapsToOne) {
  write_all_levels(quick_level());
  struct Seen {
    std::int32_t level;
    float interval;
    std::int32_t score;
    bool status;
  };
  auto seen = std::make_shared<std::vector<Seen>>();
  extra_on_sound = [this, seen](const SimHost::Sound& s) {
    if (s.name != "next.wav") return;
    host.at(s.time + 3.4, [this, seen] {
      seen->push_back(
          {game.level, game.step_interval, game.score, status_shows(game.score, 3, game.level)});
    });
  };
  EXPECT_FALSE(run_game(55.0));
  // Levels 1 to 10 as 4.0 less the speed-up in single precision; from level
  // 11 on the speed-up key's 0.3 s, never less.
  const std::uint32_t intervals[] = {0x40800000u, 0x40666666u, 0x404CCCCDu, 0x40333333u,
                                     0x4019999Au, 0x40000000u, 0x3FCCCCCCu, 0x3F999998u,
                                     0x3F4CCCC8u, 0x3ECCCCC0u, 0x3E99999Au, 0x3E99999Au};
  ASSERT_EQ(seen->size(), 12u);
  for (std::size_t k = 0; k < seen->size(); ++k) {
    SCOPED_TRACE(k);
    const Seen& s = (*seen)[k];
    EXPECT_EQ(s.level, static_cast<std::int32_t>(k % 10 + 1));
    EXPECT_EQ(std::bit_cast<std::uint32_t>(s.interval), intervals[k]);
    // Only the tenth level and what follows it step faster than 0.4 s.
    EXPECT_EQ(s.score, k < 10 ? 0 : 100 * static_cast<std::int32_t>(k - 9));
    EXPECT_TRUE(s.status);
  }
  EXPECT_EQ(game.step_interval, 0.3f);
  const auto nexts = times_of("next.wav");
  for (std::size_t k = 1; k < nexts.size(); ++k) {
    // The key 3.5 s after each presentation, then the full 1000 ms pause.
    EXPECT_GT(nexts[k] - nexts[k - 1], 4.5);
    EXPECT_LT(nexts[k] - nexts[k - 1], 4.56);
  }
}

// Into the second round, where level 1 now crashes at its first step: each
// crash earns one bonus, one ding, and the steps come 0.3 s apart.
TEST_F(GameLoopTest, InTheSecondRoundACrashEarnsOneBonusAndStepsKeepTheFastInterval) {
  write_all_levels(quick_level());
  LevelCells crash = quick_level();
  crash.at(2, 2) = tile::kGruen;  // no station
  crash.at(3, 1) = tile::kBaum1;  // one step, then a tree: the crash falls between polls
  auto score_at_round_two = std::make_shared<std::int32_t>(-1);
  auto dings_at_round_two = std::make_shared<int>(-1);
  int nexts = 0;
  extra_on_sound = [&, score_at_round_two, dings_at_round_two](const SimHost::Sound& s) {
    if (s.name != "next.wav") return;
    ++nexts;
    // While level 10 is shown, the first level's file becomes the crash; the
    // second round's level 1 is read from it.
    if (nexts == 10) write_level(1, crash);
    if (nexts == 11) {
      *score_at_round_two = game.score;
      *dings_at_round_two = count_sounds("ding.wav");
    }
  };
  EXPECT_TRUE(run_game(120.0)) << "the game did not end";
  EXPECT_EQ(game.GameState, state::kGameOver);
  EXPECT_EQ(game.step_interval, 0.3f);
  EXPECT_EQ(count_sounds("Explosion.wav"), 3);
  EXPECT_EQ(*score_at_round_two, 100);  // level 10's one fast step
  // Each locomotive takes two steps, the move and the crash, each earning
  // one bonus with one ding, 0.3 s apart.
  EXPECT_EQ(game.score - *score_at_round_two, 600);
  const std::vector<double> dings = times_of("ding.wav");
  ASSERT_EQ(dings.size() - static_cast<std::size_t>(*dings_at_round_two), 6u);
  for (std::size_t k = static_cast<std::size_t>(*dings_at_round_two); k < dings.size(); k += 2) {
    EXPECT_GT(dings[k + 1] - dings[k], 0.3);
    EXPECT_LT(dings[k + 1] - dings[k], 0.301);
  }
}

TEST_F(GameLoopTest, AKeyCutsThePauseAfterALevelWonShort) {
  write_all_levels(quick_level());
  extra_on_sound = [this](const SimHost::Sound& s) {
    if (s.name == "next.wav" && s.time < 1.0) host.type_code(s.time + 3.8, 'x');
  };
  EXPECT_FALSE(run_game(5.0));
  const auto nexts = times_of("next.wav");
  ASSERT_EQ(nexts.size(), 2u);
  EXPECT_LT(nexts[1], 3.9);
}

}  // namespace
}  // namespace rt::testing
