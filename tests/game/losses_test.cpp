// Whole games on the simulated host: locomotives lost by Escape, by a slide
// and by a crash, and the end of the game.

#include <gtest/gtest.h>

#include <memory>

#include "tests/support/game_loop_fixture.h"

namespace rt::testing {
namespace {

TEST_F(GameLoopTest, EscapeCostsALocomotiveWithTheFullExplosionAndARestart) {
  LevelCells level = rail_level();
  level.at(20, 14) = tile::kGruen;
  level.at(5, 5) = tile::kSchwarz;
  level.at(5, 6) = tile::kGruen;
  level.cursor_x = 5;
  level.cursor_y = 5;
  write_level(1, level);
  tap(4.5, scan::kUp, 0);  // a slide or two, undone by the restart
  host.press(5.0, scan::kEscape, keycode::kEscape);
  host.release(5.2, scan::kEscape);

  auto explosion_frames = std::make_shared<std::vector<Color>>();
  auto after_restart = std::make_shared<std::vector<int>>();
  auto status_ok = std::make_shared<bool>(false);
  extra_on_sound = [&, explosion_frames, after_restart, status_ok](const SimHost::Sound& s) {
    if (s.name == "Explosion.wav") {
      for (int k = 0; k < 15; ++k) {
        host.at(s.time + 0.075 + 0.15 * k,
                [this, explosion_frames] { explosion_frames->push_back(cell_colour(2, 1)); });
      }
    }
    if (s.name == "next.wav" && s.time > 1.0) {
      host.at(s.time + 3.2, [this, status_ok] {
        *status_ok = status_shows(0, 2, 1) && game.cursor_y == 5 &&
                     game.board.get(5, 6) == tile::kGruen && game.loco_x == 1;
      });
      // The key comes at +3.5: no step for a full interval after it.
      for (double t : {3.6, 7.45, 7.6}) {
        host.at(s.time + t, [this, after_restart] { after_restart->push_back(game.loco_x); });
      }
    }
  };
  EXPECT_FALSE(run_game(20.0));

  const auto explosions = times_of("Explosion.wav");
  const auto nexts = times_of("next.wav");
  ASSERT_EQ(explosions.size(), 1u);
  ASSERT_EQ(nexts.size(), 2u);
  EXPECT_GT(explosions[0], 5.0);
  EXPECT_LT(explosions[0], 5.152);  // at the first poll that saw the key
  EXPECT_GT(nexts[1] - explosions[0], 2.25);
  EXPECT_LT(nexts[1] - explosions[0], 2.252);

  ASSERT_EQ(explosion_frames->size(), 15u);
  int explo1 = 0, explo2 = 0;
  for (Color c : *explosion_frames) {
    explo1 += c == colour_of("Explo1");
    explo2 += c == colour_of("Explo2");
  }
  EXPECT_EQ(explo1, 8);
  EXPECT_EQ(explo2, 7);
  EXPECT_EQ(explosion_frames->front(), colour_of("Explo1"));
  EXPECT_EQ(explosion_frames->back(), colour_of("Explo1"));

  EXPECT_GE(count_sounds("ping.wav"), 1);
  EXPECT_TRUE(*status_ok);
  EXPECT_EQ(*after_restart, (std::vector<int>{1, 1, 2}));
  EXPECT_EQ(game.lives, 2);
  EXPECT_EQ(game.GameState, state::kPlaying);
}

TEST_F(GameLoopTest, TheThirdLossEndsTheGame) {
  write_level(1, rail_level());
  extra_on_sound = [this](const SimHost::Sound& s) {
    if (s.name == "next.wav") tap(s.time + 4.0, scan::kEscape, keycode::kEscape, 0.2);
  };
  EXPECT_TRUE(run_game(60.0));
  EXPECT_EQ(game.GameState, state::kGameOver);
  EXPECT_EQ(game.lives, 0);
  EXPECT_EQ(sound_names(),
            (std::vector<std::string>{"next.wav", "Explosion.wav", "next.wav", "Explosion.wav",
                                      "next.wav", "Explosion.wav"}));
  // No status line after the last loss: it still shows one locomotive, and
  // the explosion stays on the locomotive's cell.
  EXPECT_TRUE(status_shows(0, 1, 1));
  EXPECT_TRUE(cell_is(game.loco_x, game.loco_y, colour_of("Explo1")));
}

TEST_F(GameLoopTest, SlidingThePieceAwayFromUnderTheLocomotiveLosesItInTheSamePoll) {
  LevelCells level = rail_level();
  level.at(20, 14) = tile::kGruen;
  level.at(2, 2) = tile::kSchwarz;
  level.cursor_x = 2;
  level.cursor_y = 2;
  write_level(1, level);
  host.press(4.0, scan::kDown, 0);  // the locomotive stands on (2, 1) by then
  host.release(4.2, scan::kDown);
  auto hole_drawn = std::make_shared<bool>(false);
  extra_on_sound = [this, hole_drawn](const SimHost::Sound& s) {
    if (s.name == "Explosion.wav") *hole_drawn = game.cursor_x == 2 && game.cursor_y == 1;
  };
  EXPECT_FALSE(run_game(7.0));
  const auto pings = times_of("ping.wav");
  const auto explosions = times_of("Explosion.wav");
  ASSERT_EQ(pings.size(), 1u);
  ASSERT_EQ(explosions.size(), 1u);
  EXPECT_EQ(pings[0], explosions[0]);
  EXPECT_TRUE(*hole_drawn);
  EXPECT_EQ(game.lives, 2);
}

TEST_F(GameLoopTest, ACrashWaitsForThePollAndKeepsTheLocomotiveWhereItStood) {
  LevelCells level = rail_level();
  level.at(3, 1) = tile::kBaum1;
  write_level(1, level);
  auto crash_cell = std::make_shared<std::pair<int, int>>();
  extra_on_sound = [this, crash_cell](const SimHost::Sound& s) {
    if (s.name == "Explosion.wav") *crash_cell = {game.loco_x, game.loco_y};
  };
  EXPECT_FALSE(run_game(8.0));
  const auto explosions = times_of("Explosion.wav");
  ASSERT_EQ(explosions.size(), 1u);
  // The crashing step comes 4 s after the first; the loss at the next poll.
  EXPECT_GT(explosions[0], 7.5);
  EXPECT_LT(explosions[0], 7.52 + 0.152);
  EXPECT_EQ(*crash_cell, std::make_pair(2, 1));
}

}  // namespace
}  // namespace rt::testing
