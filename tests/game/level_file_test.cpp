// Loading level files into the board.

#include "game/level_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <limits>

#include "platform/os/bounded_read.h"
#include "tests/support/game_fixture.h"

namespace rt::testing {
namespace {

class LevelFileTest : public GameFixture {
 protected:
  // A level whose every cell is different, so that any mix-up of columns,
  // rows or order shows.
  static LevelCells numbered_level() {
    LevelCells level;
    for (int x = 1; x <= 20; ++x) {
      for (int y = 1; y <= 14; ++y) level.at(x, y) = x * 100 + y;
    }
    level.cursor_x = 7;
    level.cursor_y = 9;
    return level;
  }

  void expect_board(const LevelCells& expected) {
    LevelCells copy = expected;
    for (int x = 1; x <= 20; ++x) {
      for (int y = 1; y <= 14; ++y) {
        ASSERT_EQ(game.board.get(x, y), copy.at(x, y)) << "cell " << x << "," << y;
      }
    }
    // The border is never written.
    for (int x = 0; x <= 20; ++x) EXPECT_EQ(game.board.get(x, 0), 0);
    for (int y = 0; y <= 14; ++y) EXPECT_EQ(game.board.get(0, y), 0);
  }
};

TEST_F(LevelFileTest, EveryLineLayoutLoadsTheSameBoard) {
  const LevelCells level = numbered_level();
  for (Layout layout : {Layout::OnePerLine, Layout::ColumnPerLineCommas, Layout::Blanks}) {
    SCOPED_TRACE(static_cast<int>(layout));
    write_level(3, level, layout);
    game.level = 3;
    game.loco_x = 9;
    game.loco_y = 4;
    game.load_level();
    expect_board(level);
    EXPECT_EQ(game.cursor_x, 7);
    EXPECT_EQ(game.cursor_y, 9);
    EXPECT_EQ(game.loco_x, 1);
    EXPECT_EQ(game.loco_y, 1);
    EXPECT_EQ(game.level, 3);
  }
}

TEST_F(LevelFileTest, TheFileIsClosedAfterLoadingAndNumberOneIsFreeAgain) {
  write_level(1, numbered_level());
  game.level = 1;
  game.load_level();
  EXPECT_EQ(platform.close_file(1), 1);  // not open any more
  EXPECT_EQ(platform.open_file("Data\\lev01.dat", FileMode::Input, 1), 0);
  platform.close_file(1);
}

TEST_F(LevelFileTest, ReloadingUndoesEverySlide) {
  LevelCells level = numbered_level();
  level.at(7, 10) = tile::kGruen;
  level.at(7, 9) = tile::kSchwarz;
  write_level(2, level);
  game.level = 2;
  game.load_level();
  game.slide_up();
  ASSERT_EQ(game.cursor_y, 10);
  game.load_level();
  expect_board(level);
  EXPECT_EQ(game.cursor_y, 9);
}

TEST_F(LevelFileTest, LevelElevenWrapsToTheFirstFile) {
  LevelCells first = numbered_level();
  first.at(1, 1) = 4242;
  write_level(1, first);
  write_level(10, numbered_level());
  game.level = 11;
  game.load_level();
  EXPECT_EQ(game.level, 1);
  EXPECT_EQ(game.board.get(1, 1), 4242);
  game.level = 10;
  game.load_level();
  EXPECT_EQ(game.level, 10);
  EXPECT_EQ(game.board.get(1, 1), 101);
}

TEST_F(LevelFileTest, ALevelCounterBelowOneLoadsTheFirstFile) {
  LevelCells first = numbered_level();
  first.at(1, 1) = 77;
  write_level(1, first);
  for (int bad : {0, -3, std::numeric_limits<std::int32_t>::min()}) {
    game.level = bad;
    game.load_level();
    EXPECT_EQ(game.level, 1);
    EXPECT_EQ(game.board.get(1, 1), 77);
  }
}

TEST_F(LevelFileTest, UnknownCodesAreKeptAsTheyStand) {
  LevelCells level = numbered_level();
  level.at(4, 5) = 99;
  level.at(4, 6) = -7;
  level.at(4, 7) = 5;
  write_level(1, level);
  game.level = 1;
  game.load_level();
  EXPECT_EQ(game.board.get(4, 5), 99);
  EXPECT_EQ(game.board.get(4, 6), -7);
  EXPECT_EQ(game.board.get(4, 7), 5);
}

TEST_F(LevelFileTest, AShortFileLeavesHolesAndTheHoleInTheCorner) {
  // Three columns only, nothing else.
  std::string text;
  for (int i = 0; i < 42; ++i) text += "1\n";
  dir.write("Data/lev01.dat", text);
  game.board.set(10, 10, 21);
  game.level = 1;
  game.load_level();
  EXPECT_EQ(game.board.get(3, 14), 1);
  EXPECT_EQ(game.board.get(4, 1), 0);
  EXPECT_EQ(game.board.get(10, 10), 0);
  EXPECT_EQ(game.board.get(20, 14), 0);
  // The missing hole position (0, 0) is limited to the first cell.
  EXPECT_EQ(game.cursor_x, 1);
  EXPECT_EQ(game.cursor_y, 1);
}

TEST_F(LevelFileTest, AMissingFileGivesAnEmptyField) {
  game.board.set(5, 5, 20);
  game.level = 4;
  game.load_level();
  for (int x = 1; x <= 20; ++x) {
    for (int y = 1; y <= 14; ++y) ASSERT_EQ(game.board.get(x, y), 0);
  }
  EXPECT_EQ(game.cursor_x, 1);
  EXPECT_EQ(game.cursor_y, 1);
  EXPECT_EQ(game.loco_x, 1);
  // The player learns which file is missing, once however often it is tried.
  game.load_level();
  game.level = 5;
  game.load_level();
  ASSERT_EQ(host.reports().size(), 2u);
  EXPECT_NE(host.reports()[0].find("lev04.dat\" fehlt"), std::string::npos) << host.reports()[0];
  EXPECT_NE(host.reports()[1].find("lev05.dat"), std::string::npos);
}

// Named pipes and /dev/zero are POSIX things; Windows has neither in a folder.
#ifndef _WIN32
// A folder, a named pipe, an endless device and a huge file in a level
// file's place: each is a missing level, at once, reported once.
TEST_F(LevelFileTest, AFileThatIsNoLevelCountsAsMissing) {
  const std::filesystem::path data = dir.path() / "Data";
  std::filesystem::create_directories(data / "lev01.dat");
  ASSERT_EQ(::mkfifo((data / "lev02.dat").c_str(), 0644), 0);
  std::filesystem::create_symlink("/dev/zero", data / "lev03.dat");
  dir.write("Data/lev04.dat", "");
  std::filesystem::resize_file(data / "lev04.dat", std::uintmax_t{1} << 30);  // sparse
  for (int level = 1; level <= 4; ++level) {
    game.board.set(5, 5, 20);
    game.level = level;
    game.load_level();
    game.load_level();
    EXPECT_EQ(game.board.get(5, 5), 0) << level;
    EXPECT_EQ(game.cursor_x, 1) << level;
  }
  ASSERT_EQ(host.reports().size(), 4u);
  EXPECT_NE(host.reports()[3].find("zu gross"), std::string::npos) << host.reports()[3];
}
#endif

TEST_F(LevelFileTest, AHoleOutsideTheFieldIsLimitedToTheNearestCell) {
  struct Case {
    int x, y, want_x, want_y;
  };
  for (const Case c :
       {Case{25, -3, 20, 1}, Case{0, 15, 1, 14}, Case{-2147483647, 2147483647, 1, 14},
        Case{21, 7, 20, 7}, Case{20, 14, 20, 14}}) {
    LevelCells level = numbered_level();
    level.cursor_x = c.x;
    level.cursor_y = c.y;
    write_level(1, level);
    game.level = 1;
    game.load_level();
    EXPECT_EQ(game.cursor_x, c.want_x) << c.x;
    EXPECT_EQ(game.cursor_y, c.want_y) << c.y;
  }
}

TEST_F(LevelFileTest, SlidesNeverReachPastTheBoardFromALimitedHole) {
  LevelCells level = numbered_level();
  level.cursor_x = 40;
  level.cursor_y = 30;
  write_level(1, level);
  game.level = 1;
  game.load_level();
  // The hole is on (20, 14); Up and Left stop at the edges.
  game.slide_up();
  game.slide_left();
  EXPECT_EQ(game.cursor_x, 20);
  EXPECT_EQ(game.cursor_y, 14);
  EXPECT_TRUE(host.sounds().empty());
}

TEST(LevelFileText, WritesTheShippedFilesByteForByte) {
  for (const char* name : kLevelNames) {
    const auto path = std::filesystem::path(RT_TEST_SOURCE_DIR) / "data" / "levels" /
                      (std::string(name) + ".dat");
    const FileBytes file = read_bounded_file(path.string(), kMaxTextFileBytes);
    ASSERT_TRUE(file.ok()) << path;
    EXPECT_EQ(level_file_text(read_level(file.bytes)), file.bytes) << name;
  }
}

}  // namespace
}  // namespace rt::testing
