// The level tool's solve command on small levels of its own: the plan it
// prints and records, a level that cannot be saved, and bad input.
#include "tools/level_tool/solve.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "game/level_file.h"
#include "game/rules.h"
#include "levels/level_text.h"
#include "tests/support/temp_dir.h"
#include "tools/level_tool/exit_status.h"

namespace rt::level_tool {
namespace {

// A small level drawn as text, in the file form.
std::string level_text(const std::vector<std::string>& rows) {
  return level_file_text(rt::level_from_text(rows));
}

struct Solved {
  int status;
  std::string out;
  std::string err;
};

Solved solve(const std::vector<std::string>& args) {
  std::ostringstream out;
  std::ostringstream err;
  const int status = solve_command(args, out, err);
  return {status, out.str(), err.str()};
}

TEST(SolveCommand, PrintsAndRecordsThePlan) {
  rt::testing::TempDir dir;
  dir.write("gap.dat", level_text({"--o-S", "TT-"}));
  const std::string file = (dir.path() / "gap.dat").string();
  const std::string script = (dir.path() / "gap.sim").string();
  const Solved run = solve({file, "--level", "1", "--script", script});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.out.find("1 slides at 4.00 seconds per step (26 polls per step)"),
            std::string::npos)
      << run.out;
  EXPECT_NE(run.out.find("1. Up    after step 1, at the latest after step 1"), std::string::npos)
      << run.out;
  EXPECT_NE(run.out.find("steps to the station: 3"), std::string::npos) << run.out;
  EXPECT_EQ(dir.read("gap.sim").rfind("# Plays level 1 (rangiertrubel-sim --level 1)", 0), 0u);
  EXPECT_NE(dir.read("gap.sim").find("press Up"), std::string::npos);
}

TEST(SolveCommand, NoPlanAndBadInputHaveTheirStatuses) {
  rt::testing::TempDir dir;
  dir.write("stuck.dat", level_text({"-oS"}));
  const std::string stuck = (dir.path() / "stuck.dat").string();
  const Solved none = solve({stuck, "--interval", "2.5"});
  EXPECT_EQ(none.status, kFaultsStatus);
  EXPECT_NE(none.out.find("no plan: the locomotive cannot be saved at 2.50 seconds per step"),
            std::string::npos)
      << none.out;
  for (const std::vector<std::string>& bad : {std::vector<std::string>{},
                                              {stuck, "--level", "0"},
                                              {stuck, "--level", "2.5"},
                                              {stuck, "--interval", "0"},
                                              {stuck, "--level", "1", "--interval", "1"},
                                              {stuck, "--interval", "1", "--script", "x.sim"},
                                              {stuck, "--colour"}}) {
    EXPECT_EQ(solve(bad).status, kUsageStatus) << ::testing::PrintToString(bad);
  }
  EXPECT_EQ(solve({(dir.path() / "missing.dat").string()}).status, kFileStatus);
}

}  // namespace
}  // namespace rt::level_tool
