// Sliding pieces into the hole.

#include <gtest/gtest.h>

#include "tests/support/game_fixture.h"

namespace rt::testing {
namespace {

class SlidesTest : public GameFixture {
 protected:
  constexpr static Color kBackdrop = 0xFF123456;

  // Grass all round, the hole at (x, y), and the four neighbours given.
  void set_hole(int x, int y) {
    LevelCells level;
    level.fill(tile::kGruen);
    level.at(x, y) = tile::kSchwarz;
    level.cursor_x = x;
    level.cursor_y = y;
    put_board(level);
    platform.fill_box(0, 0, 799, 599, kBackdrop);
  }
};

TEST_F(SlidesTest, EachArrowMovesItsNeighbourAndTheHoleTheOtherWay) {
  const struct {
    void (Game::*slide)();
    int from_x, from_y;  // the piece that moves
  } cases[] = {{&Game::slide_up, 5, 6},
               {&Game::slide_down, 5, 4},
               {&Game::slide_left, 6, 5},
               {&Game::slide_right, 4, 5}};
  for (const auto& c : cases) {
    set_hole(5, 5);
    game.board.set(c.from_x, c.from_y, tile::kKurveORe);
    const std::size_t before = host.sounds().size();
    host.on_sound = [&](const SimHost::Sound&) {
      // The ping comes after both cells have been drawn.
      EXPECT_TRUE(cell_is(5, 5, colour_of("KurveORe")));
      EXPECT_TRUE(cell_is(c.from_x, c.from_y, colour_of("Schwarz")));
    };
    (game.*c.slide)();
    EXPECT_EQ(game.board.get(5, 5), tile::kKurveORe);
    EXPECT_EQ(game.board.get(c.from_x, c.from_y), tile::kSchwarz);
    EXPECT_EQ(game.cursor_x, c.from_x);
    EXPECT_EQ(game.cursor_y, c.from_y);
    ASSERT_EQ(host.sounds().size(), before + 1);
    EXPECT_EQ(host.sounds().back().name, "ping.wav");
    host.on_sound = nullptr;
  }
}

TEST_F(SlidesTest, TheEdgesStopEveryArrowWithoutASound) {
  const struct {
    void (Game::*slide)();
    int cursor_x, cursor_y;
  } cases[] = {{&Game::slide_up, 8, 14},
               {&Game::slide_down, 8, 1},
               {&Game::slide_left, 20, 8},
               {&Game::slide_right, 1, 8}};
  for (const auto& c : cases) {
    set_hole(c.cursor_x, c.cursor_y);
    (game.*c.slide)();
    EXPECT_EQ(game.cursor_x, c.cursor_x);
    EXPECT_EQ(game.cursor_y, c.cursor_y);
    EXPECT_EQ(game.board.get(c.cursor_x, c.cursor_y), tile::kSchwarz);
    EXPECT_TRUE(cell_is(c.cursor_x, c.cursor_y, kBackdrop));
  }
  // The border cells stay 0.
  for (int i = 0; i <= 20; ++i) EXPECT_EQ(game.board.get(i, 0), 0);
  for (int i = 0; i <= 14; ++i) EXPECT_EQ(game.board.get(0, i), 0);
  EXPECT_TRUE(host.sounds().empty());
}

TEST_F(SlidesTest, OneStepInsideTheEdgesStillSlides) {
  set_hole(8, 13);
  game.slide_up();
  EXPECT_EQ(game.cursor_y, 14);
  set_hole(8, 2);
  game.slide_down();
  EXPECT_EQ(game.cursor_y, 1);
  set_hole(19, 8);
  game.slide_left();
  EXPECT_EQ(game.cursor_x, 20);
  set_hole(2, 8);
  game.slide_right();
  EXPECT_EQ(game.cursor_x, 1);
  EXPECT_EQ(count_sounds("ping.wav"), 4);
}

TEST_F(SlidesTest, TreesHousesAndTheStationNeverMove) {
  for (TileCode fixed : {tile::kBaum1, tile::kHaus, tile::kHbf, 20, 100}) {
    set_hole(5, 5);
    game.board.set(5, 6, fixed);
    game.board.set(5, 4, fixed);
    game.board.set(6, 5, fixed);
    game.board.set(4, 5, fixed);
    game.slide_up();
    game.slide_down();
    game.slide_left();
    game.slide_right();
    EXPECT_EQ(game.cursor_x, 5);
    EXPECT_EQ(game.cursor_y, 5);
    EXPECT_EQ(game.board.get(5, 6), fixed);
    EXPECT_TRUE(cell_is(5, 5, kBackdrop));
  }
  EXPECT_TRUE(host.sounds().empty());
}

TEST_F(SlidesTest, CodesWithoutAPictureMoveAndLeaveTheOldHoleAsItWas) {
  // 19 is the largest movable code; 0 (a second hole) and 2..9 move too.
  for (TileCode odd : {0, 2, 9, 16, 19, -5}) {
    set_hole(5, 5);
    game.board.set(5, 6, odd);
    game.slide_up();
    EXPECT_EQ(game.board.get(5, 5), odd);
    EXPECT_EQ(game.cursor_y, 6) << odd;
    EXPECT_TRUE(cell_is(5, 5, kBackdrop)) << odd;
    EXPECT_TRUE(cell_is(5, 6, colour_of("Schwarz")));
  }
  EXPECT_EQ(count_sounds("ping.wav"), 6);
}

TEST_F(SlidesTest, TheHoleIsPaintedOverTheLocomotive) {
  set_hole(5, 5);
  game.board.set(5, 6, tile::kSchieneWage);
  game.loco_x = 5;
  game.loco_y = 6;
  game.draw_locomotive();
  game.slide_up();
  EXPECT_TRUE(cell_is(5, 6, colour_of("Schwarz")));
  EXPECT_TRUE(cell_is(5, 5, colour_of("SchieneWage")));
}

TEST_F(SlidesTest, NoPingWithTheSoundOff) {
  game.sound_on = 0;
  set_hole(5, 5);
  game.slide_up();
  game.slide_down();
  EXPECT_EQ(game.cursor_y, 5);
  EXPECT_TRUE(host.sounds().empty());
}

}  // namespace
}  // namespace rt::testing
