// The shipped levels: their check, and their solutions played by the runner.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "levels/level_check.h"
#include "tests/support/sim_fixture.h"
#include "tools/sim/runner.h"

namespace rt {
namespace {

namespace fs = std::filesystem;

fs::path source_dir() {
  const char* dir = std::getenv("RT_SOURCE_DIR");
  return dir != nullptr ? fs::path(dir) : fs::path(RT_TEST_SOURCE_DIR);
}

std::string read_all(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(ShippedLevels, AllTenPassTheCheck) {
  for (int k = 1; k <= 10; ++k) {
    char name[32];
    std::snprintf(name, sizeof name, "lev%02d.dat", k);
    const std::string text = read_all(source_dir() / "data" / "levels" / name);
    ASSERT_FALSE(text.empty()) << name;
    std::vector<LevelProblem> problems;
    const Level level = read_level(text, problems);
    for (const auto& p : check_level(level)) problems.push_back(p);
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
