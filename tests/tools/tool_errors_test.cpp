// The tools' answers to folders, huge files, missing folders and output that
// cannot be written: one line on standard error and the documented status.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "tests/support/sim_fixture.h"

namespace rt::testing {
namespace {

namespace fs = std::filesystem;

struct ToolRun {
  int status = -1;
  std::string err;
};

class ToolErrors : public ::testing::Test {
 protected:
  // Runs a shell command line with the tools' folder first on the path;
  // standard error is caught.
  ToolRun run(const std::string& command) {
    const std::string bin = std::string(RT_TEST_BINARY_DIR) + "/bin";
    const std::string line =
        "PATH='" + bin + "':\"$PATH\"; " + command + " 2>'" + (dir.path() / "err").string() + "'";
    const int raw = std::system(line.c_str());
    ToolRun r;
    r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    r.err = dir.read("err");
    return r;
  }
  static bool one_line(const std::string& text) {
    return !text.empty() && text.find('\n') == text.size() - 1;
  }

  TempDir dir;
};

TEST_F(ToolErrors, TheRunnerRefusesFoldersAndMissingFoldersWithStatus2) {
  ToolRun r = run("rangiertrubel-sim '" + dir.path().string() + "'");
  EXPECT_EQ(r.status, 2);
  EXPECT_TRUE(one_line(r.err)) << r.err;
  r = run("echo '0 end' | rangiertrubel-sim --dir '" + (dir.path() / "nowhere").string() + "' -");
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("nowhere"), std::string::npos) << r.err;
}

TEST_F(ToolErrors, TheRunnerSaysWhenItsOutputCannotBeWritten) {
  const std::string script =
      "echo '0 state\n1 end' | rangiertrubel-sim --dir '" + dir.path().string() + "' - ";
  ToolRun r = run(script + ">/dev/full");
  EXPECT_EQ(r.status, 4);
  EXPECT_NE(r.err.find("cannot write"), std::string::npos) << r.err;
  r = run(script + ">&-");
  EXPECT_EQ(r.status, 4);
  // Help and version too: written, or a failure when they cannot be.
  EXPECT_EQ(run("rangiertrubel-sim --help >/dev/null").status, 0);
  EXPECT_EQ(run("rangiertrubel-sim --version >/dev/full").status, 4);
  EXPECT_EQ(run("rangiertrubel-levels --version >/dev/null").status, 0);
  r = run("rangiertrubel-levels --help >/dev/full");
  EXPECT_EQ(r.status, 3);
  EXPECT_TRUE(one_line(r.err)) << r.err;
}

TEST_F(ToolErrors, TheLevelToolRefusesFoldersAndHugeFilesWithStatus3) {
  ToolRun r = run("rangiertrubel-levels check '" + dir.path().string() + "' >/dev/null");
  EXPECT_EQ(r.status, 3);
  EXPECT_TRUE(one_line(r.err)) << r.err;
  r = run("rangiertrubel-levels show '" + dir.path().string() + "' >/dev/null");
  EXPECT_EQ(r.status, 3);
  EXPECT_TRUE(one_line(r.err)) << r.err;

  dir.write("huge.dat", "");
  fs::resize_file(dir.path() / "huge.dat", std::uintmax_t{4} << 30);  // sparse
  const auto start = std::chrono::steady_clock::now();
  r = run("rangiertrubel-levels check '" + (dir.path() / "huge.dat").string() + "' >/dev/null");
  EXPECT_EQ(r.status, 3);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
}

TEST_F(ToolErrors, TheLevelToolSaysWhenItCannotWrite) {
  const std::string level = std::string(RT_TEST_SOURCE_DIR) + "/data/levels/lev01.dat";
  ToolRun r = run("rangiertrubel-levels check '" + level + "' >/dev/full");
  EXPECT_EQ(r.status, 3);
  EXPECT_NE(r.err.find("cannot write"), std::string::npos) << r.err;

  // Recording into a place that is not a folder, and into a folder where a
  // script's name is taken by a folder.
  dir.write("plans.txt", "lev01: Up\n");
  const std::string data = std::string(RT_TEST_BINARY_DIR) + "/bin";
  r = run("rangiertrubel-levels record '" + data + "' '" + (dir.path() / "plans.txt").string() +
          "' '" + (dir.path() / "plans.txt").string() + "' >/dev/null");
  EXPECT_EQ(r.status, 3);
  EXPECT_TRUE(one_line(r.err)) << r.err;
  fs::create_directories(dir.path() / "out" / "all-levels.sim");
  r = run("rangiertrubel-levels record '" + data + "' '" + (dir.path() / "plans.txt").string() +
          "' '" + (dir.path() / "out").string() + "' >/dev/null");
  EXPECT_EQ(r.status, 3) << r.err;
  EXPECT_NE(r.err.find("all-levels.sim"), std::string::npos) << r.err;
}

TEST_F(ToolErrors, TheSoakRefusesAMissingLevelFolderAndSaysWhenItCannotWrite) {
  ToolRun r = run("rangiertrubel-soak --seed 1 --minutes 0.1 --source '" +
                  (dir.path() / "nowhere").string() + "' >/dev/null");
  EXPECT_EQ(r.status, 2);
  EXPECT_TRUE(one_line(r.err)) << r.err;
  r = run("rangiertrubel-soak --seed 1 --minutes 0.1 --dir '" + (dir.path() / "work").string() +
          "' >/dev/full");
  EXPECT_EQ(r.status, 3);
  EXPECT_NE(r.err.find("cannot write"), std::string::npos) << r.err;
}

}  // namespace
}  // namespace rt::testing
