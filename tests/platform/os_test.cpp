// The operating system services, on whichever system the tests run.
#include "platform/os.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "support/sim_fixture.h"

namespace rt {
namespace {

namespace fs = std::filesystem;

std::string read_all(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(OsTest, ProgramFileIsTheRunningTestProgram) {
  const auto file = os::program_file();
  ASSERT_TRUE(file.has_value());
  EXPECT_TRUE(file->is_absolute()) << file->string();
  EXPECT_TRUE(fs::is_regular_file(*file)) << file->string();
  EXPECT_EQ(file->stem(), "platform_tests");
}

// A player's folder may have any name: the replace works on wide paths.
TEST(OsTest, ReplaceFileInAFolderWithUmlautsAndBlanks) {
  testing::TempDir dir;
  const fs::path folder = dir.path() / fs::path(u8"Spiele für Jürgen");
  fs::create_directories(folder);
  const fs::path target = folder / "High.dat";
  ASSERT_TRUE(os::replace_file(target, "\"A\"\r\n5\r\n"));
  EXPECT_EQ(read_all(target), "\"A\"\r\n5\r\n");
  ASSERT_TRUE(os::replace_file(target, "new"));
  EXPECT_EQ(read_all(target), "new");
  int files = 0;
  for ([[maybe_unused]] const auto& entry : fs::directory_iterator(folder)) ++files;
  EXPECT_EQ(files, 1);  // no temporary file left behind
}

}  // namespace
}  // namespace rt
