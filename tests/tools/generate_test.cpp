// The level tool's generate command: its arguments, and the levels it writes
// replayed by their scripts through the whole program.
#include "tools/level_tool/generate.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "game/rules.h"
#include "tests/support/temp_dir.h"
#include "tools/level_tool/exit_status.h"
#include "tools/sim/runner.h"

namespace rt::level_tool {
namespace {

int generate(const std::vector<std::string>& args, std::string* table = nullptr) {
  std::ostringstream out;
  std::ostringstream err;
  const int status = generate_command(args, out, err);
  if (table != nullptr) *table = out.str();
  return status;
}

TEST(GenerateCommand, BadArgumentsAreUsageErrors) {
  const std::vector<std::vector<std::string>> bad = {{},
                                                     {"--seed"},
                                                     {"--seed", "-1"},
                                                     {"--seed", "4294967296"},
                                                     {"--seed", "12-x"},
                                                     {"--seed", " 1"},
                                                     {"--seed", "1", "--count", "0"},
                                                     {"--seed", "1", "--count", "11"},
                                                     {"--seed", "1", "--colour", "red"},
                                                     {"--count", "3"}};
  for (const auto& args : bad)
    EXPECT_EQ(generate(args), kUsageStatus) << ::testing::PrintToString(args);
  EXPECT_EQ(generate({"--seed", "1", "--out", "/nonexistent/folder"}), kFileStatus);
}

// The last state line of a script played from level `k` on the levels in
// `dir`/Data.
std::string last_state(const std::filesystem::path& dir, int k,
                       const std::filesystem::path& script) {
  std::istringstream in;
  std::ostringstream out;
  std::ostringstream err;
  const int status = sim::runner_main(
      {"--dir", dir.string(), "--level", std::to_string(k), script.string()}, in, out, err);
  EXPECT_EQ(status, sim::kStoppedStatus) << err.str();
  std::istringstream lines(out.str());
  std::string state;
  for (std::string line; std::getline(lines, line);) {
    if (line.find("\"GameState\"") != std::string::npos) state = line;
  }
  return state;
}

TEST(GenerateCommand, EveryScriptWinsItsLevelThroughTheProgram) {
  for (const char* seed : {"1", "4294967295"}) {
    rt::testing::TempDir dir;
    rt::testing::TempDir again;
    const auto data = dir.path() / "Data";
    std::filesystem::create_directories(data);
    std::string table;
    ASSERT_EQ(generate({"--seed", seed, "--out", data.string()}, &table), 0);
    ASSERT_EQ(generate({"--seed", seed, "--count", "3", "--out", again.path().string()}), 0);
    EXPECT_EQ(std::count(table.begin(), table.end(), '\n'), 12) << table;
    for (int k = 1; k <= kLevelCount; ++k) {
      char name[16];
      std::snprintf(name, sizeof name, "lev%02d", k);
      const std::string base = name;
      const std::string state = last_state(dir.path(), k, data / (base + ".sim"));
      const int next = level_counter_of(k + 1);
      EXPECT_NE(state.find("\"level\": " + std::to_string(next) + ","), std::string::npos)
          << "seed " << seed << " level " << k << ": " << state;
      EXPECT_NE(state.find("\"lives\": 3,"), std::string::npos) << state;
      if (k <= 3) {
        EXPECT_EQ(dir.read("Data/" + base + ".dat"), again.read(base + ".dat")) << base;
        EXPECT_EQ(dir.read("Data/" + base + ".sim"), again.read(base + ".sim")) << base;
      }
    }
    EXPECT_FALSE(std::filesystem::exists(again.path() / "lev04.dat"));
  }
}

}  // namespace
}  // namespace rt::level_tool
