// Whole games on the simulated host: the start, the step and poll clocks,
// and what the keys do during play.

#include <gtest/gtest.h>

#include <memory>

#include "tests/support/game_loop_fixture.h"

namespace rt::testing {
namespace {

TEST_F(GameLoopTest, AGameStartsOnLevelOneAndStepsRightAfterTheKey) {
  write_level(1, rail_level());
  game.score = 999;
  game.lives = 0;
  game.level = 5;
  auto during_wait = sample(3.4, [this] { return game.loco_x; });
  auto after_key = sample(3.6, [this] { return game.loco_x; });
  auto before_second = sample(7.45, [this] { return game.loco_x; });
  auto after_second = sample(7.6, [this] { return game.loco_x; });
  auto status = sample(3.4, [this] { return status_shows(0, 3, 1); });
  EXPECT_FALSE(run_game(8.0));
  EXPECT_EQ(*during_wait, 1);
  EXPECT_EQ(*after_key, 2);
  EXPECT_EQ(*before_second, 2);
  EXPECT_EQ(*after_second, 3);
  EXPECT_TRUE(*status);
  EXPECT_EQ(game.level, 1);
  EXPECT_EQ(game.lives, 3);
  EXPECT_EQ(game.score, 0);
  EXPECT_EQ(game.step_interval, 4.0f);
  EXPECT_EQ(sound_names(), std::vector<std::string>{"next.wav"});
}

TEST_F(GameLoopTest, TheStepAndPollClocksOfTheLastGameAreKept) {
  // A step time far ahead of the clock holds the locomotive back: a new game
  // does not restart the clocks.
  game.last_step_time = 100.0f;
  write_level(1, rail_level());
  EXPECT_FALSE(run_game(8.0));
  EXPECT_EQ(game.loco_x, 1);
  EXPECT_EQ(game.last_step_time, 100.0f);
}

TEST_F(GameLoopTest, TheLocomotiveBlinksAtEveryPoll) {
  write_level(1, rail_level());
  auto frames = std::make_shared<std::vector<std::pair<std::int32_t, Color>>>();
  for (int i = 0; i < 100; ++i) {
    host.at(4.0 + 0.01 * i, [this, frames] {
      frames->push_back({game.loco_frame, cell_colour(game.loco_x, game.loco_y)});
    });
  }
  EXPECT_FALSE(run_game(5.0));
  ASSERT_EQ(frames->size(), 100u);
  int flips = 0;
  for (std::size_t i = 0; i < frames->size(); ++i) {
    const auto [frame, colour] = (*frames)[i];
    EXPECT_EQ(colour, colour_of(frame == 1 ? "LockWage2" : "LockWage1"));
    if (i > 0 && frame != (*frames)[i - 1].first) ++flips;
  }
  EXPECT_GE(flips, 6);  // one second, a poll every 0.15 s and a little
  EXPECT_LE(flips, 7);
}

TEST_F(GameLoopTest, KeysTypedDuringPlayNeverQueueUp) {
  write_level(1, rail_level());
  for (int i = 0; i < 10; ++i) host.type_code(4.0 + 0.01 * i, 'a' + i);
  EXPECT_FALSE(run_game(5.0));
  EXPECT_EQ(platform.inkey(), "");
}

TEST_F(GameLoopTest, AllFourArrowsInOnePollMoveEachPieceThereAndBack) {
  write_level(1, cross_level());
  for (int key : {scan::kUp, scan::kDown, scan::kLeft, scan::kRight}) host.press(5.0, key, 0);
  extra_on_sound = [this](const SimHost::Sound& s) {
    if (s.name != "ping.wav") return;
    for (int key : {scan::kUp, scan::kDown, scan::kLeft, scan::kRight}) host.release(s.time, key);
  };
  EXPECT_FALSE(run_game(6.0));
  const auto pings = times_of("ping.wav");
  ASSERT_EQ(pings.size(), 4u);
  EXPECT_EQ(pings.front(), pings.back());  // all in the same poll
  EXPECT_EQ(game.cursor_x, 10);
  EXPECT_EQ(game.cursor_y, 5);
  EXPECT_EQ(game.board.get(10, 6), tile::kKurveOLi);
  EXPECT_EQ(game.board.get(10, 4), tile::kSchieneSenk);
  EXPECT_EQ(game.board.get(11, 5), tile::kKurveURe);
  EXPECT_EQ(game.board.get(9, 5), tile::kKurveULi);
  EXPECT_TRUE(cell_is(10, 5, colour_of("Schwarz")));
  EXPECT_TRUE(cell_is(10, 6, colour_of("KurveOLi")));
  EXPECT_TRUE(cell_is(9, 5, colour_of("KurveULi")));
}

TEST_F(GameLoopTest, WhenUpCannotMoveDownActsAlone) {
  LevelCells level = rail_level();
  level.at(20, 14) = tile::kGruen;
  level.at(10, 14) = tile::kSchwarz;
  level.at(10, 13) = tile::kSchieneSenk;
  level.cursor_x = 10;
  level.cursor_y = 14;
  write_level(1, level);
  host.press(5.0, scan::kUp, 0);
  host.press(5.0, scan::kDown, 0);
  extra_on_sound = [this](const SimHost::Sound& s) {
    if (s.name != "ping.wav") return;
    host.release(s.time, scan::kUp);
    host.release(s.time, scan::kDown);
  };
  EXPECT_FALSE(run_game(6.0));
  EXPECT_EQ(count_sounds("ping.wav"), 1);
  EXPECT_EQ(game.cursor_y, 13);
  EXPECT_EQ(game.board.get(10, 14), tile::kSchieneSenk);
}

TEST_F(GameLoopTest, AHeldArrowSlidesOnePiecePerPoll) {
  LevelCells level = rail_level();
  level.at(20, 14) = tile::kGruen;
  level.at(20, 10) = tile::kSchwarz;
  level.cursor_x = 20;
  level.cursor_y = 10;
  write_level(1, level);
  host.press(5.0, scan::kRight, 0);
  host.release(5.5, scan::kRight);
  EXPECT_FALSE(run_game(6.0));
  const auto pings = times_of("ping.wav");
  ASSERT_GE(pings.size(), 3u);
  ASSERT_LE(pings.size(), 4u);
  for (std::size_t i = 1; i < pings.size(); ++i) {
    EXPECT_GT(pings[i] - pings[i - 1], 0.15);
    EXPECT_LT(pings[i] - pings[i - 1], 0.153);
  }
  EXPECT_EQ(game.cursor_x, 20 - static_cast<int>(pings.size()));
}

TEST_F(GameLoopTest, SpaceCutsTheIntervalAndEveryFasterStepEarnsTheBonus) {
  write_level(1, rail_level());
  tap(5.0, scan::kSpace, ' ');
  auto interval = sample(5.5, [this] { return game.step_interval; });
  auto dings = sample(6.99, [this] { return count_sounds("ding.wav"); });
  EXPECT_FALSE(run_game(7.0));
  EXPECT_EQ(*interval, static_cast<float>(0.3));
  // A step every 0.3 s from the poll that saw the key, up to 7 s.
  EXPECT_GE(*dings, 5);
  EXPECT_LE(*dings, 7);
  EXPECT_EQ(game.score, 100 * *dings);
  EXPECT_TRUE(status_shows(game.score, 3, 1));
}

TEST_F(GameLoopTest, EnterCutsTheIntervalLikeSpace) {
  write_level(1, rail_level());
  tap(5.0, scan::kEnter, keycode::kEnter);
  auto interval = sample(5.5, [this] { return game.step_interval; });
  EXPECT_FALSE(run_game(7.0));
  EXPECT_EQ(*interval, static_cast<float>(0.3));
  EXPECT_GE(game.score, 500);
}

TEST_F(GameLoopTest, SWhileHeldFlipsTheSoundAtEveryPollSilently) {
  write_level(1, rail_level());
  host.press(5.0, scan::kS, 's');
  host.release(6.0, scan::kS);
  auto values = std::make_shared<std::vector<std::int32_t>>();
  for (int i = 0; i <= 110; ++i) {
    host.at(4.95 + 0.01 * i, [this, values] { values->push_back(game.sound_on); });
  }
  EXPECT_FALSE(run_game(6.5));
  int flips = 0;
  for (std::size_t i = 1; i < values->size(); ++i) flips += (*values)[i] != (*values)[i - 1];
  EXPECT_GE(flips, 6);
  EXPECT_LE(flips, 7);
  EXPECT_EQ(values->front(), 1);
  EXPECT_EQ(sound_names(), std::vector<std::string>{"next.wav"});
}

TEST_F(GameLoopTest, WithTheSoundOffAGamePlaysSilently) {
  game.sound_on = 0;
  write_level(1, quick_level());
  write_level(2, rail_level());
  host.type_code(3.5, keycode::kEnter);
  host.type_code(8.5, keycode::kEnter);
  tap(10.0, scan::kEscape, keycode::kEscape);
  host.type_code(16.0, keycode::kEnter);
  EXPECT_FALSE(run_game(17.0));
  EXPECT_EQ(game.level, 2);
  EXPECT_EQ(game.lives, 2);
  EXPECT_TRUE(host.sounds().empty());
}

}  // namespace
}  // namespace rt::testing
