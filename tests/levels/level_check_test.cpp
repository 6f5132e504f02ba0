// The rules a level kept for play keeps, its drive with no slide, and its
// text form.
#include "levels/level_check.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "game/level_file.h"
#include "levels/level_text.h"

namespace rt {
namespace {

using Problem = LevelProblem;

// A level in the shipped form: one column of 14 cells per line, then the hole.
// Every cell grass but a short straight track from the start, the hole at
// (20, 14) and the station at (10, 5).
struct Sketch {
  int cells[21][15] = {};
  int cursor_x = 20;
  int cursor_y = 14;
  Sketch() {
    for (int x = 1; x <= 20; ++x)
      for (int y = 1; y <= 14; ++y) cells[x][y] = 1;
    cells[1][1] = 10;
    cells[2][1] = 10;
    cells[3][1] = 10;
    cells[10][5] = 30;
    cells[20][14] = 0;
  }
  std::string text(const char* separator = ",") const {
    std::ostringstream out;
    for (int x = 1; x <= 20; ++x) {
      for (int y = 1; y <= 14; ++y) out << cells[x][y] << (y < 14 ? separator : "\n");
    }
    out << cursor_x << "," << cursor_y << "\n";
    return out.str();
  }
};

std::vector<Problem> problems_of(const std::string& text) {
  std::vector<Problem> problems;
  const Level level = read_level(text, problems);
  for (auto& p : check_level(level)) problems.push_back(p);
  return problems;
}

bool mentions(const std::vector<Problem>& problems, const std::string& words, int column = -1,
              int row = -1) {
  for (const auto& p : problems) {
    if (p.message.find(words) != std::string::npos && (column < 0 || p.column == column) &&
        (row < 0 || p.row == row))
      return true;
  }
  return false;
}

TEST(LevelCheck, AcceptsAPlainLevelInAnyFieldLayout) {
  Sketch s;
  EXPECT_TRUE(problems_of(s.text()).empty());
  // One field per line reads the same board as the game reads it.
  std::vector<Problem> a, b;
  const Level by_column = read_level(s.text(), a);
  const Level one_per_line = read_level(s.text("\n"), b);
  for (int x = 1; x <= 20; ++x)
    for (int y = 1; y <= 14; ++y)
      EXPECT_EQ(by_column.board.get(x, y), one_per_line.board.get(x, y));
  EXPECT_EQ(one_per_line.cursor_x, 20);
  EXPECT_EQ(one_per_line.cursor_y, 14);
}

TEST(LevelCheck, NamesTheCellOfEachFault) {
  Sketch s;
  s.cells[7][3] = 17;   // a code the game cannot draw
  s.cells[4][9] = 0;    // a second hole
  s.cells[12][2] = 30;  // a second station
  const auto problems = problems_of(s.text());
  EXPECT_TRUE(mentions(problems, "unknown code 17", 7, 3));
  EXPECT_TRUE(mentions(problems, "hole", 4, 9));
  EXPECT_TRUE(mentions(problems, "2 stations"));
}

TEST(LevelCheck, StartPiecesMustCarryTheLocomotiveRight) {
  Sketch s;
  s.cells[1][1] = 1;   // grass under the locomotive
  s.cells[2][1] = 11;  // a vertical rail does not take it from the left
  const auto problems = problems_of(s.text());
  EXPECT_TRUE(mentions(problems, "no track", 1, 1));
  EXPECT_TRUE(mentions(problems, "from the left", 2, 1));

  Sketch curve;
  curve.cells[2][1] = 14;  // a curve down is fine
  curve.cells[2][2] = 11;
  EXPECT_FALSE(mentions(problems_of(curve.text()), "from the left"));
}

TEST(LevelCheck, HolePositionMustMatchTheEmptyCell) {
  Sketch s;
  s.cursor_x = 19;  // the file points at grass
  auto problems = problems_of(s.text());
  EXPECT_TRUE(mentions(problems, "not 0", 19, 14));
  EXPECT_TRUE(mentions(problems, "not the hole's position", 20, 14));

  Sketch outside;
  outside.cursor_y = 15;
  EXPECT_TRUE(mentions(problems_of(outside.text()), "outside the field"));
}

TEST(LevelCheck, ShortOrMalformedFilesAreReported) {
  Sketch s;
  std::string text = s.text();
  EXPECT_TRUE(mentions(problems_of(text.substr(0, text.size() / 2)), "fields"));
  text.replace(text.find("10"), 2, "1x");
  EXPECT_TRUE(mentions(problems_of(text), "not a whole number", 1, 1));
}

TEST(LevelCheck, ALevelWonWithoutSlidingIsRejected) {
  Sketch s;
  s.cells[3][2] = 30;  // the station right below the track's third cell
  s.cells[10][5] = 1;
  EXPECT_TRUE(mentions(problems_of(s.text()), "without a single slide"));
  std::vector<Problem> unused;
  const Drive drive = drive_unslid(read_level(s.text(), unused).board);
  EXPECT_TRUE(drive.reaches_station);
}

TEST(LevelCheck, DriveFollowsCurvesAndStopsAtTheFirstGap) {
  Sketch s;
  s.cells[3][1] = 14;  // down at column 3
  s.cells[3][2] = 11;
  s.cells[3][3] = 13;  // then right
  s.cells[4][3] = 10;
  std::vector<Problem> unused;
  const Drive drive = drive_unslid(read_level(s.text(), unused).board);
  EXPECT_FALSE(drive.reaches_station);
  EXPECT_EQ(drive.steps, 5);
  EXPECT_EQ(drive.x, 4);
  EXPECT_EQ(drive.y, 3);
}

TEST(LevelText, ReadsBackWhatItWritesAndMarksUnknownCodes) {
  Level level = level_from_text({"--7.", ".T|H", "o.LS"});
  EXPECT_EQ(level.cursor_x, 1);
  EXPECT_EQ(level.cursor_y, 3);
  const std::string text = level_text(level);
  EXPECT_EQ(text.substr(0, 42), "--7.TTTTTTTTTTTTTTTT\n.T|HTTTTTTTTTTTTTTTT\n");
  std::vector<std::string> rows;
  std::istringstream lines(text);
  for (std::string row; std::getline(lines, row);) rows.push_back(row);
  const Level back = level_from_text(rows);
  EXPECT_EQ(back.board, level.board);
  EXPECT_EQ(back.cursor_x, level.cursor_x);
  EXPECT_EQ(back.cursor_y, level.cursor_y);
  level.board.set(2, 2, 99);
  EXPECT_EQ(level_text(level)[21 + 1], '?');
}
}  // namespace
}  // namespace rt
