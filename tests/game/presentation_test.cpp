// Presenting a level: the random dissolve, the full draw, the locomotive
// and the status line.

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "platform/rnd.h"
#include "tests/support/game_fixture.h"

namespace rt::testing {
namespace {

class PresentationTest : public GameFixture {
 protected:
  static constexpr Color kBackdrop = 0xFF123456;

  void SetUp() override {
    GameFixture::SetUp();
    platform.fill_box(0, 0, 799, 599, kBackdrop);
    game.score = 0;
    game.lives = 3;
    game.level = 1;
    game.loco_x = 1;
    game.loco_y = 1;
    game.loco_heading = heading::kRight;
  }

  // A board of grass with a few other pieces and two cells of unknown codes.
  LevelCells mixed_level() {
    LevelCells level;
    level.fill(tile::kGruen);
    level.at(1, 1) = tile::kSchieneWage;
    level.at(2, 1) = tile::kKurveULi;
    level.at(5, 5) = tile::kBaum1;
    level.at(6, 5) = tile::kHaus;
    level.at(7, 5) = tile::kHbf;
    level.at(9, 9) = 7;
    level.at(12, 3) = 99;
    level.at(20, 14) = tile::kSchwarz;
    return level;
  }
};

TEST_F(PresentationTest, AfterTheIntroEveryKnownCellShowsItsPictureAndUnknownOnesKeepTheScreen) {
  LevelCells level = mixed_level();
  put_board(level);
  game.show_level();
  for (int x = 1; x <= 20; ++x) {
    for (int y = 1; y <= 14; ++y) {
      if (x == 1 && y == 1) continue;  // the locomotive
      const TileCode code = level.at(x, y);
      const char* picture = code == tile::kGruen         ? "Gruen"
                            : code == tile::kSchieneWage ? "SchieneWage"
                            : code == tile::kKurveULi    ? "KurveULi"
                            : code == tile::kBaum1       ? "Baum1"
                            : code == tile::kHaus        ? "Haus"
                            : code == tile::kHbf         ? "Hbf"
                            : code == tile::kSchwarz     ? "Schwarz"
                                                         : nullptr;
      ASSERT_TRUE(cell_is(x, y, picture ? colour_of(picture) : kBackdrop)) << x << "," << y;
    }
  }
}

TEST_F(PresentationTest, TheIntroLastsThreeSecondsThenTheLocomotiveIsDrawn) {
  put_board(mixed_level());
  game.loco_frame = 1;
  auto at_end = std::make_shared<Color>(0);
  host.at(2.99, [this, at_end] { *at_end = cell_colour(1, 1); });
  game.show_level();
  EXPECT_GT(host.now(), 3.0);
  EXPECT_LT(host.now(), 3.003);
  EXPECT_NE(*at_end, colour_of("LockWage1"));
  EXPECT_TRUE(cell_is(1, 1, colour_of("LockWage1")));
  EXPECT_EQ(game.loco_frame, 0);
}

TEST_F(PresentationTest, TheNextSoundStartsThePresentation) {
  put_board(mixed_level());
  bool screen_untouched = false;
  host.on_sound = [&](const SimHost::Sound& s) {
    EXPECT_EQ(s.name, "next.wav");
    screen_untouched = cell_is(5, 5, kBackdrop) && cell_is(1, 1, kBackdrop);
  };
  game.show_level();
  EXPECT_EQ(sound_names(), std::vector<std::string>{"next.wav"});
  EXPECT_TRUE(screen_untouched);
}

TEST_F(PresentationTest, TheIntroDrawsRandomCellsColumnFirstOncePerFrame) {
  // The second random cell (the first two values happen to lie too close
  // together to tell column from row) is the only one with a picture.
  Rnd oracle;
  oracle.next();
  oracle.next();
  const double r3 = oracle.next();
  const double r4 = oracle.next();
  const int x = static_cast<int>(std::floor(r3 * 20)) + 1;
  const int y = static_cast<int>(std::floor(r4 * 14)) + 1;
  ASSERT_NE(x, static_cast<int>(std::floor(r4 * 20)) + 1);
  LevelCells level;
  level.fill(50);
  level.at(x, y) = tile::kGruen;
  put_board(level);
  game.loco_x = 30;  // out of sight
  // A cell falls due every millisecond, and the cells due are drawn together
  // once a frame (1/30 s): none before the first frame, the first 33 at it.
  auto early = std::make_shared<bool>(true);
  auto second_draw = std::make_shared<bool>(false);
  host.at(0.033, [this, early, x, y] { *early = cell_is(x, y, colour_of("Gruen")); });
  host.at(0.0345, [this, second_draw, x, y] { *second_draw = cell_is(x, y, colour_of("Gruen")); });
  game.show_level();
  EXPECT_FALSE(*early);
  EXPECT_TRUE(*second_draw) << x << "," << y;
}

TEST_F(PresentationTest, EarlyInTheIntroTheOldScreenStillShowsInPlaces) {
  put_board(mixed_level());
  auto drawn = std::make_shared<int>(0);
  auto old = std::make_shared<int>(0);
  host.at(0.3, [this, drawn, old] {
    for (int x = 1; x <= 20; ++x) {
      for (int y = 1; y <= 14; ++y) {
        const Color c = cell_colour(x, y);
        (c == kBackdrop ? *old : *drawn) += 1;
      }
    }
  });
  game.show_level();
  // About 290 random draws by then: many cells drawn, many not yet.
  EXPECT_GT(*drawn, 100);
  EXPECT_GT(*old, 50);
}

TEST_F(PresentationTest, TheStatusLineShowsPointsLocomotivesAndLevel) {
  put_board(mixed_level());
  game.score = 12500;
  game.lives = 2;
  game.level = 7;
  game.show_level();
  EXPECT_TRUE(status_shows(12500, 2, 7));
  // Columns between the fields keep what was there.
  EXPECT_EQ(platform.read_pixel(8 * 21 - 1, 568), kBackdrop);
  EXPECT_EQ(platform.read_pixel(8 * 37, 568), kBackdrop);
  EXPECT_EQ(platform.read_pixel(8 * 54 + 3, 568), kBackdrop);  // column 55
  EXPECT_EQ(platform.read_pixel(8 * 77 + 3, 568), kBackdrop);  // column 78
  EXPECT_EQ(platform.read_pixel(8 * 82, 568), kBackdrop);
  // The row below is left alone.
  EXPECT_EQ(platform.read_pixel(200, 580), kBackdrop);
  EXPECT_EQ(platform.text().row(), 37);
}

TEST_F(PresentationTest, LargeAndNegativeScoresUseThePrintForms) {
  put_board(mixed_level());
  game.score = 123456789;
  game.show_level();
  EXPECT_TRUE(text_shows(36, 29, "12345678%e+1"));
  platform.fill_box(0, 0, 799, 599, kBackdrop);
  game.score = -5;
  game.show_level();
  EXPECT_TRUE(text_shows(36, 29, "      -5"));
}

TEST_F(PresentationTest, NoSoundWithTheSoundOffButTheIntroRunsInFull) {
  put_board(mixed_level());
  game.sound_on = 0;
  game.show_level();
  EXPECT_TRUE(host.sounds().empty());
  EXPECT_GT(host.now(), 3.0);
}

}  // namespace
}  // namespace rt::testing
