// The platform's files: game paths, opening and reading, the atomic replace
// under every save, and what the host hears of writes.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <limits>
#include <string>

#include "platform/os/os.h"
#include "tests/support/sim_fixture.h"

namespace rt {
namespace {

namespace fs = std::filesystem;

using FilesTest = testing::SimFixture;

TEST_F(FilesTest, GamePathsMapBelowTheRoot) {
  EXPECT_EQ(platform.host_path("Data\\lev01.dat"), dir.path() / "Data" / "lev01.dat");
  EXPECT_EQ(platform.host_path("Waves/ping.wav"), dir.path() / "Waves" / "ping.wav");
  // An absolute path stays as it is ("C:\\..." on Windows, "/..." elsewhere).
  const fs::path elsewhere = fs::temp_directory_path() / "x.dat";
  EXPECT_EQ(platform.host_path(elsewhere.string()), elsewhere);
}

TEST_F(FilesTest, OpenAndCloseCodes) {
  dir.write("Data/lev01.dat", "1\r\n");
  EXPECT_EQ(platform.open_file("Data\\missing.dat", FileMode::Input, 1), 2);
  EXPECT_EQ(platform.open_file("Data", FileMode::Input, 1), 2);  // a folder
  for (int bad : {0, -1, 255, 1000}) {
    EXPECT_EQ(platform.open_file("Data\\lev01.dat", FileMode::Input, bad), 1) << bad;
    EXPECT_EQ(platform.close_file(bad), 1) << bad;
  }
  EXPECT_EQ(platform.open_file("Data\\lev01.dat", FileMode::Input, 1), 0);
  EXPECT_EQ(platform.open_file("Data\\lev01.dat", FileMode::Input, 1), 1);  // in use
  EXPECT_EQ(platform.open_file("Data\\lev01.dat", FileMode::Input, 254), 0);
  EXPECT_EQ(platform.close_file(1), 0);
  EXPECT_EQ(platform.close_file(1), 1);
  EXPECT_EQ(platform.close_file(254), 0);
  EXPECT_EQ(platform.open_file("Data\\lev01.dat", FileMode::Input, 1), 0);  // free again
}

TEST_F(FilesTest, FieldsReadFromAFileInTextMode) {
  dir.write("Data/High.dat",
            "\"Anna Lisa\"\r\n1200\r\n\"\"\r\n7,8 9\r\n10\x1A"
            "11\r\n");
  ASSERT_EQ(platform.open_file("Data\\High.dat", FileMode::Input, 1), 0);
  platform.begin_read(1);
  EXPECT_EQ(platform.read_string_field(), "Anna Lisa");
  platform.begin_read(1);
  EXPECT_EQ(platform.read_int_field(), 1200);
  platform.begin_read(1);
  EXPECT_EQ(platform.read_string_field(), "");
  EXPECT_EQ(platform.read_int_field(), 7);
  EXPECT_EQ(platform.read_int_field(), 8);
  EXPECT_EQ(platform.read_int_field(), 9);
  EXPECT_EQ(platform.read_int_field(), 10);  // the data ends at byte 0x1A
  EXPECT_EQ(platform.read_int_field(), 0);
  EXPECT_EQ(platform.read_string_field(), "");
}

TEST_F(FilesTest, FailedBeginReadKeepsTheSource) {
  dir.write("a.dat", "1,2,3");
  ASSERT_EQ(platform.open_file("a.dat", FileMode::Input, 1), 0);
  platform.begin_read(1);
  EXPECT_EQ(platform.read_int_field(), 1);
  platform.begin_read(2);  // not open
  EXPECT_EQ(platform.read_int_field(), 2);
  ASSERT_EQ(platform.open_file("a.dat", FileMode::Input, 3), 0);
  ASSERT_EQ(platform.close_file(3), 0);
  platform.begin_read(3);  // closed again
  EXPECT_EQ(platform.read_int_field(), 3);
}

TEST_F(FilesTest, ClosedFileGivesEmptyFields) {
  dir.write("a.dat", "1,2,\"x\"");
  ASSERT_EQ(platform.open_file("a.dat", FileMode::Input, 1), 0);
  platform.begin_read(1);
  EXPECT_EQ(platform.read_int_field(), 1);
  platform.close_file(1);
  // The game reads on after a failed open: nothing of the old file comes back.
  EXPECT_EQ(platform.open_file("missing.dat", FileMode::Input, 1), 2);
  platform.begin_read(1);
  EXPECT_EQ(platform.read_int_field(), 0);
  EXPECT_EQ(platform.read_string_field(), "");
}

TEST_F(FilesTest, TypedLineIsReadUntilAFileIsChosen) {
  host.set_time_limit(5.0);
  for (char c : std::string("Anna,B,C\r")) {
    host.type_code(0.0, static_cast<unsigned char>(c));
  }
  platform.input_line("Namen bitte eingeben");
  EXPECT_EQ(platform.read_string_field(), "Anna");
  platform.begin_read(1);  // nothing open: the rest of the typed line follows
  EXPECT_EQ(platform.read_string_field(), "B");

  dir.write("a.dat", "");
  ASSERT_EQ(platform.open_file("a.dat", FileMode::Input, 1), 0);
  platform.begin_read(1);  // choosing a file forgets the typed line
  platform.close_file(1);
  EXPECT_EQ(platform.read_string_field(), "");
}

TEST_F(FilesTest, NoSourceYetGivesEmptyFields) {
  EXPECT_EQ(platform.read_int_field(), 0);
  EXPECT_EQ(platform.read_string_field(), "");
}

TEST_F(FilesTest, FieldsAsTheListWritesThemReadBackExactly) {
  dir.write("Data/High.dat", "old\r\n\"Anna Lisa\"\r\n0\r\n\"\"\r\n-42\r\n-2147483648\r\n");
  ASSERT_EQ(platform.open_file("Data\\High.dat", FileMode::Input, 1), 0);
  platform.begin_read(1);
  EXPECT_EQ(platform.read_string_field(), "old");
  EXPECT_EQ(platform.read_string_field(), "Anna Lisa");
  EXPECT_EQ(platform.read_int_field(), 0);
  EXPECT_EQ(platform.read_string_field(), "");
  EXPECT_EQ(platform.read_int_field(), -42);
  EXPECT_EQ(platform.read_int_field(), std::numeric_limits<std::int32_t>::min());
  EXPECT_EQ(platform.read_int_field(), 0);
}

class ReplaceFileTest : public testing::SimFixture {
 protected:
  void SetUp() override { dir.write("Data/High.dat", "old contents\r\n"); }
  // The replace every save makes: 0 when done, 2 when it failed.
  int replace(const std::string& file, std::string_view bytes) {
    return os::replace_file(dir.path() / file, bytes).empty() ? 0 : 2;
  }
  // The list and nothing else in its folder.
  bool only_target_left() {
    int files = 0;
    for (const auto& entry : fs::directory_iterator(dir.path() / "Data")) {
      if (entry.path().filename() != "High.dat") return false;
      ++files;
    }
    return files == 1;
  }
};

TEST_F(ReplaceFileTest, ReplacesTheWholeFile) {
  EXPECT_EQ(replace("Data/High.dat", "\"A\"\r\n5\r\n"), 0);
  EXPECT_EQ(dir.read("Data/High.dat"), "\"A\"\r\n5\r\n");
  EXPECT_TRUE(only_target_left());
  EXPECT_EQ(replace("Data/New.dat", "1"), 0);  // new file
  EXPECT_EQ(dir.read("Data/New.dat"), "1");
}

TEST_F(ReplaceFileTest, MissingFolderFails) {
  EXPECT_EQ(replace("Nowhere/High.dat", "x"), 2);
  EXPECT_FALSE(fs::exists(dir.path() / "Nowhere"));
}

// Symbolic links need special rights on Windows; its temporary files are made new (CREATE_NEW)
// instead.
#ifndef _WIN32
// Whatever lies at the names a save might pick for its temporary file, a
// folder or a link planted to redirect the write, is left alone.
TEST_F(ReplaceFileTest, ThingsAtTemporaryNamesAreLeftAlone) {
  dir.write("victim", "precious");
  const fs::path data = dir.path() / "Data";
  fs::create_directory(data / "High.dat.tmp");
  const std::string pid = std::to_string(::getpid());
  for (const char* n : {".0", ".1"}) {
    fs::create_symlink(dir.path() / "victim", data / ("High.dat.tmp." + pid + n));
  }
  EXPECT_EQ(replace("Data/High.dat", "new"), 0);
  EXPECT_EQ(dir.read("Data/High.dat"), "new");
  EXPECT_EQ(dir.read("victim"), "precious");
  EXPECT_TRUE(fs::is_directory(data / "High.dat.tmp"));
  EXPECT_TRUE(fs::is_symlink(data / ("High.dat.tmp." + pid + ".0")));
  EXPECT_TRUE(fs::is_symlink(data / ("High.dat.tmp." + pid + ".1")));
  EXPECT_FALSE(fs::exists(data / ("High.dat.tmp." + pid + ".2")));
}
#endif

TEST_F(ReplaceFileTest, FailedRenameRemovesTheTemporary) {
  fs::create_directory(dir.path() / "Data" / "Busy.dat");  // a folder cannot be replaced
  EXPECT_EQ(replace("Data/Busy.dat", "new"), 2);
  EXPECT_TRUE(fs::is_directory(dir.path() / "Data" / "Busy.dat"));
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path() / "Data"), fs::directory_iterator()),
            2);  // the list and the folder, no temporary file
}

