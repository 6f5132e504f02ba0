// The screen: drawing, clipping, changed rows and the platform lock.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <thread>

#include "tests/support/sim_fixture.h"

namespace rt {
namespace {

using testing::SimFixture;

constexpr Color kBlack = 0xFF000000;

// An image whose every pixel tells where it came from: 0xAA00xxyy.
Image numbered_image(Platform& platform, int w, int h) {
  Image image = platform.create_image(w, h);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) image.at(x, y) = 0xAA000000u | (static_cast<Color>(x) << 8) | y;
  }
  return image;
}

// True when another thread can take the platform's lock right now.
bool lock_free_for_others(Platform& platform) {
  bool got = false;
  std::thread other([&] {
    got = platform.lock().try_lock();
    if (got) platform.lock().unlock();
  });
  other.join();
  return got;
}

class ScreenTest : public SimFixture {
 protected:
  void SetUp() override {
    platform.set_screen_mode("Rangier");
    int first = 0;
    int last = 0;
    platform.screen().take_changed_rows(first, last);
  }
  bool changed(int& first, int& last) { return platform.screen().take_changed_rows(first, last); }
};

TEST_F(ScreenTest, ModeSetClearsToOpaqueBlackAndResetsTextState) {
  EXPECT_TRUE(host.display_open());
  platform.fill_box(0, 0, 799, 599, 0x12345678);
  platform.set_text_color(0xFFFFFF38, 0);
  platform.locate(10, 10);
  platform.set_screen_mode();
  EXPECT_EQ(platform.read_pixel(0, 0), kBlack);
  EXPECT_EQ(platform.read_pixel(799, 599), kBlack);
  EXPECT_EQ(platform.screen().foreground, 0xFFFFFFFFu);
  EXPECT_EQ(platform.screen().background, kBlack);
  EXPECT_EQ(platform.text().row(), 1);
  EXPECT_EQ(platform.text().column(), 1);
}

TEST_F(ScreenTest, ClearScreenUsesBackgroundAndHomesCursorButKeepsColours) {
  platform.set_text_color(0xFFFFFF38, 0x00000064);
  platform.locate(5, 7);
  platform.clear_screen();
  EXPECT_EQ(platform.read_pixel(400, 300), 0x00000064u);
  EXPECT_EQ(platform.text().row(), 1);
  EXPECT_EQ(platform.text().column(), 1);
  EXPECT_EQ(platform.screen().foreground, 0xFFFFFF38u);
  int first = -1;
  int last = -1;
  ASSERT_TRUE(changed(first, last));
  EXPECT_EQ(first, 0);
  EXPECT_EQ(last, 599);
}

TEST_F(ScreenTest, NewImagesHoldTheFillAndDrawOpaquely) {
  const Image fresh = platform.create_image(40, 40);
  ASSERT_EQ(fresh.width, 40);
  ASSERT_EQ(fresh.height, 40);
  platform.fill_box(0, 0, 100, 100, 0xFFFFFFFF);
  platform.put_image(10, 10, fresh);
  // Alpha 0 is stored, not blended: the white underneath is gone.
  EXPECT_EQ(platform.read_pixel(10, 10), 0x00000000u);
  EXPECT_EQ(platform.read_pixel(49, 49), 0x00000000u);
  EXPECT_EQ(platform.read_pixel(50, 50), 0xFFFFFFFFu);
  EXPECT_EQ(platform.read_pixel(9, 10), 0xFFFFFFFFu);
  EXPECT_EQ(platform.create_image(3, 2, 0x11223344).pixels.front(), 0x11223344u);
}

TEST_F(ScreenTest, ImageAtTheCornerShowsOnlyItsVisiblePart) {
  const Image image = numbered_image(platform, 40, 40);
  platform.put_image(780, 590, image);
  EXPECT_EQ(platform.read_pixel(780, 590), image.at(0, 0));
  EXPECT_EQ(platform.read_pixel(799, 599), image.at(19, 9));
  EXPECT_EQ(platform.read_pixel(779, 590), kBlack);
  EXPECT_EQ(platform.read_pixel(780, 589), kBlack);
  int first = 0;
  int last = 0;
  ASSERT_TRUE(changed(first, last));
  EXPECT_EQ(first, 590);
  EXPECT_EQ(last, 599);
}

TEST_F(ScreenTest, ImagePartlyLeftAndAboveTheScreenDrawsItsLowerRightPart) {
  const Image image = numbered_image(platform, 40, 40);
  platform.put_image(-30, -35, image);
  EXPECT_EQ(platform.read_pixel(0, 0), image.at(30, 35));
  EXPECT_EQ(platform.read_pixel(9, 4), image.at(39, 39));
  EXPECT_EQ(platform.read_pixel(10, 0), kBlack);
  EXPECT_EQ(platform.read_pixel(0, 5), kBlack);
}

