// The pictures and the drawing of cells and of the locomotive.

#include <gtest/gtest.h>

#include <string_view>

#include "game/assets.h"
#include "tests/support/game_fixture.h"

namespace rt::testing {
namespace {

using DrawingTest = GameFixture;

constexpr Color kBackdrop = 0xFF123456;

TEST_F(DrawingTest, EveryPictureHasItsSizeAndItsFile) {
  for (const assets::PictureFile& picture : assets::kPictures) {
    const struct {
      const Image& image;
      std::string_view name;
    } entry{game.sprites.*picture.image, picture.name};
    SCOPED_TRACE(entry.name);
    int w = 0, h = 0;
    for (const auto& sc : kSpriteColours) {
      if (std::string_view(sc.name) == entry.name) {
        w = sc.width;
        h = sc.height;
      }
    }
    EXPECT_EQ(entry.image.width, w);
    EXPECT_EQ(entry.image.height, h);
    ASSERT_FALSE(entry.image.pixels.empty());
    EXPECT_EQ(entry.image.at(0, 0), colour_of(entry.name));
    EXPECT_EQ(entry.image.at(w - 1, h - 1), colour_of(entry.name));
  }
}

TEST_F(DrawingTest, MissingFilesLeaveBlackPicturesAndTheBoardStillDraws) {
  std::filesystem::remove_all(dir.path() / "Sprites");
  Game bare(platform);
  bare.load_sprites();
  EXPECT_EQ(bare.sprites.VLoesch.width, 20);
  EXPECT_EQ(bare.sprites.VLoesch.height, 200);
  EXPECT_EQ(bare.sprites.KX.width, 100);
  for (Color c : bare.sprites.Gruen.pixels) ASSERT_EQ(c, 0x00000000u);
  platform.fill_box(0, 0, 799, 599, kBackdrop);
  bare.board.set(3, 4, tile::kGruen);
  bare.draw_cell(3, 4);
  EXPECT_TRUE(cell_is(3, 4, 0x00000000));
}

TEST_F(DrawingTest, DrawCellShowsEachKnownCodeAndNothingForOthers) {
  const struct {
    TileCode code;
    const char* picture;
  } table[] = {{0, "Schwarz"},   {1, "Gruen"},     {10, "SchieneWage"}, {11, "SchieneSenk"},
               {12, "KurveOLi"}, {13, "KurveORe"}, {14, "KurveULi"},    {15, "KurveURe"},
               {20, "Baum1"},    {21, "Haus"},     {30, "Hbf"}};
  for (const auto& row : table) {
    platform.fill_box(0, 0, 799, 599, kBackdrop);
    game.board.set(20, 14, row.code);
    game.draw_cell(20, 14);
    EXPECT_TRUE(cell_is(20, 14, colour_of(row.picture))) << row.code;
    // Only that cell: its neighbours keep the backdrop.
    EXPECT_EQ(platform.read_pixel(759, 539), kBackdrop);
    EXPECT_EQ(platform.read_pixel(760, 560), kBackdrop) << "below the field";
  }
  for (TileCode unknown : {2, 9, 16, 19, 22, 31, -1, 1000}) {
    platform.fill_box(0, 0, 799, 599, kBackdrop);
    game.board.set(1, 1, unknown);
    game.draw_cell(1, 1);
    EXPECT_TRUE(cell_is(1, 1, kBackdrop)) << unknown;
  }
}

TEST_F(DrawingTest, TheMovedPieceTableHasOnlyGrassAndTrack) {
  const struct {
    TileCode code;
    const char* picture;  // nullptr: nothing drawn
  } table[] = {{1, "Gruen"},     {10, "SchieneWage"}, {11, "SchieneSenk"}, {12, "KurveOLi"},
               {13, "KurveORe"}, {14, "KurveULi"},    {15, "KurveURe"},    {0, nullptr},
               {5, nullptr},     {20, nullptr},       {21, nullptr},       {30, nullptr}};
  for (const auto& row : table) {
    platform.fill_box(0, 0, 799, 599, kBackdrop);
    game.board.set(6, 2, row.code);
    game.cursor_x = 6;
    game.cursor_y = 2;
    game.draw_moved_piece();
    EXPECT_TRUE(cell_is(6, 2, row.picture ? colour_of(row.picture) : kBackdrop)) << row.code;
  }
}

TEST_F(DrawingTest, TheLocomotiveBlinksBetweenTheTwoPicturesOfItsHeading) {
  const struct {
    Heading heading;
    const char* frame0;
    const char* frame1;
  } table[] = {{heading::kUp, "LockSenk3", "LockSenk4"},
               {heading::kRight, "LockWage1", "LockWage2"},
               {heading::kDown, "LockSenk1", "LockSenk2"},
               {heading::kLeft, "LockWage3", "LockWage4"}};
  game.loco_x = 4;
  game.loco_y = 7;
  for (const auto& row : table) {
    game.loco_heading = row.heading;
    game.loco_frame = 0;
    game.draw_locomotive();
    EXPECT_EQ(game.loco_frame, 1);
    EXPECT_TRUE(cell_is(4, 7, colour_of(row.frame1))) << row.heading;
    game.draw_locomotive();
    EXPECT_EQ(game.loco_frame, 0);
    EXPECT_TRUE(cell_is(4, 7, colour_of(row.frame0))) << row.heading;
  }
}

TEST_F(DrawingTest, AnUnknownHeadingFlipsTheFrameButDrawsNothing) {
  platform.fill_box(0, 0, 799, 599, kBackdrop);
  game.loco_x = 2;
  game.loco_y = 2;
  game.loco_frame = 5;  // anything but 1 becomes 1
  for (Heading h : {4, -1, 1000}) {
    game.loco_heading = h;
    game.draw_locomotive();
  }
  EXPECT_EQ(game.loco_frame, 1);
  EXPECT_TRUE(cell_is(2, 2, kBackdrop));
}

TEST_F(DrawingTest, CellsFarOffTheBoardDrawNothingAndDoNotFail) {
  platform.fill_box(0, 0, 799, 599, kBackdrop);
  game.loco_heading = heading::kRight;
  for (int far : {std::numeric_limits<int>::max(), std::numeric_limits<int>::min(), 0, 25}) {
    game.loco_x = far;
    game.loco_y = far;
    game.draw_locomotive();
    game.draw_cell(far, far);
  }
  // Cell (0, 0) would lie above and left of the screen; nothing visible changed.
  EXPECT_EQ(platform.read_pixel(0, 0), kBackdrop);
  EXPECT_EQ(platform.read_pixel(799, 599), kBackdrop);
}

}  // namespace
}  // namespace rt::testing