// Windows folders have no permission bits that would stop the save.
#ifndef _WIN32
TEST_F(ReplaceFileTest, ReadOnlyFolderKeepsTheOldFile) {
  if (::geteuid() == 0) {
    GTEST_SKIP() << "a read-only folder does not stop the superuser";
  }
  const fs::path folder = dir.path() / "Data";
  fs::permissions(folder, fs::perms::owner_read | fs::perms::owner_exec);
  const int result = replace("Data/High.dat", "new");
  fs::permissions(folder, fs::perms::owner_all);
  EXPECT_EQ(result, 2);
  EXPECT_EQ(dir.read("Data/High.dat"), "old contents\r\n");
  EXPECT_TRUE(only_target_left());
}
#endif

// --- The bounded reader -------------------------------------------------------

TEST(BoundedRead, ReadsRegularFilesUpToTheCap) {
  testing::TempDir dir;
  dir.write("small", "12345");
  const FileBytes small = read_bounded_file(dir.path() / "small", 5);
  EXPECT_TRUE(small.ok());
  EXPECT_EQ(small.bytes, "12345");
  EXPECT_EQ(read_bounded_file(dir.path() / "small", 4).status, FileBytes::Status::TooBig);
  dir.write("empty", "");
  EXPECT_TRUE(read_bounded_file(dir.path() / "empty", 0).ok());
  EXPECT_EQ(read_bounded_file(dir.path() / "nothing", 10).status, FileBytes::Status::Missing);
  EXPECT_EQ(read_bounded_file(dir.path() / "small" / "below", 10).status,
            FileBytes::Status::Missing);
}