TEST_F(ScreenTest, ImagesOfEveryShortWidthLandPixelForPixel) {
  // Widths of whole blocks of eight and in between, whole or cut at the
  // right edge so that the visible part is a block width: every pixel in
  // place, the pixels either side untouched.
  struct Case {
    int width;
    int left;
  };
  for (const Case c : {Case{8, 100}, Case{40, 200}, Case{64, 300}, Case{13, 400}, Case{72, 500},
                       Case{60, 776}, Case{47, 792}}) {
    platform.fill_box(0, 0, 799, 599, kBlack);
    const Image image = numbered_image(platform, c.width, 5);
    platform.put_image(static_cast<float>(c.left), 300, image);
    const int visible = std::min(c.width, Screen::kWidth - c.left);
    for (int y = 0; y < 5; ++y) {
      for (int x = 0; x < visible; ++x) {
        ASSERT_EQ(platform.read_pixel(c.left + x, 300 + y), image.at(x, y))
            << c.width << " at " << c.left << ": " << x << "," << y;
      }
      EXPECT_EQ(platform.read_pixel(c.left - 1, 300 + y), kBlack) << c.width;
      if (c.left + visible < Screen::kWidth) {
        EXPECT_EQ(platform.read_pixel(c.left + visible, 300 + y), kBlack) << c.width;
      }
    }
    EXPECT_EQ(platform.read_pixel(c.left, 299), kBlack) << c.width;
    EXPECT_EQ(platform.read_pixel(c.left, 305), kBlack) << c.width;
  }
}

TEST_F(ScreenTest, ImageEntirelyOutsideDrawsNothing) {
  const Image image = numbered_image(platform, 40, 40);
  platform.put_image(800, 0, image);
  platform.put_image(0, 600, image);
  platform.put_image(-40, 0, image);
  platform.put_image(0, -40, image);
  platform.put_image(std::numeric_limits<float>::max(), 0, image);
  platform.put_image(-std::numeric_limits<float>::max(), 0, image);
  platform.put_image(std::nanf(""), std::nanf(""), Image{});
  int first = 0;
  int last = 0;
  EXPECT_FALSE(changed(first, last));
}

TEST_F(ScreenTest, ImageCornersRoundHalfAwayFromZero) {
  const Image image = numbered_image(platform, 4, 4);
  platform.put_image(10.5f, 20.5f, image);
  EXPECT_EQ(platform.read_pixel(11, 21), image.at(0, 0));
  EXPECT_EQ(platform.read_pixel(10, 20), kBlack);
  platform.put_image(-0.5f, 100.4f, image);  // to (-1, 100)
  EXPECT_EQ(platform.read_pixel(0, 100), image.at(1, 0));
  EXPECT_EQ(round_half_away(2.5f), 3);
  EXPECT_EQ(round_half_away(-2.5f), -3);
  EXPECT_EQ(round_half_away(2.4999f), 2);
  EXPECT_EQ(round_half_away(1e30f), std::numeric_limits<int>::max());
  EXPECT_EQ(round_half_away(-1e30f), std::numeric_limits<int>::min());
  EXPECT_EQ(round_half_away(std::nanf("")), 0);
}

TEST_F(ScreenTest, ImageWhosePixelsDoNotMatchItsSizeDrawsNothing) {
  Image broken = platform.create_image(10, 10, 0xFFFF0000);
  broken.pixels.resize(5);
  platform.put_image(0, 0, broken);
  EXPECT_EQ(platform.read_pixel(0, 0), kBlack);
  EXPECT_EQ(platform.create_image(0, 5).pixels.size(), 0u);
  EXPECT_EQ(platform.create_image(-3, 5).pixels.size(), 0u);
  EXPECT_EQ(platform.create_image(1 << 20, 1 << 20).pixels.size(), 0u);
}

TEST_F(ScreenTest, FillBoxIncludesBothCornersInEitherOrder) {
  platform.fill_box(100, 200, 104, 204, 0xFF00FF00);
  Screen forward = platform.screen();
  platform.fill_box(100, 200, 104, 204, kBlack);
  platform.fill_box(104, 204, 100, 200, 0xFF00FF00);
  for (int y = 195; y < 210; ++y) {
    for (int x = 95; x < 110; ++x) {
      ASSERT_EQ(platform.read_pixel(x, y), forward.read_pixel(x, y)) << x << "," << y;
    }
  }
  EXPECT_EQ(platform.read_pixel(100, 200), 0xFF00FF00u);
  EXPECT_EQ(platform.read_pixel(104, 204), 0xFF00FF00u);
  EXPECT_EQ(platform.read_pixel(105, 204), kBlack);
  EXPECT_EQ(platform.read_pixel(104, 205), kBlack);
  EXPECT_EQ(platform.read_pixel(99, 200), kBlack);
  platform.fill_box(104, 200, 100, 204, 0xFF0000FF);  // mixed order
  EXPECT_EQ(platform.read_pixel(100, 204), 0xFF0000FFu);
}

