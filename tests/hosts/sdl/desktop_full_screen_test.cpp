// The desktop program in full screen: the picture as large as fits, evenly
// scaled, or in whole factors only.
#include <gtest/gtest.h>
#include <signal.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "tests/hosts/sdl/desktop_program.h"

namespace rt::testing {
namespace {

// Where the picture lies on a screen of the given size in full screen: as
// large as fits at 4:3, centred.
struct Placement {
  int left = 0;
  int top = 0;
  double scale = 1.0;
};
Placement placement(int screen_w, int screen_h, bool whole_factors) {
  double scale = std::min(screen_w / 800.0, screen_h / 600.0);
  if (whole_factors) scale = std::max(1.0, std::floor(scale));
  const int width = static_cast<int>(800 * scale);
  const int height = static_cast<int>(600 * scale);
  return {(screen_w - width) / 2, (screen_h - height) / 2, scale};
}

// Game pixels whose eight neighbours share their colour must show exactly
// that colour at their centre on the screen; counts those that do not, and
// those checked.
std::pair<int, int> misplaced_pixels(const Picture& shot, const Image& screen, Placement at,
                                     int y_from, int y_to) {
  int wrong = 0;
  int checked = 0;
  for (int y = std::max(1, y_from); y < std::min(599, y_to); ++y) {
    for (int x = 1; x < 799; ++x) {
      const Color c = screen.at(x, y) & 0xFFFFFFu;
      bool uniform = true;
      for (int dy = -1; dy <= 1 && uniform; ++dy) {
        for (int dx = -1; dx <= 1; ++dx) {
          if ((screen.at(x + dx, y + dy) & 0xFFFFFFu) != c) uniform = false;
        }
      }
      if (!uniform) continue;
      const int sx = at.left + static_cast<int>((x + 0.5) * at.scale);
      const int sy = at.top + static_cast<int>((y + 0.5) * at.scale);
      ++checked;
      if (sx >= shot.width || sy >= shot.height || shot.at(sx, sy) != c) ++wrong;
    }
  }
  return {wrong, checked};
}

// For game pixels with another colour left and right of them (and the same
// above and below), how many screen columns show their pure colour.
std::vector<int> single_pixel_widths(const Picture& shot, const Image& screen, Placement at) {
  std::vector<int> widths;
  for (int y = 1; y < 599; ++y) {
    const int sy = at.top + static_cast<int>((y + 0.5) * at.scale);
    for (int x = 1; x < 799; ++x) {
      const Color c = screen.at(x, y) & 0xFFFFFFu;
      if ((screen.at(x - 1, y) & 0xFFFFFFu) == c || (screen.at(x + 1, y) & 0xFFFFFFu) == c ||
          (screen.at(x, y - 1) & 0xFFFFFFu) != c || (screen.at(x, y + 1) & 0xFFFFFFu) != c) {
        continue;
      }
      const int from = at.left + static_cast<int>(std::floor(x * at.scale));
      const int to = at.left + static_cast<int>(std::ceil((x + 1) * at.scale));
      int width = 0;
      for (int sx = from; sx < to && sx < shot.width; ++sx) {
        if (shot.at(sx, sy) == c) ++width;
      }
      if (width > 0) widths.push_back(width);
    }
  }
  return widths;
}

class DesktopFullScreenTest : public DesktopProgramTest,
                              public ::testing::WithParamInterface<const char*> {
 protected:
  DesktopFullScreenTest() { screen_ = GetParam(); }

  // Waits until the whole menu is on the screen; the last screenshot.
  std::optional<Picture> wait_for_menu(const Image& menu, Placement at) {
    std::optional<Picture> shot;
    for (int attempt = 0; attempt < 60; ++attempt) {
      shot = screenshot();
      if (shot && misplaced_pixels(*shot, menu, at, 0, 600).first == 0) return shot;
      std::this_thread::sleep_for(200ms);
    }
    return shot;
  }
};

TEST_P(DesktopFullScreenTest, WithoutAWindowManagerShowsTheWholeMenuEvenlyScaled) {
  const fs::path work = dir.path() / "work";
  copy_data(work);
  const Image menu = expected_menu(work);
  ASSERT_EQ(menu.width, 800);
  int width = 0;
  int height = 0;
  ASSERT_EQ(std::sscanf(screen_.c_str(), "%dx%d", &width, &height), 2);
  const Placement at = placement(width, height, false);

  auto game = start_game(bin_ / "rangiertrubel", work, {"--fullscreen"});
  const auto shot = wait_for_menu(menu, at);
  ASSERT_TRUE(shot);
  const auto [wrong, checked] = misplaced_pixels(*shot, menu, at, 0, 600);
  EXPECT_EQ(wrong, 0) << "of " << checked;
  // The title at the top of the picture is among them.
  const auto [title_wrong, title_checked] = misplaced_pixels(*shot, menu, at, 50, 110);
  EXPECT_EQ(title_wrong, 0);
  EXPECT_GT(title_checked, 5000);

  // No game pixel twice as wide as another.
  const std::vector<int> widths = single_pixel_widths(*shot, menu, at);
  ASSERT_GT(widths.size(), 200u);
  const auto [narrowest, widest] = std::minmax_element(widths.begin(), widths.end());
  EXPECT_LT(*widest, 2 * *narrowest) << "from " << *narrowest << " to " << *widest;

  ::kill(game->pid(), SIGINT);
  EXPECT_EQ(game->wait_for(5s), 0);
}

INSTANTIATE_TEST_SUITE_P(Screens, DesktopFullScreenTest,
                         ::testing::Values("1024x768x24", "1920x1080x24"));

class DesktopLargeScreenTest : public DesktopProgramTest {
 protected:
  DesktopLargeScreenTest() { screen_ = "1600x1200x24"; }
};

TEST_F(DesktopLargeScreenTest, IntegerScaleDrawsEveryGamePixelAsAWholeSquare) {
  const fs::path work = dir.path() / "work";
  copy_data(work);
  const Image menu = expected_menu(work);
  ASSERT_EQ(menu.width, 800);
  auto game = start_game(bin_ / "rangiertrubel", work, {"--fullscreen", "--integer-scale"});
  std::optional<Picture> shot;
  int wrong = -1;
  for (int attempt = 0; attempt < 60 && wrong != 0; ++attempt) {
    std::this_thread::sleep_for(200ms);
    shot = screenshot();
    if (!shot || shot->width != 1600) continue;
    wrong = 0;
    for (int y = 0; y < 1200; ++y) {
      for (int x = 0; x < 1600; ++x) {
        if (shot->at(x, y) != (menu.at(x / 2, y / 2) & 0xFFFFFFu)) ++wrong;
      }
    }
  }
  EXPECT_EQ(wrong, 0);
  ::kill(game->pid(), SIGTERM);
  EXPECT_EQ(game->wait_for(5s), 0);
}

}  // namespace
}  // namespace rt::testing