// Named pipes and /dev/zero are POSIX things; Windows has neither in a folder.
#ifndef _WIN32
// Neither a folder, nor a named pipe nobody writes to, nor an endless device
// is read: each gives its answer at once, without memory or waiting.
TEST(BoundedRead, RefusesWhatIsNotARegularFile) {
  testing::TempDir dir;
  ASSERT_EQ(::mkfifo((dir.path() / "pipe").c_str(), 0644), 0);
  EXPECT_EQ(read_bounded_file(dir.path() / "pipe", 1 << 20).status, FileBytes::Status::NotRegular);
  EXPECT_EQ(read_bounded_file(dir.path(), 1 << 20).status, FileBytes::Status::NotRegular);
  EXPECT_EQ(read_bounded_file("/dev/zero", 1 << 20).status, FileBytes::Status::NotRegular);
  fs::create_symlink("/dev/zero", dir.path() / "zero");
  EXPECT_EQ(read_bounded_file(dir.path() / "zero", 1 << 20).status, FileBytes::Status::NotRegular);
}
#endif

TEST(BoundedRead, AHugeSparseFileIsRefusedBeforeItIsRead) {
  testing::TempDir dir;
  const fs::path huge = dir.path() / "huge";
  dir.write("huge", "");
  fs::resize_file(huge, std::uintmax_t{1} << 30);  // sparse: costs no disk
  const FileBytes read = read_bounded_file(huge, kMaxTextFileBytes);
  EXPECT_EQ(read.status, FileBytes::Status::TooBig);
  EXPECT_TRUE(read.bytes.empty());
  EXPECT_NE(read.reason(), "");
}

