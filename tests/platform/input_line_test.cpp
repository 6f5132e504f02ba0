// The typed line input: its editing keys, cursor and shown text.
#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <thread>

#include "platform/formats/vga_font.h"
#include "platform/keyboard.h"
#include "tests/support/sim_fixture.h"

namespace rt {
namespace {

constexpr Color kInk = 0xFFFFFF38;
constexpr Color kPaper = 0x00000000;
constexpr int kLeft = extended_code(scan::kLeft);
constexpr int kRight = extended_code(scan::kRight);
constexpr int kHome = extended_code(scan::kHome);
constexpr int kEnd = extended_code(scan::kEnd);
constexpr int kUp = extended_code(scan::kUp);
constexpr int kDown = extended_code(scan::kDown);
constexpr int kDelete = extended_code(scan::kDelete);
constexpr int kBackspace = keycode::kBackspace;
constexpr int kTab = keycode::kTab;
constexpr int kEscape = keycode::kEscape;
constexpr int kEnter = keycode::kEnter;

// True when every pixel of the cell shows `ch` in the game's colours.
bool cell_shows(Platform& platform, int row, int column, unsigned char ch) {
  for (int y = 0; y < 16; ++y) {
    for (int x = 0; x < 8; ++x) {
      const bool dot = (kVgaFont[ch][static_cast<std::size_t>(y)] & (0x80 >> x)) != 0;
      if (platform.read_pixel((column - 1) * 8 + x, (row - 1) * 16 + y) != (dot ? kInk : kPaper)) {
        return false;
      }
    }
  }
  return true;
}

bool row_shows(Platform& platform, int row, int column, const std::string& text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (!cell_shows(platform, row, column + static_cast<int>(i),
                    static_cast<unsigned char>(text[i]))) {
      return false;
    }
  }
  return true;
}

// True when the cell's bottom pixel row is the 8-pixel underline.
bool underlined(Platform& platform, int row, int column) {
  for (int x = 0; x < 8; ++x) {
    if (platform.read_pixel((column - 1) * 8 + x, (row - 1) * 16 + 15) != kInk) return false;
  }
  return true;
}

class InputLineTest : public testing::SimFixture {
 protected:
  void SetUp() override {
    platform.set_screen_mode();
    platform.set_text_color(kInk, kPaper);
    host.set_time_limit(600);
  }
  // Schedules the codes 50 ms apart, from 50 ms on.
  void type(std::initializer_list<int> codes) {
    for (int code : codes) {
      next_ += 0.05;
      host.type_code(next_, code);
    }
  }
  void type_text(const std::string& text) {
    for (char ch : text) type({static_cast<unsigned char>(ch)});
  }
  // Runs the name entry as the game does and gives the name it reads.
  std::string enter(const std::string& prompt = "Namen bitte eingeben") {
    platform.locate(20, 35);
    platform.input_line(prompt);
    return platform.read_string_field();
  }
  double next_ = 0.0;
};

// --- Typing and editing -------------------------------------------------------

TEST_F(InputLineTest, TypedLettersWithAnInsertionInTheMiddle) {
  type({'H', 'a', 'n', 's', kLeft, kLeft, 'x', kEnter});
  EXPECT_EQ(enter(), "Haxns");
  EXPECT_TRUE(row_shows(platform, 20, 35, "Namen bitte eingeben? Haxns"));
  EXPECT_EQ(platform.text().row(), 21);
  EXPECT_EQ(platform.text().column(), 1);
}

TEST_F(InputLineTest, EscapeErasesTheWholeText) {
  type({'A', 'n', 'n', 'a', kLeft, kEscape, kEnter});
  EXPECT_EQ(enter(), "");
  EXPECT_TRUE(row_shows(platform, 20, 57, "     "));
  next_ = host.now();
  type({'A', 'n', 'n', 'a', kEscape, 'B', 'o', kEnter});
  EXPECT_EQ(enter(), "Bo");
  EXPECT_TRUE(row_shows(platform, 20, 57, "Bo   "));
}

TEST_F(InputLineTest, DeleteRemovesTheCharacterAtThePointAndBeepsAtTheEnd) {
  type({'a', 'b', kDelete, 'c', kHome, kDelete, kEnter});
  EXPECT_EQ(enter(), "bc");
  ASSERT_EQ(host.sounds().size(), 1u);
  EXPECT_EQ(host.sounds()[0].name, "beep");
  EXPECT_TRUE(row_shows(platform, 20, 57, "bc "));
}

TEST_F(InputLineTest, BackspaceClosesTheGapAndStopsAtTheStart) {
  type({'a', 'b', 'c', kLeft, kBackspace, kHome, kBackspace, kEnter});
  EXPECT_EQ(enter(), "ac");
  EXPECT_TRUE(row_shows(platform, 20, 57, "ac "));
  EXPECT_TRUE(host.sounds().empty());
}

TEST_F(InputLineTest, HomeEndLeftAndRightStayWithinTheText) {
  type({'b', 'c', kHome, kLeft, 'a', kEnd, kRight, 'd', kEnter});
  EXPECT_EQ(enter(), "abcd");
}

TEST_F(InputLineTest, TabFillsUpToTheNextMultipleOfEight) {
  type({'a', 'b', kTab, 'c', kHome, kRight, kTab, kEnter});
  EXPECT_EQ(enter(), "a       b      c");
  // At the start a tab inserts a full eight blanks (the field read then
  // skips them as leading blanks).
  next_ = host.now();
  type({'x', kHome, kTab, kEnter});
  EXPECT_EQ(enter(), "x");
  EXPECT_TRUE(row_shows(platform, 20, 57, "        x"));
}

// A line with a length limit takes no key that would make it longer:
// characters and tabs are ignored, editing goes on.
TEST_F(InputLineTest, ALimitedLineRefusesWhatWouldMakeItLonger) {
  platform.locate(20, 35);
  type_text("abcdefghijklmnopqrstuvwxyz");
  type({kTab, kHome, kDelete, 'Z', kEnter});
  platform.input_line("Namen bitte eingeben", 17);
  EXPECT_EQ(platform.read_string_field(), "Zbcdefghijklmnopq");
  EXPECT_TRUE(row_shows(platform, 20, 57, "Zbcdefghijklmnopq "));

  next_ = host.now();
  platform.locate(20, 35);
  type({'a', 'b', kTab, kEnter});  // a tab that would pass the limit
  platform.input_line("Namen bitte eingeben", 7);
  EXPECT_EQ(platform.read_string_field(), "ab");
}

TEST_F(InputLineTest, UpAndDownMoveByARowOnlyWhereTheTextReaches) {
  type({kUp, kDown});
  type_text(std::string(105, '.'));
  type({kDown, 'E', kUp, 'U', kDown, 'D', kEnter});
  // Down at the end and Up from 106 to 6; Down from 7 reaches 107.
  std::string want(105, '.');
  want.insert(105, "E");
  want.insert(6, "U");
  want.insert(107, "D");
  EXPECT_EQ(enter(), want);
}

TEST_F(InputLineTest, LineFeedAlsoFinishesAndOtherKeysAreIgnored) {
  type({'a', 1, 7, 31, extended_code(59), extended_code(0x6B), extended_code(82), 'b', 10});
  EXPECT_EQ(enter(), "ab");
  EXPECT_TRUE(host.sounds().empty());
}

TEST_F(InputLineTest, CharactersAboveAsciiAreTakenAsTyped) {
  type({0x84, 0x94, 0xE1, 255, kEnter});
  EXPECT_EQ(enter(), "\x84\x94\xE1\xFF");
  EXPECT_TRUE(cell_shows(platform, 20, 57, 0x84));
}

TEST_F(InputLineTest, TheTypedLineFeedsTheFieldReads) {
  type_text("Anna,Bo");
  type({kEnter});
  EXPECT_EQ(enter(), "Anna");
  EXPECT_EQ(platform.read_string_field(), "Bo");
  EXPECT_EQ(platform.read_string_field(), "");
}

// --- What the screen shows while typing -------------------------------------------

TEST_F(InputLineTest, UnderlineMarksTheInsertionPoint) {
  bool at_start = false;
  bool after_h = false;
  bool moved_back = false;
  bool old_cell_clean = false;
  host.at(0.01, [&] { at_start = underlined(platform, 20, 57); });
  type({'H'});
  host.at(0.07, [&] { after_h = underlined(platform, 20, 58) && !underlined(platform, 20, 57); });
  type({kLeft});
  host.at(0.12, [&] {
    moved_back = underlined(platform, 20, 57);
    old_cell_clean = cell_shows(platform, 20, 58, ' ');
  });
  type({kEnter});
  enter();
  EXPECT_TRUE(at_start);
  EXPECT_TRUE(after_h);
  EXPECT_TRUE(moved_back);
  EXPECT_TRUE(old_cell_clean);
  EXPECT_TRUE(cell_shows(platform, 20, 57, 'H'));  // no underline left behind
}

TEST_F(InputLineTest, KeysArePolledEveryTwentyFiveMilliseconds) {
  host.type_code(0.101, 'a');
  host.type_code(0.2, kEnter);
  bool echoed_early = true;
  bool echoed_at_check = false;
  host.at(0.124, [&] { echoed_early = cell_shows(platform, 20, 57, 'a'); });
  host.at(0.126, [&] { echoed_at_check = cell_shows(platform, 20, 57, 'a'); });
  enter();
  // The key of 101 ms is taken at the poll of 125 ms, Enter at once at 200.
  EXPECT_FALSE(echoed_early);
  EXPECT_TRUE(echoed_at_check);
  EXPECT_NEAR(host.now(), 0.2, 1e-9);
}

TEST_F(InputLineTest, TheLockIsFreeWhileWaiting) {
  bool free_while_waiting = false;
  host.at(0.03, [&] {
    std::thread other([&] {
      free_while_waiting = platform.lock().try_lock();
      if (free_while_waiting) platform.lock().unlock();
    });
    other.join();
  });
  type({kEnter});
  enter();
  EXPECT_TRUE(free_while_waiting);
}

TEST_F(InputLineTest, LongTextWrapsPastColumnHundred) {
  platform.locate(1, 95);
  type_text("abcdef");
  type({kHome, kDelete, kEnter});
  platform.input_line("");
  EXPECT_EQ(platform.read_string_field(), "bcdef");
  EXPECT_TRUE(row_shows(platform, 1, 95, "? bcde"));
  EXPECT_TRUE(row_shows(platform, 2, 1, "f "));
  EXPECT_EQ(platform.text().row(), 3);
}

TEST_F(InputLineTest, TextReachingBelowTheLastRowScrollsTheScreen) {
  platform.locate(36, 1);
  platform.print_text("oben");
  platform.locate(37, 90);
  type_text("abcdefghij");
  type({kEnter});
  platform.input_line("");
  EXPECT_EQ(platform.read_string_field(), "abcdefghij");
  // "? " at 90, typing from 92: behind the ninth letter, in column 100, the
  // insertion point would leave the grid, so the screen moves up a row.
  EXPECT_TRUE(row_shows(platform, 35, 1, "oben"));
  EXPECT_TRUE(row_shows(platform, 36, 90, "? abcdefghi"));
  EXPECT_TRUE(row_shows(platform, 37, 1, "j "));
  EXPECT_EQ(platform.text().row(), 37);
}

}  // namespace
}  // namespace rt
