// Playing by pointer on the simulated host: taps and swipes on the field,
// the locomotive and the status line, the touch buttons, and the tap that
// starts a waiting level.
#include <gtest/gtest.h>

#include <memory>
#include <utility>

#include "tests/support/game_fixture.h"

namespace rt::testing {
namespace {

class PointerPlayTest : public GameFixture {
 protected:
  void SetUp() override {
    GameFixture::SetUp();
    game.last_poll_time = -100.0f;
    // The locomotive never steps, so that only the pointer changes the board.
    game.last_step_time = 1000.0f;
  }
  // A tap on the picture lasting `hold` seconds.
  void click(double time, int x, int y, double hold = 0.01) {
    host.at(time, [this, x, y] { platform.host_pointer_down(x, y); });
    host.at(time + hold, [this, x, y] { platform.host_pointer_up(x, y); });
  }
  void click_cell(double time, int column, int row, double hold = 0.01) {
    click(time, (column - 1) * 40 + 20, (row - 1) * 40 + 20, hold);
  }
};

TEST_F(PointerPlayTest, TapsSlideExactlyThePieceTappedOncePerTapWhateverItsLength) {
  answer_intros();
  write_level(1, cross_level());
  click_cell(4.0, 10, 6);  // below the hole: it moves up, the hole to (10, 6)
  click_cell(4.5, 3, 8);   // far from the hole: nothing
  click_cell(4.7, 10, 3);  // two rows above it: nothing
  // Held over several polls, still one slide: the piece right of the new
  // hole moves left.
  click_cell(5.0, 11, 6, 0.6);
  // Two taps quicker than the game polls: the second means the screen the
  // first one leaves, where (11, 8) is below the hole.
  click_cell(6.0, 11, 7);
  click_cell(6.02, 11, 8);
  EXPECT_FALSE(run_game(7.0));
  EXPECT_EQ(count_sounds("ping.wav"), 4);
  EXPECT_EQ(game.board.get(10, 5), tile::kKurveOLi);
  EXPECT_EQ(game.board.get(10, 6), tile::kGruen);
  EXPECT_EQ(game.cursor_x, 11);
  EXPECT_EQ(game.cursor_y, 8);
  EXPECT_EQ(game.board.get(10, 4), tile::kSchieneSenk);
  EXPECT_EQ(game.board.get(9, 5), tile::kKurveULi);
  EXPECT_TRUE(cell_is(11, 8, colour_of("Schwarz")));
  EXPECT_FALSE(platform.key_down(scan::kUp));
  EXPECT_FALSE(platform.key_down(scan::kLeft));
}

TEST_F(PointerPlayTest, ATapBetweenTwoPollsSlidesAtTheNextPollAndOnlyThen) {
  answer_intros();
  write_level(1, cross_level());
  // Down and up again within 2 ms, right after a poll (the locomotive
  // blinks at every poll).
  auto tapped = std::make_shared<double>(0.0);
  auto frame = std::make_shared<int>(-1);
  for (int i = 0; i < 200; ++i) {
    host.at(4.0 + 0.001 * i, [this, tapped, frame] {
      if (*frame < 0) *frame = game.loco_frame;
      if (*tapped > 0 || game.loco_frame == *frame) return;
      *tapped = host.now();
      click_cell(host.now(), 10, 6, 0.002);
    });
  }
  EXPECT_FALSE(run_game(5.0));
  ASSERT_GT(*tapped, 0.0);
  ASSERT_EQ(host.sounds().size(), 2u);  // next.wav, then one ping
  const double ping = host.sounds()[1].time;
  EXPECT_GT(ping, *tapped + 0.14);  // at the next poll
  EXPECT_LT(ping, *tapped + 0.151);
  EXPECT_EQ(game.cursor_y, 6);
}

TEST_F(PointerPlayTest, SwipesAreArrowsAndTheLocomotiveTheStatusLineAndButtonsAreTheirKeys) {
  answer_intros();
  write_level(1, cross_level());
  const auto swipe = [this](double time, int x, int y, int dx, int dy) {
    host.at(time, [this, x, y] { platform.host_pointer_down(x, y); });
    host.at(time + 0.01, [this, x, y, dx, dy] { platform.host_pointer_move(x + dx, y + dy); });
    host.at(time + 0.02, [this, x, y, dx, dy] { platform.host_pointer_up(x + dx, y + dy); });
  };
  // Anywhere on the field: a swipe to the right moves the piece left of the
  // hole right; a short drag is a tap on a cell that means nothing.
  swipe(4.0, 100, 300, 30, 5);
  swipe(4.5, 100, 300, 10, 0);
  auto after_swipes = std::make_shared<std::pair<TileCode, int>>();
  host.at(4.9, [this, after_swipes] { *after_swipes = {game.board.get(10, 5), game.cursor_x}; });
  auto after_loco = std::make_shared<float>();
  auto after_status = std::make_shared<float>();
  click_cell(5.0, 1, 1);
  host.at(5.3, [this, after_loco] {
    *after_loco = game.step_interval;
    game.step_interval = 4.0f;
  });
  click(5.4, 300, 570);
  host.at(5.7, [this, after_status] { *after_status = game.step_interval; });
  // The Ton button switches the sound once, Aufgeben costs a locomotive.
  host.at(5.8, [this] { platform.host_pointer_button(TouchButton::Sound); });
  host.at(6.2, [this] { platform.host_pointer_button(TouchButton::GiveUp); });
  EXPECT_FALSE(run_game(9.0));  // past the explosion
  EXPECT_EQ(after_swipes->first, tile::kKurveULi);
  EXPECT_EQ(after_swipes->second, 9);
  EXPECT_EQ(count_sounds("ping.wav"), 1);
  EXPECT_EQ(*after_loco, 0.3f);
  EXPECT_EQ(*after_status, 0.3f);
  EXPECT_EQ(game.sound_on, 0);
  EXPECT_EQ(game.lives, 2);
}

TEST_F(PointerPlayTest, ATapStartsAWaitingLevelAndLeavesNoKeyHeld) {
  game.last_step_time = -100.0f;
  write_level(1, cross_level());
  click_cell(3.5, 10, 6);  // beside the hole, but the level still waits
  auto interval = std::make_shared<float>();
  host.at(3.9, [this, interval] { *interval = game.step_interval; });
  EXPECT_FALSE(run_game(4.0));
  EXPECT_EQ(count_sounds("ping.wav"), 0);
  EXPECT_EQ(game.cursor_y, 5);
  EXPECT_EQ(*interval, 4.0f);
  EXPECT_EQ(game.loco_x, 2);  // the level runs
}

}  // namespace
}  // namespace rt::testing