// Named pipes and /dev/zero are POSIX things; Windows has neither in a folder.
#ifndef _WIN32
// A level file the game cannot use counts as missing and is reported once.
TEST_F(FilesTest, AnUnusableInputFileIsMissingAndReportedOnce) {
  ASSERT_EQ(::mkfifo((dir.path() / "pipe.dat").c_str(), 0644), 0);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(platform.open_file("pipe.dat", FileMode::Input, 1), 2);
  }
  ASSERT_EQ(host.reports().size(), 1u);
  EXPECT_NE(host.reports()[0].find("pipe.dat"), std::string::npos);
  // A plain missing file is the game's own business: no report.
  EXPECT_EQ(platform.open_file("none.dat", FileMode::Input, 1), 2);
  EXPECT_EQ(host.reports().size(), 1u);
}
#endif

// --- Where the list of best scores lives ---------------------------------------

TEST(ScoreFileChoice, ThePlayersOwnListFollowsTheXdgRules) {
  // Absolute folders of this system ("/" or "C:\\" at the root).
  const fs::path root = fs::temp_directory_path().root_path();
  const fs::path anna = root / "home" / "anna";
  UserFolders env;
  env.home = anna.string();
  EXPECT_EQ(personal_score_file(env), anna / ".local/share/rangiertrubel/High.dat");
  env.xdg_data_home = (root / "data" / "anna").string();
  EXPECT_EQ(personal_score_file(env), root / "data/anna/rangiertrubel/High.dat");
  env.xdg_data_home = "relative/data";  // not absolute: ignored
  EXPECT_EQ(personal_score_file(env), anna / ".local/share/rangiertrubel/High.dat");
  env.home = "";
  EXPECT_EQ(personal_score_file(env), std::nullopt);
  UserFolders windows;
  windows.windows = true;
  windows.home = anna.string();
  EXPECT_EQ(personal_score_file(windows), std::nullopt);
  const fs::path roaming = root / "Users" / "anna" / "AppData" / "Roaming";
  windows.appdata = roaming.string();
  EXPECT_EQ(personal_score_file(windows), roaming / "rangiertrubel" / "High.dat");
}

TEST(ScoreFileChoice, AWritableDataFolderKeepsTheListAndAnInstalledOneSendsItHome) {
  testing::TempDir game;
  testing::TempDir home;
  const fs::path personal = home.path() / "rangiertrubel" / "High.dat";
  const ScoreFile writable = choose_score_file(game.path(), true, personal);
  EXPECT_EQ(writable.saved, game.path() / "Data" / "High.dat");
  EXPECT_EQ(writable.to_read(), writable.saved);
  EXPECT_FALSE(writable.make_folder);

  const ScoreFile installed = choose_score_file(game.path(), false, personal);
  EXPECT_EQ(installed.saved, personal);
  EXPECT_TRUE(installed.make_folder);
  EXPECT_EQ(installed.to_read(), game.path() / "Data" / "High.dat");  // until the first save
  home.write("rangiertrubel/High.dat", "");
  EXPECT_EQ(installed.to_read(), personal);

  // No folder of the player's known: the list stays where it is.
  EXPECT_EQ(choose_score_file(game.path(), false, std::nullopt).saved,
            game.path() / "Data" / "High.dat");

  game.write("Data/High.dat", "");
  EXPECT_TRUE(folder_is_writable(game.path() / "Data"));
  EXPECT_FALSE(folder_is_writable(game.path() / "Nowhere"));
}

