// The title screen as it appears in the pixels.
#include <gtest/gtest.h>

#include <thread>

#include "tests/support/front_fixture.h"

namespace rt::testing {
namespace {

class TitleScreenTest : public FrontFixture {
 protected:
  // The whole screen as the title screen must leave it on a screen cleared to
  // `background`.
  Image expected(Color background) {
    Image picture(800, 600, background);
    // Row y = 0 of the small title's cells stays uncovered by the track:
    // glyph ink in the foreground colour, the rest of the cells black.
    static constexpr std::string_view kTitle = "DER RANGIER TRUBEL";
    for (int x = 0; x < 8 * static_cast<int>(kTitle.size()); ++x) {
      const auto ch = static_cast<unsigned char>(kTitle[static_cast<std::size_t>(x / 8)]);
      for (int y = 0; y < 16; ++y) {
        picture.at(x, y) =
            ((kVgaFont[ch][static_cast<std::size_t>(y)] >> (7 - x % 8)) & 1) ? kText : 0u;
      }
    }
    draw_expected_title(picture);
    auto put = [&](int left, int top, int w, int h, Color c) {
      for (int y = top; y < top + h && y < 600; ++y) {
        for (int x = left; x < left + w && x < 800; ++x) picture.at(x, y) = c;
      }
    };
    for (int i = 0; i < 20; ++i) {
      put(40 * i, 1, 40, 40, kWageColor);
      put(40 * i, 120, 40, 40, kWageColor);
    }
    put(1, 40, 40, 40, kSenkColor);
    put(1, 80, 40, 40, kSenkColor);
    put(760, 40, 40, 40, kSenkColor);
    put(760, 80, 40, 40, kSenkColor);
    put(315, 170, 100, 40, kLogoColor);
    put(1, 1, 40, 40, kURColor);
    put(760, 1, 40, 40, kULColor);
    put(1, 120, 40, 40, kORColor);
    put(760, 120, 40, 40, kOLColor);
    return picture;
  }

  // Counts the pixels that differ and reports the first one.
  void expect_screen(const Image& want) {
    int differences = 0;
    for (int y = 0; y < 600; ++y) {
      for (int x = 0; x < 800; ++x) {
        const Color got = platform.read_pixel(x, y);
        if (got != want.at(x, y) && differences++ == 0) {
          ADD_FAILURE() << "first difference at (" << x << ", " << y << "): got " << std::hex << got
                        << ", want " << want.at(x, y);
        }
      }
    }
    EXPECT_EQ(differences, 0);
  }
};

TEST_F(TitleScreenTest, FirstCallDrawsTheTitleOvalAndLogoPixelForPixel) {
  // The first clear of a run fills with the background in force before the
  // title sets its colours: opaque black.
  front.show_title_screen();
  expect_screen(expected(0xFF000000));

  // Spot checks of the picture's landmarks, independent of the model above.
  EXPECT_EQ(platform.read_pixel(0, 1), kWageColor);    // straight piece left of the corner
  EXPECT_EQ(platform.read_pixel(1, 1), kURColor);      // corner over the straight row
  EXPECT_EQ(platform.read_pixel(799, 159), kOLColor);  // bottom-right corner
  EXPECT_EQ(platform.read_pixel(0, 160), 0xFF000000u);
  EXPECT_EQ(platform.read_pixel(315, 170), kLogoColor);
  EXPECT_EQ(platform.read_pixel(414, 209), kLogoColor);
  EXPECT_EQ(platform.read_pixel(415, 209), 0xFF000000u);
}

TEST_F(TitleScreenTest, LeavesTextColoursAndCursorForTheTextsThatFollow) {
  front.show_title_screen();
  EXPECT_EQ(platform.screen().foreground, kText);
  EXPECT_EQ(platform.screen().background, 0u);
  EXPECT_EQ(platform.text().row(), 2);
  EXPECT_EQ(platform.text().column(), 1);
}

TEST_F(TitleScreenTest, LaterCallsClearToBlackAndNothingAccumulates) {
  front.show_title_screen();
  platform.fill_box(0, 0, 799, 599, 0xFF123456);
  platform.set_text_color(0xFFFFFFFF, 0);  // the background stays 0 as the title left it
  front.show_title_screen();
  const Image want = expected(0);
  expect_screen(want);
  front.show_title_screen();
  expect_screen(want);
}

TEST_F(TitleScreenTest, ScansOnlyRows1To11AndColumns1To145ForTheExactColour) {
  // The small title is printed, then the title screen sleeps 10 ms before it
  // scans; meanwhile some pixels of the small title are changed.
  host.at(0.005, [&] {
    Screen& screen = platform.screen();
    screen.row(2)[1] = 0x00FFFF38;  // lit in 'D', alpha byte differs
    screen.row(1)[5] = kText;       // newly lit, row 1
    screen.row(12)[1] = kText;      // below the scanned rows
    screen.row(5)[146] = kText;     // right of the scanned columns
  });
  front.show_title_screen();
  EXPECT_NE(platform.read_pixel(100, 59), 0xFFFFE0C8u);  // no face for (1, 2)
  EXPECT_EQ(platform.read_pixel(100, 59), 0xFF000000u);
  EXPECT_EQ(platform.read_pixel(115, 54), 0xFFFFE0C4u);   // face of (5, 1)
  EXPECT_EQ(platform.read_pixel(121, 60), 0x00000064u);   // its shadow
  EXPECT_EQ(platform.read_pixel(100, 100), 0xFF000000u);  // nothing for (1, 12)
  EXPECT_EQ(platform.read_pixel(680, 72), 0xFF000000u);   // nothing for (146, 5)
  // The 'D' keeps its other boxes: (2, 2) has its face.
  EXPECT_EQ(platform.read_pixel(104, 59), 0xFFFFE0C8u);
}

TEST_F(TitleScreenTest, ReleasesTheScreenLockForTheRefresh) {
  front.show_title_screen();
  bool taken = false;
  std::thread other([&] {
    taken = platform.lock().try_lock();
    if (taken) platform.lock().unlock();
  });
  other.join();
  EXPECT_TRUE(taken);
}

}  // namespace
}  // namespace rt::testing
