// Whole games on the simulated host: the clocks, the keys, losses, levels
// won and game over.

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <memory>

#include "tests/support/game_fixture.h"

namespace rt::testing {
namespace {

// Rails that lead from the start cell to the right, down column 2 and then
// right along row 3: the locomotive is on (2,1) after its first step, (2,3)
// after its third, and on (x,3) after step x + 1.
Level path_level() {
  Level level;
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
Level quick_level() {
  Level level;
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
  Level level = rail_level();
  level.at(20, 14) = tile::kGruen;
  level.at(10, 14) = tile::kSchwarz;
  level.at(10, 13) = tile::kSchieneSenk;
  level.hole_x = 10;
  level.hole_y = 14;
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
  Level level = rail_level();
  level.at(20, 14) = tile::kGruen;
  level.at(20, 10) = tile::kSchwarz;
  level.hole_x = 20;
  level.hole_y = 10;
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

TEST_F(GameLoopTest, EscapeCostsALocomotiveWithTheFullExplosionAndARestart) {
  Level level = rail_level();
  level.at(20, 14) = tile::kGruen;
  level.at(5, 5) = tile::kSchwarz;
  level.at(5, 6) = tile::kGruen;
  level.hole_x = 5;
  level.hole_y = 5;
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
  Level level = rail_level();
  level.at(20, 14) = tile::kGruen;
  level.at(2, 2) = tile::kSchwarz;
  level.hole_x = 2;
  level.hole_y = 2;
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
  Level level = rail_level();
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

// On the path level the locomotive takes its steps at 3.52 + 4 k seconds and
// stands on (x, 3) after step x + 1.
TEST_F(GameLoopTest, TheStationToTheRightWinsAfterAOneSecondPause) {
  Level level = path_level();
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
  Level level = path_level();
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
  Level level = path_level();
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
  Level level = quick_level();
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
  Level crash = quick_level();
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
  Level level = rail_level();
  level.at(20, 14) = tile::kGruen;
  level.at(20, 10) = tile::kSchwarz;
  level.hole_x = 20;
  level.hole_y = 10;
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
  Level level;
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
