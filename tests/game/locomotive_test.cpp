// The locomotive's step: the step table, the edges, the speed bonus and the
// repaint of the cell left behind.

#include <gtest/gtest.h>

#include <bit>
#include <limits>

#include "tests/support/game_fixture.h"

namespace rt::testing {
namespace {

class LocomotiveTest : public GameFixture {
 protected:
  static constexpr Color kBackdrop = 0xFF123456;

  void SetUp() override {
    GameFixture::SetUp();
    game.step_interval = 4.0f;
    platform.fill_box(0, 0, 799, 599, kBackdrop);
  }
  // The locomotive on (x, y) heading `h`, standing on a horizontal rail.
  void place(int x, int y, Heading h) {
    game.board.set(x, y, tile::kSchieneWage);
    game.loco_x = x;
    game.loco_y = y;
    game.loco_heading = h;
  }
};

// What the locomotive does with each piece ahead, written out per heading:
// -1 crash, otherwise the new heading.
struct TableRow {
  Heading heading;
  int after[7];  // codes 10, 11, 12, 13, 14, 15, then any other
};
constexpr TableRow kTable[] = {
    {heading::kUp, {-1, 0, -1, -1, 3, 1, -1}},
    {heading::kRight, {1, -1, 0, -1, 2, -1, -1}},
    {heading::kDown, {-1, 2, 3, 1, -1, -1, -1}},
    {heading::kLeft, {3, -1, -1, 0, -1, 2, -1}},
};

TEST_F(LocomotiveTest, EveryCellOfTheStepTable) {
  const TileCode codes[] = {10, 11, 12, 13, 14, 15};
  const char* kSecondFrame[] = {"LockSenk4", "LockWage2", "LockSenk2", "LockWage4"};
  for (const TableRow& row : kTable) {
    const Offset o = cell_ahead(row.heading);
    for (int column = 0; column < 7; ++column) {
      // The other codes: hole, grass, tree, house, station, unknown ones.
      const std::vector<TileCode> tried =
          column < 6 ? std::vector<TileCode>{codes[column]}
                     : std::vector<TileCode>{0, 1, 2, 9, 16, 19, 20, 21, 30, -10, 99};
      for (TileCode code : tried) {
        SCOPED_TRACE(::testing::Message() << "heading " << row.heading << " code " << code);
        platform.fill_box(0, 0, 799, 599, kBackdrop);
        game.GameState = state::kPlaying;
        place(8, 7, row.heading);
        game.loco_frame = 0;
        game.board.set(8 + o.dx, 7 + o.dy, code);
        game.step_locomotive();
        const int expected = row.after[column];
        if (expected < 0) {
          EXPECT_EQ(game.GameState, state::kLocoLost);
          EXPECT_EQ(game.loco_x, 8);
          EXPECT_EQ(game.loco_y, 7);
          EXPECT_EQ(game.loco_heading, row.heading);
          EXPECT_TRUE(cell_is(8, 7, kBackdrop));
          EXPECT_TRUE(cell_is(8 + o.dx, 7 + o.dy, kBackdrop));
        } else {
          EXPECT_EQ(game.GameState, state::kPlaying);
          EXPECT_EQ(game.loco_x, 8 + o.dx);
          EXPECT_EQ(game.loco_y, 7 + o.dy);
          EXPECT_EQ(game.loco_heading, expected);
          // Drawn on the new cell with the new heading (the frame flips from
          // 0 to 1); the old cell shows its rail again.
          EXPECT_TRUE(cell_is(8 + o.dx, 7 + o.dy, colour_of(kSecondFrame[expected])));
          EXPECT_TRUE(cell_is(8, 7, colour_of("SchieneWage")));
        }
        EXPECT_TRUE(host.sounds().empty());
      }
    }
  }
}

TEST_F(LocomotiveTest, TurningDownOntoACurveShowsTheDownwardPicture) {
  place(3, 3, heading::kRight);
  game.board.set(4, 3, tile::kKurveULi);
  game.loco_frame = 0;
  game.step_locomotive();
  EXPECT_EQ(game.loco_heading, heading::kDown);
  EXPECT_TRUE(cell_is(4, 3, colour_of("LockSenk2")));
  game.loco_frame = 1;
  game.board.set(4, 4, tile::kSchieneSenk);
  game.step_locomotive();
  EXPECT_TRUE(cell_is(4, 4, colour_of("LockSenk1")));
  EXPECT_TRUE(cell_is(4, 3, colour_of("KurveULi")));
}

TEST_F(LocomotiveTest, RunningOffAnyEdgeCrashes) {
  const struct {
    int x, y;
    Heading h;
  } edges[] = {{20, 5, heading::kRight},
               {5, 14, heading::kDown},
               {1, 5, heading::kLeft},
               {5, 1, heading::kUp}};
  // Track pieces that would take the locomotive everywhere inside.
  for (const auto& e : edges) {
    game.GameState = state::kPlaying;
    place(e.x, e.y, e.h);
    game.step_locomotive();
    EXPECT_EQ(game.GameState, state::kLocoLost) << e.x << "," << e.y;
    EXPECT_EQ(game.loco_x, e.x);
    EXPECT_EQ(game.loco_y, e.y);
  }
}

TEST_F(LocomotiveTest, ALocomotiveFarOffTheBoardCrashesSafely) {
  for (int far : {std::numeric_limits<int>::max(), std::numeric_limits<int>::min()}) {
    game.GameState = state::kPlaying;
    game.loco_x = far;
    game.loco_y = far;
    for (Heading h : {0, 1, 2, 3}) {
      game.loco_heading = h;
      game.step_locomotive();
      EXPECT_EQ(game.GameState, state::kLocoLost);
    }
  }
}

TEST_F(LocomotiveTest, AnUnknownHeadingDoesNothing) {
  place(5, 5, 7);
  game.board.set(6, 5, tile::kSchieneWage);
  game.step_locomotive();
  EXPECT_EQ(game.GameState, state::kPlaying);
  EXPECT_EQ(game.loco_x, 5);
  EXPECT_TRUE(cell_is(5, 5, kBackdrop));
}

TEST_F(LocomotiveTest, LeavingACellWithoutTrackLeavesTheLocomotivePicture) {
  game.board.set(1, 1, tile::kGruen);
  game.board.set(2, 1, tile::kSchieneWage);
  game.loco_x = 1;
  game.loco_y = 1;
  game.loco_heading = heading::kRight;
  game.loco_frame = 0;
  game.draw_locomotive();  // LockWage2 on (1, 1)
  game.step_locomotive();
  EXPECT_EQ(game.loco_x, 2);
  EXPECT_TRUE(cell_is(1, 1, colour_of("LockWage2")));
}

TEST_F(LocomotiveTest, TheSpeedBonusPaysBelowFourTenthsOnly) {
  const struct {
    float interval;
    bool bonus;
  } cases[] = {
      {0.3f, true},
      {std::bit_cast<float>(0x3ECCCCC0u), true},   // 0.39999962, the tenth level's
      {0.4f, false},                               // 0.40000001
      {std::bit_cast<float>(0x3F4CCCC8u), false},  // 0.7999997, the ninth level's
      {4.0f, false},
      {-4.76837158e-07f, true},
  };
  std::int32_t expected_score = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.interval);
    const std::size_t sounds_before = host.sounds().size();
    game.step_interval = c.interval;
    place(5, 5, heading::kRight);
    game.board.set(6, 5, tile::kSchieneWage);
    game.step_locomotive();
    if (c.bonus) expected_score += 100;
    EXPECT_EQ(game.score, expected_score);
    EXPECT_EQ(host.sounds().size(), sounds_before + (c.bonus ? 1 : 0));
    if (c.bonus) {
      EXPECT_EQ(host.sounds().back().name, "ding.wav");
    }
  }
}

