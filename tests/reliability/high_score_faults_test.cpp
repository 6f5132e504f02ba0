// The high-score file under faults: a save killed at every moment, and saves
// whose writes fail. Afterwards Data/High.dat holds the complete old list or
// the complete new one, never a mix or nothing, and the game carries on.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/ptrace.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>

#include "frontend/frontend.h"
#include "game/game.h"
#include "hosts/sim/sim_host.h"
#include "platform/platform.h"
#include "tests/support/sim_fixture.h"
#include "tests/support/soak.h"

namespace rt::testing {
namespace {

constexpr const char* kListFile = "Data/High.dat";

enum class Outcome { Old, New, Broken };

class HighScoreFaults : public ::testing::Test {
 protected:
  void SetUp() override {
    write_levels(dir, rail_level_text());
    dir.write(kListFile, old_bytes);
    front.high_scores = new_list;
  }

  Outcome outcome() const {
    const std::string bytes = dir.read(kListFile);
    if (bytes == old_bytes) return Outcome::Old;
    if (bytes == new_bytes) return Outcome::New;
    return Outcome::Broken;
  }

  // What a fresh program reads from the file.
  HighScoreTable loaded_list() const {
    SimHost fresh_host;
    Platform fresh(fresh_host, dir.path());
    Game fresh_game(fresh);
    FrontEnd fresh_front(fresh, fresh_game);
    fresh_front.load_high_scores();
    return fresh_front.high_scores;
  }

  static bool same(const HighScoreTable& a, const HighScoreTable& b) {
    return list_bytes(a) == list_bytes(b);
  }

  // The file is the old or the new list, byte for byte, and reads back as it.
  void expect_whole_list(const std::string& when) const {
    const Outcome o = outcome();
    ASSERT_NE(o, Outcome::Broken) << when << ": High.dat holds\n" << dir.read(kListFile);
    EXPECT_TRUE(same(loaded_list(), o == Outcome::Old ? old_list : new_list)) << when;
  }

  TempDir dir;
  const HighScoreTable old_list = make_list("Alt", 200);
  const HighScoreTable new_list = make_list("Neu", 9000);
  const std::string old_bytes = list_bytes(old_list);
  const std::string new_bytes = list_bytes(new_list);
  SimHost host;
  Platform platform{host, dir.path()};
  Game game{platform};
  FrontEnd front{platform, game};
};

// Waits for a child and gives its exit status, or -signal when it was killed.
int wait_for(pid_t pid) {
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0) {
  }
  if (WIFEXITED(status)) return WEXITSTATUS(status);
  if (WIFSIGNALED(status)) return -WTERMSIG(status);
  return -1000;
}

// Stops the child at every system call, on the way in and on the way out,
// and kills it at stop n for n = 0, 1, 2, ... until a save runs to its end.
// Every moment of the save is hit: before and after the open, each write, the
// flush to disk, the rename and the folder sync.
TEST_F(HighScoreFaults, KilledAtEverySystemCallTheFileHoldsAWholeList) {
  int killed_old = 0;
  int killed_new = 0;
  for (int n = 0;; ++n) {
    ASSERT_LT(n, 10000) << "the save never finished";
    dir.write(kListFile, old_bytes);
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      if (::ptrace(PTRACE_TRACEME, 0, nullptr, nullptr) != 0) ::_exit(90);
      ::raise(SIGSTOP);
      front.save_high_scores();
      ::_exit(0);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (WIFEXITED(status) && WEXITSTATUS(status) == 90) {
      GTEST_SKIP() << "processes cannot be traced here";
    }
    ASSERT_TRUE(WIFSTOPPED(status));

    bool finished = false;
    // Once the new list is in place it stays: no later moment of the same
    // save undoes it. Looked at in every stop of the run, since how many
    // system calls come before the rename may differ from run to run (the
    // memory allocator of a sanitizer build maps memory when it must).
    bool seen_new = false;
    for (int stop = 0;; ++stop) {
      if (stop == n) {
        ::kill(pid, SIGKILL);
        EXPECT_EQ(wait_for(pid), -SIGKILL);
        break;
      }
      ASSERT_EQ(::ptrace(PTRACE_SYSCALL, pid, nullptr, nullptr), 0);
      ASSERT_EQ(::waitpid(pid, &status, 0), pid);
      if (WIFEXITED(status)) {
        EXPECT_EQ(WEXITSTATUS(status), 0);
        finished = true;
        break;
      }
      if (stop + 1 == n || stop % 8 == 0) {
        const Outcome now = outcome();
        if (now == Outcome::New) seen_new = true;
        EXPECT_TRUE(now == Outcome::New || !seen_new)
            << "stop " << stop << " of run " << n << ": the old list came back";
      }
    }

    const std::string when = "killed at system call stop " + std::to_string(n);
    expect_whole_list(when);
    if (finished) {
      EXPECT_EQ(outcome(), Outcome::New) << "a save that ran to its end";
      break;
    }
    if (outcome() == Outcome::New) {
      ++killed_new;
    } else {
      EXPECT_FALSE(seen_new) << when << ": the old list came back";
      ++killed_old;
    }
  }
  // Kills before the rename left the old list, kills after it the new one.
  EXPECT_GT(killed_old, 2);
  EXPECT_GT(killed_new, 0);
  RecordProperty("kills_old", killed_old);
  RecordProperty("kills_new", killed_new);
}

// The same with kills after a growing delay, without stopping the child:
// a save caught at whatever it is doing at that moment.
TEST_F(HighScoreFaults, KilledAfterGrowingDelaysTheFileHoldsAWholeList) {
  int seen_old = 0;
  int seen_new = 0;
  for (int i = 0; i < 120; ++i) {
    dir.write(kListFile, old_bytes);
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      ::close(ready[0]);
      const char byte = 1;
      if (::write(ready[1], &byte, 1) != 1) ::_exit(91);
      front.save_high_scores();
      ::_exit(0);
    }
    ::close(ready[1]);
    char byte = 0;
    ASSERT_EQ(::read(ready[0], &byte, 1), 1);
    ::close(ready[0]);
    // 0 to 3 milliseconds after the child set out to save.
    const auto until = std::chrono::steady_clock::now() + std::chrono::microseconds(25 * i);
    while (std::chrono::steady_clock::now() < until) {
    }
    ::kill(pid, SIGKILL);
    const int status = wait_for(pid);
    EXPECT_TRUE(status == 0 || status == -SIGKILL) << status;

    expect_whole_list("killed after " + std::to_string(25 * i) + " microseconds");
    (outcome() == Outcome::New ? seen_new : seen_old)++;
  }
  RecordProperty("old", seen_old);
  RecordProperty("new", seen_new);
}

