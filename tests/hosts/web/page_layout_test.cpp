// Where the page shows the screen and how it is scaled, without a browser.

#include "hosts/web/page_layout.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <tuple>

namespace rt {
namespace {

TEST(PageLayout, WholeMultiplesAreShownPixelForPixel) {
  for (int factor : {1, 2, 3}) {
    const PageLayout l = PageLayout::fit(800.0 * factor, 600.0 * factor, 1.0);
    EXPECT_EQ(l.factor, factor);
    EXPECT_EQ(l.canvas_width, 800 * factor);
    EXPECT_EQ(l.canvas_height, 600 * factor);
    EXPECT_TRUE(l.exact);
    EXPECT_DOUBLE_EQ(l.left, 0);
    EXPECT_DOUBLE_EQ(l.top, 0);
    EXPECT_DOUBLE_EQ(l.width, 800.0 * factor);
  }
}

TEST(PageLayout, OtherSizesEnlargeByTheNextWholeFactorAndFilterDown) {
  // 1920 x 1080: 1440 x 1080 in the middle, from a canvas twice the screen.
  PageLayout l = PageLayout::fit(1920, 1080, 1.0);
  EXPECT_EQ(l.factor, 2);
  EXPECT_EQ(l.canvas_width, 1600);
  EXPECT_EQ(l.canvas_height, 1200);
  EXPECT_FALSE(l.exact);
  EXPECT_DOUBLE_EQ(l.width, 1440);
  EXPECT_DOUBLE_EQ(l.height, 1080);
  EXPECT_DOUBLE_EQ(l.left, 240);
  EXPECT_DOUBLE_EQ(l.top, 0);
  // A tall page: full width, bars above and below.
  l = PageLayout::fit(1024, 1000, 1.0);
  EXPECT_EQ(l.factor, 2);
  EXPECT_DOUBLE_EQ(l.width, 1024);
  EXPECT_DOUBLE_EQ(l.height, 768);
  EXPECT_DOUBLE_EQ(l.left, 0);
  EXPECT_DOUBLE_EQ(l.top, 116);
  // Smaller than the screen: the screen itself, filtered down.
  l = PageLayout::fit(640, 480, 1.0);
  EXPECT_EQ(l.factor, 1);
  EXPECT_FALSE(l.exact);
  EXPECT_DOUBLE_EQ(l.width, 640);
  // Just one pixel above a whole multiple takes the next factor.
  EXPECT_EQ(PageLayout::fit(801, 601, 1.0).factor, 2);
  EXPECT_EQ(PageLayout::fit(1600, 1199, 1.0).factor, 2);
}

TEST(PageLayout, TheShapeStaysFourToThreeAndInsideThePage) {
  for (double w = 1; w < 4000; w += 97) {
    for (double h = 1; h < 3000; h += 89) {
      const PageLayout l = PageLayout::fit(w, h, 1.0);
      EXPECT_LE(l.left + l.width, w) << w << " x " << h;
      EXPECT_LE(l.top + l.height, h) << w << " x " << h;
      EXPECT_GE(l.left, 0);
      EXPECT_GE(l.top, 0);
      // Whole pixels, the height never more than three quarters of the width.
      EXPECT_LE(std::abs(l.width * 3 - l.height * 4), 4) << w << " x " << h;
      // The canvas is never smaller than the shown picture (the browser only
      // ever reduces it) up to the largest factor.
      EXPECT_GE(l.canvas_width, l.width);
      EXPECT_LT(l.canvas_width - l.width, 800);
    }
  }
}

TEST(PageLayout, DevicePixelsDecideTheFactor) {
  // A page of 960 x 720 CSS pixels on a display with 1.5 device pixels each:
  // 1440 x 1080 device pixels.
  PageLayout l = PageLayout::fit(960, 720, 1.5);
  EXPECT_EQ(l.factor, 2);
  EXPECT_FALSE(l.exact);
  EXPECT_DOUBLE_EQ(l.width, 960);
  // 800 x 600 CSS pixels at 2 is exactly twice the screen.
  l = PageLayout::fit(800, 600, 2.0);
  EXPECT_EQ(l.factor, 2);
  EXPECT_TRUE(l.exact);
  EXPECT_DOUBLE_EQ(l.width, 800);
}

TEST(PageLayout, NonsenseGivesASafeLayout) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  for (const auto& [w, h, r] :
       {std::tuple{0.0, 0.0, 1.0}, std::tuple{-5.0, 300.0, 1.0}, std::tuple{nan, nan, nan},
        std::tuple{800.0, 600.0, 0.0}, std::tuple{800.0, 600.0, -2.0}, std::tuple{inf, inf, inf},
        std::tuple{1e300, 1e300, 1e300}}) {
    const PageLayout l = PageLayout::fit(w, h, r);
    EXPECT_GE(l.factor, 1);
    EXPECT_LE(l.factor, 8);
    EXPECT_EQ(l.canvas_width, 800 * l.factor);
    EXPECT_TRUE(std::isfinite(l.width) && std::isfinite(l.height));
    EXPECT_TRUE(std::isfinite(l.left) && std::isfinite(l.top));
    EXPECT_GE(l.width, 0);
  }
  // A ratio that is no number counts as 1.
  EXPECT_DOUBLE_EQ(PageLayout::fit(800, 600, nan).width, 800);
  EXPECT_TRUE(PageLayout::fit(800, 600, -1).exact);
}

}  // namespace
}  // namespace rt
