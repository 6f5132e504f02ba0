// The operating system services, on whichever system the tests run.
#include "platform/os/os.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#else
#include <stdlib.h>
#endif

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#include "tests/support/sim_fixture.h"

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
  ASSERT_EQ(os::replace_file(target, "\"A\"\r\n5\r\n"), "");
  EXPECT_EQ(read_all(target), "\"A\"\r\n5\r\n");
  ASSERT_EQ(os::replace_file(target, "new"), "");
  EXPECT_EQ(read_all(target), "new");
  int files = 0;
  for ([[maybe_unused]] const auto& entry : fs::directory_iterator(folder)) ++files;
  EXPECT_EQ(files, 1);  // no temporary file left behind
}

TEST(OsTest, FolderLockKeepsOutOthersUntilItIsGone) {
  testing::TempDir dir;
  auto first = std::make_unique<os::FolderLock>(dir.path());
  ASSERT_TRUE(first->try_lock());
  auto second = std::make_unique<os::FolderLock>(dir.path());
  EXPECT_FALSE(second->try_lock());
  EXPECT_TRUE(second->held_elsewhere());
  first.reset();
  EXPECT_TRUE(second->try_lock());
  second.reset();
  EXPECT_TRUE(fs::is_empty(dir.path()));  // the lock leaves nothing behind
}

TEST(OsTest, FolderLockInAMissingFolderFailsWithAReason) {
  testing::TempDir dir;
  os::FolderLock lock(dir.path() / "missing");
  EXPECT_FALSE(lock.try_lock());
  EXPECT_FALSE(lock.held_elsewhere());
  EXPECT_FALSE(lock.reason().empty());
}

TEST(OsTest, WritableFolderIsSeenAndTheProbeLeavesNothing) {
  testing::TempDir dir;
  EXPECT_TRUE(os::folder_is_writable(dir.path()));
  EXPECT_TRUE(fs::is_empty(dir.path()));
  EXPECT_FALSE(os::folder_is_writable(dir.path() / "missing"));
}

// A player's folders may have any name; their paths come out of the
// environment as UTF-8.
TEST(OsTest, EnvironmentVariablesComeAsUtf8) {
#ifdef _WIN32
  ASSERT_TRUE(SetEnvironmentVariableW(L"RT_OS_TEST", L"C:\\Users\\J\u00fcrgen"));
#else
  ASSERT_EQ(::setenv("RT_OS_TEST", "C:\\Users\\J\xc3\xbcrgen", 1), 0);
#endif
  EXPECT_EQ(os::environment_variable("RT_OS_TEST"), "C:\\Users\\J\xc3\xbcrgen");
  EXPECT_EQ(os::environment_variable("RT_OS_TEST_NEVER_SET"), "");
}

}  // namespace
}  // namespace rt