TEST_F(LocomotiveTest, TheBonusReprintsThePointsFieldBeforeTheDing) {
  game.step_interval = 0.3f;
  game.score = 12400;
  place(5, 5, heading::kRight);
  game.board.set(6, 5, tile::kSchieneWage);
  host.on_sound = [this](const SimHost::Sound& s) {
    EXPECT_EQ(s.name, "ding.wav");
    EXPECT_TRUE(text_shows(36, 29, "   12500"));
    // The locomotive has not moved yet when the ding starts.
    EXPECT_EQ(game.loco_x, 5);
  };
  game.step_locomotive();
  EXPECT_EQ(game.score, 12500);
  // Nothing else of the status row was written.
  EXPECT_EQ(platform.read_pixel(8 * 28 - 1, 36 * 16 - 8), kBackdrop);
  EXPECT_EQ(platform.read_pixel(8 * 36 + 1, 36 * 16 - 8), kBackdrop);
}

TEST_F(LocomotiveTest, ACrashingStepStillEarnsTheBonus) {
  game.step_interval = 0.3f;
  place(5, 5, heading::kRight);
  game.board.set(6, 5, tile::kBaum1);
  game.step_locomotive();
  EXPECT_EQ(game.score, 100);
  EXPECT_EQ(game.GameState, state::kLocoLost);
  EXPECT_EQ(count_sounds("ding.wav"), 1);
  EXPECT_TRUE(text_shows(36, 29, "     100"));
}

TEST_F(LocomotiveTest, TheBonusWithTheSoundOffIsSilent) {
  game.sound_on = 0;
  game.step_interval = 0.3f;
  place(5, 5, heading::kRight);
  game.step_locomotive();
  EXPECT_EQ(game.score, 100);
  EXPECT_TRUE(host.sounds().empty());
}

TEST_F(LocomotiveTest, TheScoreWrapsAsAThirtyTwoBitCounter) {
  game.step_interval = 0.3f;
  game.score = std::numeric_limits<std::int32_t>::max() - 50;
  place(5, 5, heading::kRight);
  game.step_locomotive();
  EXPECT_EQ(game.score, std::numeric_limits<std::int32_t>::min() + 49);
  game.score = -100;
  game.add_score(100);
  EXPECT_EQ(game.score, 0);
  game.add_score(std::numeric_limits<std::int32_t>::min());
  game.add_score(std::numeric_limits<std::int32_t>::min());
  EXPECT_EQ(game.score, 0);
}

}  // namespace
}  // namespace rt::testing
