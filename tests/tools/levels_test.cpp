// The level tool's checks, and the shipped levels with their solutions.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "levels/level_check.h"
#include "levels/level_text.h"
#include "tests/support/sim_fixture.h"
#include "tools/sim/runner.h"

namespace rt {
namespace {

using Problem = LevelProblem;

namespace fs = std::filesystem;

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

// --- The shipped levels ----------------------------------------------------

fs::path source_dir() {
  const char* dir = std::getenv("RT_SOURCE_DIR");
  return dir != nullptr ? fs::path(dir) : fs::path(RT_TEST_SOURCE_DIR);
}

std::string read_all(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
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

TEST(ShippedLevels, AllTenPassTheCheck) {
  for (int k = 1; k <= 10; ++k) {
    char name[32];
    std::snprintf(name, sizeof name, "lev%02d.dat", k);
    const std::string text = read_all(source_dir() / "data" / "levels" / name);
    ASSERT_FALSE(text.empty()) << name;
    const auto problems = problems_of(text);
    for (const auto& p : problems) ADD_FAILURE() << name << ": " << p.message;
  }
}

// Plays a script with the shipped levels, the game started at level
// `start`, and gives the last state.
std::string last_state_of_text(const std::string& text, int start = 1) {
  rt::testing::TempDir dir;
  dir.write("script.sim", text);
  fs::create_directories(dir.path() / "Data");
  for (const auto& entry : fs::directory_iterator(source_dir() / "data" / "levels")) {
    fs::copy_file(entry.path(), dir.path() / "Data" / entry.path().filename());
  }
  std::istringstream in;
  std::ostringstream out, err;
  const int status = sim::runner_main({"--dir", dir.path().string(), "--level",
                                       std::to_string(start), (dir.path() / "script.sim").string()},
                                      in, out, err);
  EXPECT_EQ(status, sim::kStoppedStatus) << err.str();
  std::istringstream lines(out.str());
  std::string line, state;
  while (std::getline(lines, line)) {
    if (line.find("\"GameState\"") != std::string::npos) state = line;
  }
  return state;
}

// Replays a recorded solution.
std::string last_state(const std::string& script) {
  return last_state_of_text(read_all(source_dir() / "data" / "solutions" / script));
}

// A recorded solution played by taps alone: the menu's first item, a tap
// anywhere for each level's wait, and for each slide a tap on the piece that
// the arrow would move, found from where the level file puts the hole.
std::string by_taps(const std::string& script) {
  std::istringstream lines(read_all(source_dir() / "data" / "solutions" / script));
  std::string out;
  int level = 0;
  int cursor_x = 0;
  int cursor_y = 0;
  for (std::string line; std::getline(lines, line);) {
    std::istringstream words(line);
    std::string time, verb, key;
    words >> time >> verb >> key;
    if (verb == "tap" && key == "Enter") {
      out += time + " click 340 470\n";
    } else if (verb == "tap") {
      char name[32];
      std::snprintf(name, sizeof name, "lev%02d.dat", ++level);
      std::string fields = read_all(source_dir() / "data" / "levels" / name);
      for (char& c : fields) c = c == ',' ? ' ' : c;
      std::istringstream numbers(fields);
      std::vector<int> values;
      for (int v = 0; numbers >> v;) values.push_back(v);
      EXPECT_EQ(values.size(), 282u) << name;
      cursor_x = values.size() == 282 ? values[280] : 0;
      cursor_y = values.size() == 282 ? values[281] : 0;
      out += time + " click 400 300\n";
    } else if (verb == "press") {
      // The piece that moves stands on the side the arrow comes from, and
      // the hole takes its place.
      if (key == "Up") ++cursor_y;
      if (key == "Down") --cursor_y;
      if (key == "Left") ++cursor_x;
      if (key == "Right") --cursor_x;
      out += time + " click " + std::to_string((cursor_x - 1) * 40 + 20) + " " +
             std::to_string((cursor_y - 1) * 40 + 20) + "\n";
    } else if (verb != "release") {
      out += line + "\n";
    }
  }
  return out;
}

TEST(ShippedLevels, TheFirstThreeAreWonByTapsAlone) {
  const std::string taps = by_taps("level03.sim");
  ASSERT_EQ(taps.find("press"), std::string::npos);
  const std::string state = last_state_of_text(taps);
  EXPECT_NE(state.find("\"level\": 4,"), std::string::npos) << state;
  EXPECT_NE(state.find("\"lives\": 3,"), std::string::npos) << state;
}

class Solution : public ::testing::TestWithParam<int> {};

// Both solutions of each level win it: the hand plan, played from level 1,
// and the solver's fewest slides, played from the level itself.
TEST_P(Solution, WinsItsLevelWithThreeLocomotivesLeft) {
  const int k = GetParam();
  char script[32];
  std::snprintf(script, sizeof script, "level%02d.sim", k);
  const int next = k == 10 ? 1 : k + 1;
  const std::string hand = last_state(script);
  const std::string solver =
      last_state_of_text(read_all(source_dir() / "data" / "solutions" / "solver" / script), k);
  for (const std::string& state : {hand, solver}) {
    EXPECT_NE(state.find("\"level\": " + std::to_string(next) + ","), std::string::npos) << state;
    EXPECT_NE(state.find("\"lives\": 3,"), std::string::npos) << state;
  }
}

INSTANTIATE_TEST_SUITE_P(ShippedLevels, Solution, ::testing::Range(1, 11));

TEST(ShippedLevels, TheWholeCycleWrapsToLevelOne) {
  const std::string state = last_state("all-levels.sim");
  EXPECT_NE(state.find("\"level\": 1,"), std::string::npos) << state;
  EXPECT_NE(state.find("\"lives\": 3,"), std::string::npos) << state;
  // Ten levels won: the interval is the speed-up key's 0.3 s, never less.
  EXPECT_NE(state.find("\"step_interval\": 0.30000001192092896,"), std::string::npos) << state;
}

}  // namespace
}  // namespace rt