TEST_F(ScreenTest, FillBoxIsCutToTheScreen) {
  platform.fill_box(-10, -10, 2, 2, 0x00000064);
  EXPECT_EQ(platform.read_pixel(0, 0), 0x00000064u);
  EXPECT_EQ(platform.read_pixel(2, 2), 0x00000064u);
  EXPECT_EQ(platform.read_pixel(3, 2), kBlack);
  platform.fill_box(795, 595, 1e9f, 1e9f, 0xFFFFFF38);
  EXPECT_EQ(platform.read_pixel(799, 599), 0xFFFFFF38u);
  int first = 0;
  int last = 0;
  ASSERT_TRUE(changed(first, last));
  EXPECT_EQ(first, 0);
  EXPECT_EQ(last, 599);
  platform.fill_box(900, 10, 1000, 20, 0xFFFFFFFF);
  platform.fill_box(10, -50, 20, -1, 0xFFFFFFFF);
  EXPECT_FALSE(changed(first, last));
}

TEST_F(ScreenTest, ReadPixelOutsideTheScreenGivesAllOnes) {
  platform.fill_box(0, 0, 799, 599, 0x00000000);
  EXPECT_EQ(platform.read_pixel(800, 0), 0xFFFFFFFFu);
  EXPECT_EQ(platform.read_pixel(-1, 5), 0xFFFFFFFFu);
  EXPECT_EQ(platform.read_pixel(0, 600), 0xFFFFFFFFu);
  EXPECT_EQ(platform.read_pixel(0, -1), 0xFFFFFFFFu);
  EXPECT_EQ(platform.read_pixel(std::numeric_limits<int>::min(), 0), 0xFFFFFFFFu);
  EXPECT_EQ(platform.read_pixel(799, 599), 0x00000000u);
  // The game compares a text pixel with -200 held in a signed integer.
  platform.fill_box(3, 3, 3, 3, static_cast<Color>(-200));
  EXPECT_EQ(static_cast<std::int32_t>(platform.read_pixel(3, 3)), -200);
}

TEST_F(ScreenTest, ChangedRowsGiveTheSpanOnceThenNothing) {
  platform.fill_box(0, 50, 0, 50, 0xFFFFFFFF);
  platform.fill_box(0, 70, 0, 71, 0xFFFFFFFF);
  int first = 0;
  int last = 0;
  ASSERT_TRUE(changed(first, last));
  EXPECT_EQ(first, 50);
  EXPECT_EQ(last, 71);
  EXPECT_FALSE(changed(first, last));
  platform.read_pixel(5, 5);
  EXPECT_FALSE(changed(first, last));
}

TEST_F(ScreenTest, LockKeepsOthersOutUntilTheLastUnlock) {
  EXPECT_TRUE(lock_free_for_others(platform));
  platform.lock_screen();
  EXPECT_FALSE(lock_free_for_others(platform));
  platform.lock_screen();
  platform.fill_box(0, 0, 10, 10, 0xFFFFFFFF);  // drawing while locked works
  platform.unlock_screen(5, 6);
  EXPECT_FALSE(lock_free_for_others(platform));
  platform.unlock_screen();
  EXPECT_TRUE(lock_free_for_others(platform));
  // An unlock too many releases nothing it does not hold.
  platform.unlock_screen();
  EXPECT_TRUE(lock_free_for_others(platform));
  platform.lock_screen();
  EXPECT_FALSE(lock_free_for_others(platform));
  platform.unlock_screen();
  EXPECT_TRUE(lock_free_for_others(platform));
}

TEST_F(ScreenTest, UnlockMarksTheRowsItIsGiven) {
  int first = 0;
  int last = 0;
  platform.lock_screen();
  platform.unlock_screen(-1, -1);
  ASSERT_TRUE(changed(first, last));
  EXPECT_EQ(first, 0);
  EXPECT_EQ(last, 599);

  platform.lock_screen();
  platform.unlock_screen(10, 20);
  ASSERT_TRUE(changed(first, last));
  EXPECT_EQ(first, 10);
  EXPECT_EQ(last, 20);

  platform.lock_screen();
  platform.unlock_screen(-5, 3);
  ASSERT_TRUE(changed(first, last));
  EXPECT_EQ(first, 0);
  EXPECT_EQ(last, 3);

  platform.lock_screen();
  platform.unlock_screen(590, -1);
  ASSERT_TRUE(changed(first, last));
  EXPECT_EQ(first, 590);
  EXPECT_EQ(last, 599);

  // A last row beyond the screen or before the first marks nothing.
  platform.lock_screen();
  platform.unlock_screen(5, 600);
  EXPECT_FALSE(changed(first, last));
  platform.lock_screen();
  platform.unlock_screen(30, 20);
  EXPECT_FALSE(changed(first, last));
  EXPECT_TRUE(lock_free_for_others(platform));
}

}  // namespace
}  // namespace rt
