// The picture's place and scaling in windows of any size: as large as fits at
// 4:3, and every game pixel drawn alike.

#include "hosts/windowed/picture_scaler.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "platform/screen.h"

namespace rt {
namespace {

constexpr Color kWhite = 0xFFFFFFFFu;
constexpr Color kBlack = 0xFF000000u;

TEST(PictureLayout, FillsTheLargest43AreaCentredOrTheLargestWholeMultiple) {
  const PictureLayout wide = PictureLayout::fit(1920, 1080, false);
  EXPECT_EQ(wide.width, 1440);
  EXPECT_EQ(wide.height, 1080);
  EXPECT_EQ(wide.left, 240);
  EXPECT_EQ(wide.top, 0);
  EXPECT_FALSE(wide.whole_factor);

  const PictureLayout whole = PictureLayout::fit(1920, 1080, true);
  EXPECT_EQ(whole.width, 800);
  EXPECT_EQ(whole.height, 600);
  EXPECT_EQ(whole.left, 560);
  EXPECT_EQ(whole.top, 240);
  EXPECT_TRUE(whole.whole_factor);
  EXPECT_EQ(PictureLayout::fit(2560, 1440, true).width, 1600);

  const PictureLayout tall = PictureLayout::fit(1000, 1000, false);
  EXPECT_EQ(tall.width, 1000);
  EXPECT_EQ(tall.height, 750);
  EXPECT_EQ(tall.top, 125);
  // Smaller than the picture: shrunk to fit even with whole factors only.
  EXPECT_EQ(PictureLayout::fit(400, 300, true).width, 400);
  EXPECT_TRUE(PictureLayout::fit(0, 0, false).empty());
  EXPECT_TRUE(PictureLayout::fit(-5, 300, true).empty());
  EXPECT_TRUE(PictureLayout::fit(1600, 1200, false).whole_factor);
}

// The screen in one-pixel columns of alternating black and white.
std::vector<Color> stripes() {
  std::vector<Color> screen(static_cast<std::size_t>(Screen::kWidth) * Screen::kHeight);
  for (int y = 0; y < Screen::kHeight; ++y) {
    for (int x = 0; x < Screen::kWidth; ++x) {
      screen[static_cast<std::size_t>(y * Screen::kWidth + x)] = x % 2 == 0 ? kWhite : kBlack;
    }
  }
  return screen;
}

std::vector<Color> draw_all(const PictureScaler& scaler, const std::vector<Color>& screen) {
  const PictureLayout& l = scaler.layout();
  std::vector<Color> out(static_cast<std::size_t>(l.width) * static_cast<std::size_t>(l.height));
  scaler.draw(screen.data(), 0, l.height, out.data(), l.width, 0);
  return out;
}

// Widths of the runs of pure black or pure white along the first row.
std::vector<int> pure_runs(const std::vector<Color>& row) {
  std::vector<int> runs;
  Color colour = 0x12345678u;
  for (Color c : row) {
    c &= 0xFFFFFFu;
    const bool pure = c == 0xFFFFFFu || c == 0;
    if (pure && c == colour) {
      ++runs.back();
    } else if (pure) {
      runs.push_back(1);
    }
    colour = pure ? c : 0x12345678u;
  }
  return runs;
}

TEST(PictureLayout, WindowPositionsGiveThePicturePixelUnderThem) {
  const PictureLayout wide = PictureLayout::fit(1920, 1080, false);  // 1440 x 1080 at 240
  int x = 0;
  int y = 0;
  wide.to_picture(240, 0, x, y);
  EXPECT_EQ(x, 0);
  EXPECT_EQ(y, 0);
  wide.to_picture(240 + 1439, 1079, x, y);
  EXPECT_EQ(x, 799);
  EXPECT_EQ(y, 599);
  wide.to_picture(240 + 720, 540, x, y);
  EXPECT_EQ(x, 400);
  EXPECT_EQ(y, 300);
  wide.to_picture(239, 1080, x, y);  // just off the picture, on either side
  EXPECT_EQ(x, -1);
  EXPECT_EQ(y, 600);
  PictureLayout().to_picture(5, 5, x, y);
  EXPECT_EQ(x, -1);
  EXPECT_EQ(y, -1);
}

TEST(PictureScaler, NoGamePixelLooksTwiceAsWideAsAnother) {
  const std::vector<Color> screen = stripes();
  for (const int width : {1024, 1440, 1067}) {
    PictureScaler scaler;
    scaler.set_layout(PictureLayout::fit(width, width * 3 / 4, false));
    const std::vector<Color> out = draw_all(scaler, screen);
    const std::vector<Color> row(out.begin(), out.begin() + scaler.layout().width);
    const std::vector<int> runs = pure_runs(row);
    ASSERT_FALSE(runs.empty());
    const auto [shortest, longest] = std::minmax_element(runs.begin(), runs.end());
    EXPECT_LT(*longest, 2 * *shortest) << "width " << width;

    // Every game column gets the same share of the screen, give or take
    // half a screen pixel: its coverage summed over the blends.
    std::vector<double> share(Screen::kWidth, 0.0);
    for (const auto& tap : PictureScaler::axis(Screen::kWidth, width)) {
      share[static_cast<std::size_t>(tap.source)] += (256 - tap.weight) / 256.0;
      if (tap.weight > 0) share[static_cast<std::size_t>(tap.source) + 1] += tap.weight / 256.0;
    }
    const double scale = width / 800.0;
    for (int x = 1; x < Screen::kWidth - 1; ++x) {
      EXPECT_NEAR(share[static_cast<std::size_t>(x)], scale, 0.5) << "column " << x;
    }
  }
}

TEST(PictureScaler, WholeFactorsDrawEveryGamePixelAsAnExactSquare) {
  const std::vector<Color> screen = stripes();
  PictureScaler scaler;
  scaler.set_layout(PictureLayout::fit(2560, 1440, true));
  const std::vector<Color> out = draw_all(scaler, screen);
  const std::vector<Color> row(out.begin(), out.begin() + 1600);
  const std::vector<int> runs = pure_runs(row);
  EXPECT_EQ(runs.size(), 800u);
  EXPECT_TRUE(std::all_of(runs.begin(), runs.end(), [](int r) { return r == 2; }));
}

TEST(PictureScaler, RedrawingTheRowsOfAChangeGivesTheWholeRedraw) {
  std::vector<Color> screen = stripes();
  for (const int height : {1080, 768, 1200}) {
    PictureScaler scaler;
    scaler.set_layout(PictureLayout::fit(height * 4 / 3, height, false));
    std::vector<Color> shown = draw_all(scaler, screen);
    for (const int changed : {0, 1, 299, 598, 599}) {
      for (int x = 0; x < Screen::kWidth; ++x) {
        screen[static_cast<std::size_t>(changed * Screen::kWidth + x)] ^= 0x00FF8040u;
      }
      int begin = 0;
      int end = 0;
      scaler.rows_showing(changed, changed, begin, end);
      ASSERT_LT(begin, end);
      const int width = scaler.layout().width;
      scaler.draw(screen.data(), begin, end, shown.data(), width, 0);
      EXPECT_EQ(shown, draw_all(scaler, screen)) << "row " << changed << " at " << height;
    }
  }
}

TEST(PictureScaler, OpaqueBitsAreAddedAndOnlyBlendsMixColours) {
  std::vector<Color> screen(static_cast<std::size_t>(Screen::kWidth) * Screen::kHeight,
                            0x00102030u);
  PictureScaler scaler;
  scaler.set_layout(PictureLayout::fit(1440, 1080, false));
  std::vector<Color> out(1440u * 1080u);
  scaler.draw(screen.data(), 0, 1080, out.data(), 1440, 0xFF000000u);
  EXPECT_TRUE(std::all_of(out.begin(), out.end(), [](Color c) { return c == 0xFF102030u; }));
}

TEST(PausedPicture, DimsTheScreenAndWritesPauseInTheMiddle) {
  const std::vector<Color> screen(static_cast<std::size_t>(Screen::kWidth) * Screen::kHeight,
                                  0xFFF0F0F0u);
  std::vector<Color> out(screen.size());
  draw_paused_picture(screen.data(), out.data());
  EXPECT_EQ(out.front(), 0xFF4F4F4Fu);
  EXPECT_EQ(out.back(), 0xFF4F4F4Fu);
  const auto letters =
      std::count(out.begin() + 250 * Screen::kWidth, out.begin() + 350 * Screen::kWidth, kWhite);
  EXPECT_GT(letters, 2000);
  EXPECT_EQ(std::count(out.begin(), out.begin() + 250 * Screen::kWidth, kWhite), 0);
}

}  // namespace
}  // namespace rt
