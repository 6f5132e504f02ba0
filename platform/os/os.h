// The few services that differ between the operating systems the game runs
// on. Each world has its own file that defines them: os_posix.cpp (Linux and
// other POSIX systems) and os_windows.cpp, which also hold the bounded file
// reader of bounded_read.h; nothing else in the game knows which one it runs
// on.
#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <thread>

namespace rt::os {

// The running program's own file, with its folder; nothing when the system
// cannot say.
std::optional<std::filesystem::path> program_file();

// The value of an environment variable in UTF-8 (whatever the system's own
// encoding); "" when it is not set.
std::string environment_variable(const char* name);

// Whether the game runs on Windows, whose folders for a player's own files
// follow rules of their own.
bool runs_on_windows();

// Starts a thread running `body` with the signals that ask the program to end
// (SIGINT, SIGTERM) blocked in it, so that they reach the calling thread.
// Where there are no such signals, simply a thread.
std::thread start_thread_keeping_stop_signals(const std::function<void()>& body);

// Asks the system to back the `bytes` at `start` (aligned to kHugePageBytes)
// with huge pages where it offers them. The screen is written whole soon after
// it is made: in huge pages that costs one page fault instead of hundreds,
// which was a good part of a short simulated run. Nothing where there are none.
inline constexpr std::size_t kHugePageBytes = std::size_t{2} << 20;
void advise_huge_pages(void* start, std::size_t bytes);

// True when the program may make new files in `folder` with its own rights.
bool folder_is_writable(const std::filesystem::path& folder);

// Makes the one folder `folder` (its parent is there) for the player alone
// (POSIX mode 0700; on Windows a folder in the player's profile is private
// already). "" when the folder is there afterwards, otherwise the reason.
std::string make_private_folder(const std::filesystem::path& folder);

// Replaces the file at `target` with `bytes` so that it afterwards holds
// either the old or the complete new contents: a temporary file beside it,
// made new under a name nobody else uses and never through a link, flushed to
// disk, then moved over the target. "" when all went well, otherwise the
// reason; the old file is then kept and the temporary file removed.
std::string replace_file(const std::filesystem::path& target, std::string_view bytes);

// An exclusive lock that copies of the game take before they change a file
// in `folder`, held while the object lives (and given up by the system when a
// program dies holding it).
class FolderLock {
 public:
  explicit FolderLock(const std::filesystem::path& folder);
  ~FolderLock();
  FolderLock(const FolderLock&) = delete;
  FolderLock& operator=(const FolderLock&) = delete;

  // One try, without waiting; true once the lock is held.
  bool try_lock();
  // True when the last try failed only because another program holds it.
  bool held_elsewhere() const;
  // Why the last try failed, for messages.
  std::string reason() const;

 private:
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace rt::os
