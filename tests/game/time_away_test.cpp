// Whole games on the simulated host: time away from the game, and the loops
// giving the processor back.

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "tests/support/game_loop_fixture.h"

namespace rt::testing {
namespace {

// A simulated host that counts the clock readings.
class CountingHost : public SimHost {
 public:
  double clock_seconds() override {
    ++readings;
    return SimHost::clock_seconds();
  }
  long readings = 0;
};

TEST_F(GameLoopTest, TimeAwayDelaysTheNextStepByExactlyThatLong) {
  write_level(1, rail_level());
  host.blur(5.0);
  host.focus(15.0);
  // After the first step (at the key, 3.5 s) the second is due 4 s of the
  // game's clock later: 10 s away put it 10 s later by the virtual time.
  auto moved_at = std::make_shared<double>(-1.0);
  auto frame_while_away = std::make_shared<std::vector<std::int32_t>>();
  host.at(4.0, [this, moved_at] {
    const double due = static_cast<double>(game.last_step_time) + 4.0 + 10.0;
    for (int i = -50; i <= 50; ++i) {
      host.at(due + i * 0.0001, [this, moved_at, due, i] {
        if (game.loco_x == 3 && *moved_at < 0) *moved_at = due + i * 0.0001;
      });
    }
  });
  for (double t : {5.1, 9.0, 14.9}) {
    host.at(t, [this, frame_while_away] { frame_while_away->push_back(game.loco_frame); });
  }
  EXPECT_FALSE(run_game(18.5));
  const double due = static_cast<double>(game.last_step_time) - 4.0 + 14.0;
  EXPECT_GT(*moved_at, 0.0);
  EXPECT_NEAR(*moved_at, 17.5, 0.1);
  EXPECT_LE(std::abs(*moved_at - (due + 0.0001)), 0.00011) << due;
  // No poll while away: the locomotive stops blinking.
  ASSERT_EQ(frame_while_away->size(), 3u);
  EXPECT_EQ((*frame_while_away)[0], (*frame_while_away)[2]);
  EXPECT_EQ((*frame_while_away)[1], (*frame_while_away)[2]);
}

TEST_F(GameLoopTest, KeysHeldWhenThePlayerLeavesAreReleased) {
  LevelCells level = rail_level();
  level.at(20, 14) = tile::kGruen;
  level.at(20, 10) = tile::kSchwarz;
  level.cursor_x = 20;
  level.cursor_y = 10;
  write_level(1, level);
  host.press(5.0, scan::kRight, 0);  // held, never let go by the player
  host.blur(5.4);
  host.focus(6.0);
  auto at_blur = sample(5.39, [this] { return game.cursor_x; });
  EXPECT_FALSE(run_game(8.0));
  EXPECT_LT(*at_blur, 20);
  EXPECT_EQ(game.cursor_x, *at_blur);
  EXPECT_FALSE(platform.key_down(scan::kRight));
}

TEST_F(GameLoopTest, AnExplosionStandsStillWhileThePlayerIsAway) {
  write_level(1, rail_level());
  host.press(5.0, scan::kEscape, keycode::kEscape);
  host.release(5.2, scan::kEscape);
  host.blur(6.0);
  host.focus(9.5);
  EXPECT_FALSE(run_game(13.0));
  const auto explosions = times_of("Explosion.wav");
  const auto nexts = times_of("next.wav");
  ASSERT_EQ(explosions.size(), 1u);
  ASSERT_EQ(nexts.size(), 2u);
  EXPECT_GT(nexts[1] - explosions[0], 2.25 + 3.5);
  EXPECT_LT(nexts[1] - explosions[0], 2.252 + 3.5);
}

TEST_F(GameLoopTest, TheIntroStandsStillWhileThePlayerIsAway) {
  write_level(1, rail_level());
  answer_intros(8.0);
  host.blur(1.0);
  host.focus(3.0);
  // The locomotive appears when the intro ends: 3 s of the game's clock.
  auto before_end = sample(4.95, [this] { return cell_colour(1, 1); });
  auto after_end = sample(5.05, [this] { return cell_colour(1, 1); });
  EXPECT_FALSE(run_game(6.0));
  const auto locomotive = [this](Color c) {
    return c == colour_of("LockWage1") || c == colour_of("LockWage2");
  };
  EXPECT_FALSE(locomotive(*before_end));
  EXPECT_TRUE(locomotive(*after_end));
}

TEST(GameLoopPacingTest, TheLoopsGiveTheProcessorBackWhenNothingIsDue) {
  TempDir dir;
  dir.write("Data/lev01.dat", level_text(rail_level(), Layout::OnePerLine));
  CountingHost host;
  Platform platform(host, dir.path());
  platform.set_screen_mode();
  Game game(platform);
  game.load_sprites();
  game.GameState = state::kPlaying;
  game.last_step_time = -100.0f;
  host.type_code(3.5, keycode::kEnter);
  long readings_before_play = 0;
  host.at(3.6, [&] { readings_before_play = host.readings; });
  host.set_time_limit(10.0);
  EXPECT_THROW(game.play_game(), SimStop);
  // A pass without anything due sleeps until the next poll or step: 6.4 s
  // of play are 42 polls and a step, a handful of readings each, rather
  // than a few readings every millisecond.
  const long in_play = host.readings - readings_before_play;
  EXPECT_LT(in_play, 42 * 8);
  EXPECT_GT(in_play, 42 * 2);
  EXPECT_EQ(game.loco_x, 3);
}

TEST(GameLoopPacingTest, ACrashedLocomotiveWaitsForThePollWithoutSpinning) {
  TempDir dir;
  LevelCells level;
  level.fill(tile::kGruen);
  level.at(1, 1) = tile::kSchieneWage;  // grass ahead: the first step crashes
  level.at(20, 14) = tile::kSchwarz;
  dir.write("Data/lev01.dat", level_text(level, Layout::OnePerLine));
  CountingHost host;
  Platform platform(host, dir.path());
  platform.set_screen_mode();
  Game game(platform);
  game.load_sprites();
  game.GameState = state::kPlaying;
  game.last_step_time = -100.0f;
  // The first poll long after the crash, and after the next step's time.
  game.last_poll_time = 100.0f;
  host.type_code(3.5, keycode::kEnter);
  long readings_at_key = 0;
  host.at(3.55, [&] { readings_at_key = host.readings; });
  host.set_time_limit(9.0);
  EXPECT_THROW(game.play_game(), SimStop);
  EXPECT_EQ(game.GameState, state::kLocoLost);  // the crash, not yet handled
  EXPECT_LT(host.readings - readings_at_key, 50);
}

}  // namespace
}  // namespace rt::testing