TEST_F(FilesTest, TheFirstSaveMakesThePlayersFolderAndReadsTheInstalledList) {
  testing::TempDir home;
  dir.write("Data/High.dat", "installed");
  const fs::path personal = home.path() / "deep" / "rangiertrubel" / "High.dat";
  platform.set_score_file(choose_score_file(dir.path(), false, personal));
  EXPECT_EQ(platform.read_score_file(), "installed");
  std::string seen;
  const SaveResult saved = platform.update_score_file([&](std::string_view current) {
    seen = current;
    return std::string("mine");
  });
  EXPECT_TRUE(saved.ok) << saved.reason;
  EXPECT_EQ(saved.file, personal);
  EXPECT_EQ(seen, "installed");
  EXPECT_EQ(home.read("deep/rangiertrubel/High.dat"), "mine");
  // The folders made are the player's alone (on Windows the profile's own
  // access rules see to that).
#ifndef _WIN32
  for (const fs::path& made : {home.path() / "deep", home.path() / "deep" / "rangiertrubel"}) {
    EXPECT_EQ(fs::status(made).permissions() & fs::perms::all, fs::perms::owner_all) << made;
  }
#endif
  EXPECT_EQ(dir.read("Data/High.dat"), "installed");
  EXPECT_EQ(platform.read_score_file(), "mine");
}

// A save that cannot make its folder fails with the reason and writes nothing.
TEST_F(FilesTest, ASaveThatCannotMakeItsFolderSaysWhy) {
  dir.write("blocker", "a file where a folder should be");
  platform.set_score_file(
      choose_score_file(dir.path(), false, dir.path() / "blocker" / "rangiertrubel" / "High.dat"));
  bool merged = false;
  const SaveResult saved = platform.update_score_file([&](std::string_view) {
    merged = true;
    return std::string("x");
  });
  EXPECT_FALSE(saved.ok);
  EXPECT_FALSE(merged);
  EXPECT_NE(saved.reason, "");
  EXPECT_EQ(dir.read("blocker"), "a file where a folder should be");
}

}  // namespace
}  // namespace rt

namespace rt {
namespace {

// A host that counts the times it is told that files changed, and keeps
// them or not as a test says.
class CountingHost : public SimHost {
 public:
  std::string files_changed() override {
    ++changes;
    return refusal;
  }
  int changes = 0;
  std::string refusal;
};

TEST(FilesChangedTest, TheHostHearsOfEveryWriteAndOfNoRead) {
  testing::TempDir dir;
  CountingHost host;
  Platform platform(host, dir.path());
  dir.write("Data/lev01.dat", "1\r\n");
  // Reading tells nothing.
  ASSERT_EQ(platform.open_file("Data\\lev01.dat", FileMode::Input, 1), 0);
  platform.begin_read(1);
  platform.read_int_field();
  platform.close_file(1);
  EXPECT_EQ(host.changes, 0);
  // A player's file kept, once it is in place.
  ASSERT_EQ(platform.keep_players_file(dir.path() / "Data" / "Strecken" / "a.dat", "1"), "");
  EXPECT_EQ(host.changes, 1);
  // A file that could not be written left nothing new to keep.
  dir.write("Blocked", "a file where a folder would go");
  EXPECT_NE(platform.keep_players_file(dir.path() / "Blocked" / "a.dat", "1"), "");
  EXPECT_EQ(host.changes, 1);
  // A saved list of best scores.
  const SaveResult saved =
      platform.update_score_file([](std::string_view) { return std::string("\"B\"\r\n2\r\n"); });
  EXPECT_TRUE(saved.ok) << saved.reason;
  EXPECT_EQ(host.changes, 2);
  // A list the host's storage refused is not saved (a full browser storage).
  host.refusal = "the browser's storage is full";
  const SaveResult refused =
      platform.update_score_file([](std::string_view) { return std::string("\"C\"\r\n3\r\n"); });
  EXPECT_FALSE(refused.ok);
  EXPECT_EQ(refused.reason, "the browser's storage is full");
}

}  // namespace
}  // namespace rt
