// Text on the screen: printing, the cursor and formatted numbers.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

#include "platform/formats/vga_font.h"
#include "tests/support/sim_fixture.h"

namespace rt {
namespace {

constexpr Color kInk = 0xFFFFFF38;  // the game's text colour, -200
constexpr Color kPaper = 0x00000000;
constexpr Color kMarker = 0xFF123456;

// True when the cell shows `ch` in the given colours, every one of its 128
// pixels checked.
::testing::AssertionResult cell_shows(Platform& platform, int row, int column, unsigned char ch,
                                      Color ink = kInk, Color paper = kPaper) {
  const int left = (column - 1) * 8;
  const int top = (row - 1) * 16;
  for (int y = 0; y < 16; ++y) {
    for (int x = 0; x < 8; ++x) {
      const bool dot = (kVgaFont[ch][static_cast<std::size_t>(y)] & (0x80 >> x)) != 0;
      const Color want = dot ? ink : paper;
      const Color got = platform.read_pixel(left + x, top + y);
      if (got != want) {
        return ::testing::AssertionFailure()
               << "cell (" << row << "," << column << ") pixel (" << x << "," << y << ") is "
               << std::hex << got << ", want " << want << " for '" << ch << "'";
      }
    }
  }
  return ::testing::AssertionSuccess();
}

::testing::AssertionResult row_shows(Platform& platform, int row, int column,
                                     const std::string& text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    auto result = cell_shows(platform, row, column + static_cast<int>(i),
                             static_cast<unsigned char>(text[i]));
    if (!result) return result;
  }
  return ::testing::AssertionSuccess();
}

class TextTest : public testing::SimFixture {
 protected:
  void SetUp() override {
    platform.set_screen_mode();
    platform.set_text_color(static_cast<Color>(-200), 0);
    int first = 0;
    int last = 0;
    platform.screen().take_changed_rows(first, last);
  }
};

// --- The font ---------------------------------------------------------------

TEST(VgaFont, CapitalAHasTheVgaRowPattern) {
  const std::array<std::uint8_t, 16> a = {0x00, 0x00, 0x10, 0x38, 0x6C, 0xC6, 0xC6, 0xFE,
                                          0xC6, 0xC6, 0xC6, 0xC6, 0x00, 0x00, 0x00, 0x00};
  EXPECT_EQ(kVgaFont['A'], a);
}

TEST(VgaFont, CapitalsHaveTheStandardVgaShapes) {
  // Rows 2..11 of T and M as the standard VGA set draws them.
  const std::array<std::uint8_t, 10> t = {0x7E, 0x7E, 0x5A, 0x18, 0x18,
                                          0x18, 0x18, 0x18, 0x18, 0x3C};
  const std::array<std::uint8_t, 10> m = {0xC6, 0xEE, 0xFE, 0xFE, 0xD6,
                                          0xC6, 0xC6, 0xC6, 0xC6, 0xC6};
  for (std::size_t row = 0; row < t.size(); ++row) {
    EXPECT_EQ(kVgaFont['T'][row + 2], t[row]) << row;
    EXPECT_EQ(kVgaFont['M'][row + 2], m[row]) << row;
  }
  // Every capital letter leaves the rightmost pixel column free.
  for (int ch = 'A'; ch <= 'Z'; ++ch) {
    for (std::uint8_t row : kVgaFont[static_cast<std::size_t>(ch)]) {
      EXPECT_EQ(row & 0x01, 0) << static_cast<char>(ch);
    }
  }
}

TEST(VgaFont, IsTheCodePage437Set) {
  for (std::uint8_t row : kVgaFont[0xDB]) EXPECT_EQ(row, 0xFF);  // full block
  EXPECT_NE(kVgaFont[0x84][2], 0);                               // the dots of a-umlaut
  EXPECT_EQ(kVgaFont[0x84][4], 0);                               // apart from the letter
  EXPECT_EQ(kVgaFont[0x84][7], kVgaFont['a'][7]);
  for (std::uint8_t row : kVgaFont[' ']) EXPECT_EQ(row, 0x00);
  // Capital letters start on row 2; only the tail of Q reaches below row 11,
  // and no glyph of them touches the top two or the bottom two rows.
  for (int ch = 'A'; ch <= 'Z'; ++ch) {
    const auto& glyph = kVgaFont[static_cast<std::size_t>(ch)];
    EXPECT_NE(glyph[2], 0) << static_cast<char>(ch);
    for (std::size_t y : {0u, 1u, 14u, 15u}) EXPECT_EQ(glyph[y], 0) << static_cast<char>(ch) << y;
    if (ch != 'Q') {
      EXPECT_EQ(glyph[12], 0) << static_cast<char>(ch);
      EXPECT_EQ(glyph[13], 0) << static_cast<char>(ch);
    }
  }
}

// --- Painting and the cursor ------------------------------------------------

TEST_F(TextTest, StatusLineLabelLandsAtItsPixels) {
  platform.fill_box(0, 0, 799, 599, kMarker);
  int first = 0;
  int last = 0;
  platform.screen().take_changed_rows(first, last);
  platform.locate(36, 22);
  platform.print_text("PUNKTE:");
  EXPECT_TRUE(row_shows(platform, 36, 22, "PUNKTE:"));
  EXPECT_EQ(platform.read_pixel(168 + 2, 560 + 3), kInk);  // top bar of the P
  EXPECT_EQ(platform.read_pixel(167, 560), kMarker);
  EXPECT_EQ(platform.read_pixel(168, 559), kMarker);
  EXPECT_EQ(platform.read_pixel(168, 576), kMarker);
  EXPECT_EQ(platform.read_pixel(168 + 7 * 8, 560), kMarker);
  // The line end leaves the cursor on row 37 without scrolling.
  EXPECT_EQ(platform.text().row(), 37);
  EXPECT_EQ(platform.text().column(), 1);
  EXPECT_TRUE(row_shows(platform, 36, 22, "PUNKTE:"));
  ASSERT_TRUE(platform.screen().take_changed_rows(first, last));
  EXPECT_EQ(first, 560);
  EXPECT_EQ(last, 575);
}

TEST_F(TextTest, CellsArePaintedOpaquely) {
  platform.fill_box(0, 0, 799, 599, kMarker);
  platform.locate(1, 1);
  platform.print_text("SOUND EIN");
  platform.locate(1, 1);
  platform.print_text("SOUND AUS");
  EXPECT_TRUE(row_shows(platform, 1, 1, "SOUND AUS"));
  platform.locate(1, 1);
  platform.print_text("AB");
  EXPECT_TRUE(row_shows(platform, 1, 1, "ABUND AUS"));
  EXPECT_EQ(platform.read_pixel(9 * 8, 0), kMarker);
}

TEST_F(TextTest, ColoursAreStoredUnchanged) {
  platform.set_text_color(0x00000064, 0xFFFFFFFF);
  platform.print_text("#");
  EXPECT_TRUE(cell_shows(platform, 1, 1, '#', 0x00000064, 0xFFFFFFFF));
}

TEST_F(TextTest, LocateOutsideTheGridIsIgnored) {
  platform.locate(5, 6);
  for (auto [row, column] : {std::pair{0, 1}, {38, 1}, {1, 0}, {1, 101}, {-1, -1}}) {
    platform.locate(row, column);
    EXPECT_EQ(platform.text().row(), 5);
    EXPECT_EQ(platform.text().column(), 6);
  }
  platform.locate(37, 100);
  EXPECT_EQ(platform.text().row(), 37);
  EXPECT_EQ(platform.text().column(), 100);
}

TEST_F(TextTest, TextWrapsAfterColumnHundred) {
  platform.locate(3, 99);
  platform.print_text("xyz");
  EXPECT_TRUE(row_shows(platform, 3, 99, "xy"));
  EXPECT_TRUE(cell_shows(platform, 4, 1, 'z'));
  EXPECT_EQ(platform.text().row(), 5);
}

TEST_F(TextTest, ControlBytesActLikeATerminal) {
  platform.fill_box(0, 0, 799, 599, kMarker);
  platform.locate(2, 3);
  platform.text().write(
      "ab\x08"
      "c");  // back one column, then c over b
  EXPECT_TRUE(row_shows(platform, 2, 3, "ac"));
  platform.locate(2, 1);
  platform.text().write(
      "\x08\x08"
      "d");  // not past column 1
  EXPECT_TRUE(cell_shows(platform, 2, 1, 'd'));
  platform.locate(3, 3);
  platform.text().write("\tT");  // blanks up to column 9
  EXPECT_TRUE(row_shows(platform, 3, 3, "      T"));
  platform.locate(4, 9);
  platform.text().write("\t");  // from a tab stop to the next one
  EXPECT_EQ(platform.text().column(), 17);
  platform.locate(5, 5);
  platform.text().write("ef\rg\nh");
  EXPECT_TRUE(row_shows(platform, 5, 1, "g"));
  EXPECT_TRUE(row_shows(platform, 5, 6, "f"));
  EXPECT_TRUE(cell_shows(platform, 6, 1, 'h'));
}

TEST_F(TextTest, BellBeepsAndPaintsNothing) {
  platform.fill_box(0, 0, 799, 599, kMarker);
  platform.print_text("\x07");
  ASSERT_EQ(host.sounds().size(), 1u);
  EXPECT_EQ(host.sounds()[0].name, "beep");
  EXPECT_EQ(platform.read_pixel(0, 0), kMarker);
}

// --- Scrolling ----------------------------------------------------------------

TEST_F(TextTest, LineEndBelowTheLastRowIsHeldBackUntilTheNextCharacter) {
  platform.fill_box(0, 592, 799, 599, kMarker);
  platform.locate(36, 1);
  platform.print_text("oben");
  platform.print_text("unten");
  EXPECT_TRUE(row_shows(platform, 36, 1, "oben"));
  EXPECT_TRUE(row_shows(platform, 37, 1, "unten"));
  EXPECT_EQ(platform.text().row(), 37);

  platform.print_text("neu");
  EXPECT_TRUE(row_shows(platform, 35, 1, "oben"));
  EXPECT_TRUE(row_shows(platform, 36, 1, "unten"));
  EXPECT_TRUE(row_shows(platform, 37, 1, "neu"));
  EXPECT_TRUE(row_shows(platform, 37, 4, "      "));  // the new row was cleared
  EXPECT_EQ(platform.read_pixel(0, 592), kMarker);    // below the text area
  EXPECT_EQ(platform.read_pixel(799, 599), kMarker);
}

TEST_F(TextTest, ScrollMovesTheWholeTextAreaAndClearsTheBottomRow) {
  platform.fill_box(0, 0, 799, 599, kMarker);
  platform.locate(1, 1);
  platform.print_text("weg");
  platform.locate(2, 1);
  platform.print_text("erste");
  platform.locate(37, 1);
  platform.print_text("letzte");
  int first = 0;
  int last = 0;
  platform.screen().take_changed_rows(first, last);
  platform.print_text("");  // an empty print still ends a line: scrolls once
  EXPECT_TRUE(row_shows(platform, 1, 1, "erste"));
  EXPECT_TRUE(row_shows(platform, 36, 1, "letzte"));
  EXPECT_EQ(platform.read_pixel(0, 576), kPaper);
  EXPECT_EQ(platform.read_pixel(799, 591), kPaper);
  EXPECT_EQ(platform.read_pixel(799, 575), kMarker);  // moved up from row 37
  ASSERT_TRUE(platform.screen().take_changed_rows(first, last));
  EXPECT_EQ(first, 0);
  EXPECT_EQ(last, 591);
}

TEST_F(TextTest, LocateCancelsAHeldLineEnd) {
  platform.locate(37, 1);
  platform.print_text("bleibt");
  platform.locate(10, 1);
  platform.print_text("x");
  EXPECT_TRUE(row_shows(platform, 37, 1, "bleibt"));
}

TEST_F(TextTest, WrapOnTheLastRowScrollsAtOnce) {
  platform.locate(37, 100);
  platform.text().write("yz");
  EXPECT_TRUE(cell_shows(platform, 36, 100, 'y'));
  EXPECT_TRUE(cell_shows(platform, 37, 1, 'z'));
}

// --- Numbers through masks ------------------------------------------------------

TEST(FormatUsing, DigitsThatFitAreRightAligned) {
  EXPECT_EQ(format_using("##", 3), " 3");
  EXPECT_EQ(format_using("##", 0), " 0");
  EXPECT_EQ(format_using("########", 0), "       0");
  EXPECT_EQ(format_using("###", 1), "  1");
  EXPECT_EQ(format_using("########", 12500), "   12500");
  EXPECT_EQ(format_using("######", 999999), "999999");
}

TEST(FormatUsing, NegativeValuesTakeOnePositionForTheSign) {
  EXPECT_EQ(format_using("###", -5), " -5");
  EXPECT_EQ(format_using("###", -55), "-55");
  EXPECT_EQ(format_using("##", -345), "-3%e+2");
  EXPECT_EQ(format_using("#", -5), "-%e+1");
}

TEST(FormatUsing, TooManyDigitsGiveTheOverflowForm) {
  EXPECT_EQ(format_using("##", 345), "34%e+1");
  EXPECT_EQ(format_using("###", 1000), "100%e+1");
  EXPECT_EQ(format_using("########", 123456789), "12345678%e+1");
  EXPECT_EQ(format_using("##", 1e20), "10%e+19");
  EXPECT_EQ(format_using("", 7), "%e+1");
}

TEST(FormatUsing, ValuesAreRoundedToWholeNumbersFirst) {
  EXPECT_EQ(format_using("###", 2.5), "  3");
  EXPECT_EQ(format_using("###", -2.5), " -3");
  EXPECT_EQ(format_using("###", 99.5), "100");
  EXPECT_EQ(format_using("###", -0.4), "  0");
  EXPECT_EQ(format_using("###", std::nan("")), "  0");
  EXPECT_EQ(format_using("###", std::numeric_limits<double>::infinity()), "  0");
}

TEST_F(TextTest, PrintUsingPaintsTheFormattedNumberAndEndsTheLine) {
  platform.locate(36, 29);
  platform.print_using("########", 0);
  EXPECT_TRUE(row_shows(platform, 36, 29, "       0"));
  EXPECT_EQ(platform.text().row(), 37);
  EXPECT_EQ(platform.text().column(), 1);
  platform.locate(1, 1);
  platform.print_using("########", 123456789);
  EXPECT_TRUE(row_shows(platform, 1, 1, "12345678%e+1"));
  platform.locate(2, 1);
  platform.print_using("##", 3);
  EXPECT_TRUE(row_shows(platform, 2, 1, " 3"));
}

}  // namespace
}  // namespace rt