// A stale temporary file left by a killed save does not stop the next one.
TEST_F(HighScoreFaults, ALeftoverTemporaryFileDoesNotHurtTheNextSave) {
  dir.write("Data/High.dat.tmp", "\"halb\"\r\n12");
  front.save_high_scores();
  EXPECT_EQ(outcome(), Outcome::New);
  EXPECT_TRUE(same(loaded_list(), new_list));
}

// Runs `body` in a child process and gives its exit status.
template <typename Body>
int in_child(Body body) {
  const pid_t pid = ::fork();
  if (pid < 0) return -2000;
  if (pid == 0) {
    ::_exit(body());
  }
  return wait_for(pid);
}

// A full disk, made by a file size limit: the first write past 64 bytes fails.
TEST_F(HighScoreFaults, WritesThatFailForADiskFullKeepTheOldList) {
  const int status = in_child([&] {
    ::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{64, 64};
    if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) return 77;
    front.save_high_scores();
    // The failure is known to the menu and told in one line with the reason.
    if (front.high_scores_saved) return 5;
    if (host.reports().size() != 1) return 6;
    if (host.reports()[0].find("High.dat\": File too large") == std::string::npos) return 7;
    return 0;
  });
  if (status == 77) GTEST_SKIP() << "no file size limit";
  EXPECT_EQ(status, 0);
  EXPECT_EQ(outcome(), Outcome::Old);
  // No temporary file is left beside the list.
  for (const auto& entry : std::filesystem::directory_iterator(dir.path() / "Data")) {
    EXPECT_FALSE(entry.path().filename().string().starts_with("High.dat.tmp")) << entry.path();
  }
}

// The whole program on a full disk: a game with a name for the list, whose
// saves fail, then "SPIEL BEENDEN", whose save fails as well. The program
// ends normally, shows the new name while it runs, and the file keeps the
// old list.
TEST_F(HighScoreFaults, TheGameCarriesOnWhenTheDiskIsFull) {
  const int status = in_child([&] {
    ::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{64, 64};
    if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) return 77;
    const ProgramRun run = run_program(dir.path(), kGameWithNameScript);
    // The child tells what it saw by its status: 0 all well, 1 the name was
    // not on the list in memory, otherwise the program's status + 10.
    if (run.status != 0) return 10 + run.status;
    return run.out.find("{\"name\": \"Anna\"") != std::string::npos ? 0 : 1;
  });
  if (status == 77) GTEST_SKIP() << "no file size limit";
  EXPECT_EQ(status, 0);
  EXPECT_EQ(outcome(), Outcome::Old);
}

// A folder the game may read but not write: the child gives up root, so
// that the folder's permissions apply to it.
TEST_F(HighScoreFaults, AReadOnlyFolderKeepsTheOldListAndTheGameCarriesOn) {
  const std::filesystem::path data = dir.path() / "Data";
  ::chmod(dir.path().c_str(), 0755);
  ::chmod(data.c_str(), 0555);
  const int status = in_child([&] {
    if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) return 77;
    // The folder must really refuse new files, or the test means nothing.
    const std::string probe = (data / "probe").string();
    const int fd = ::open(probe.c_str(), O_WRONLY | O_CREAT, 0644);
    if (fd >= 0) {
      ::close(fd);
      ::unlink(probe.c_str());
      return 78;
    }
    front.save_high_scores();
    if (front.high_scores_saved) return 5;
    if (host.reports().size() != 1 ||
        host.reports()[0].find("Permission denied") == std::string::npos) {
      return 6;
    }
    const ProgramRun run = run_program(dir.path(), kGameWithNameScript);
    if (run.status != 0) return 10 + run.status;
    return run.out.find("{\"name\": \"Anna\"") != std::string::npos ? 0 : 1;
  });
  ::chmod(data.c_str(), 0755);
  if (status == 77 || status == 78) GTEST_SKIP() << "the folder cannot be made read-only";
  EXPECT_EQ(status, 0);
  EXPECT_EQ(outcome(), Outcome::Old);
}

// No Data folder at all: nothing is written and nothing breaks.
TEST_F(HighScoreFaults, AMissingDataFolderWritesNothingAndTheGameCarriesOn) {
  std::filesystem::remove_all(dir.path() / "Data");
  front.save_high_scores();
  EXPECT_FALSE(std::filesystem::exists(dir.path() / "Data"));

  const ProgramRun run = run_program(dir.path(), kShortGameScript);
  EXPECT_EQ(run.status, 0) << run.out << run.err;
  EXPECT_FALSE(std::filesystem::exists(dir.path() / "Data"));
}

// A folder in the list file's place: the save fails, the folder stays.
TEST_F(HighScoreFaults, AFolderWhereTheListBelongsIsLeftAlone) {
  std::filesystem::remove(dir.path() / kListFile);
  std::filesystem::create_directories(dir.path() / kListFile);
  front.save_high_scores();
  EXPECT_TRUE(std::filesystem::is_directory(dir.path() / kListFile));
  const ProgramRun run = run_program(dir.path(), kGameWithNameScript);
  EXPECT_EQ(run.status, 0) << run.out << run.err;
  EXPECT_NE(run.out.find("{\"name\": \"Anna\""), std::string::npos);
}

// A really full file system: a small memory file system filled to the last
// block. Needs the right to mount; skipped where that is not given.
TEST_F(HighScoreFaults, AFullFileSystemKeepsTheOldListAndTheGameCarriesOn) {
  TempDir mount_point;
  if (::mount("rt-full", mount_point.path().c_str(), "tmpfs", 0, "size=64k") != 0) {
    GTEST_SKIP() << "cannot mount a small file system here";
  }
  struct Unmount {
    std::filesystem::path path;
    ~Unmount() { ::umount2(path.c_str(), MNT_DETACH); }
  } unmount{mount_point.path()};

  write_levels(mount_point, rail_level_text());
  mount_point.write(kListFile, old_bytes);
  {
    // Fill every block that is left.
    const std::string filler_path = (mount_point.path() / "filler").string();
    const int fd = ::open(filler_path.c_str(), O_WRONLY | O_CREAT, 0644);
    ASSERT_GE(fd, 0);
    const std::string block(4096, 'x');
    while (::write(fd, block.data(), block.size()) > 0) {
    }
    while (::write(fd, block.data(), 1) > 0) {
    }
    ::close(fd);
  }

  SimHost full_host;
  Platform full(full_host, mount_point.path());
  Game full_game(full);
  FrontEnd full_front(full, full_game);
  full_front.high_scores = new_list;
  full_front.save_high_scores();
  EXPECT_EQ(mount_point.read(kListFile), old_bytes);

  const ProgramRun run = run_program(mount_point.path(), kGameWithNameScript);
  EXPECT_EQ(run.status, 0) << run.out << run.err;
  EXPECT_NE(run.out.find("{\"name\": \"Anna\""), std::string::npos);
  EXPECT_EQ(mount_point.read(kListFile), old_bytes);
}

}  // namespace
}  // namespace rt::testing
