// Whole files read with a size cap: the one way the game reads a level, the
// list of best scores or a sound.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>

namespace rt {

// The largest level file and list of best scores the game reads: a level is
// a few hundred bytes, the list a few hundred more.
inline constexpr std::size_t kMaxTextFileBytes = std::size_t{1} << 20;
// The largest sound file: the game's own are below 100 KiB.
inline constexpr std::size_t kMaxSoundFileBytes = std::size_t{8} << 20;

// A whole file read with a size cap, or why it could not be.
struct FileBytes {
  enum class Status { Ok, Missing, NotRegular, TooBig, Unreadable };
  Status status = Status::Missing;
  std::string bytes;  // the contents when Ok, empty otherwise
  int error = 0;      // errno of a failed open or read

  bool ok() const { return status == Status::Ok; }
  // Why the file was not read, in the words of the game's messages ("" when Ok).
  std::string reason() const;
};

// Reads a whole file of at most `cap` bytes. Only a regular file is read
// (checked on the open descriptor, so nothing can be swapped in between); it
// is opened without blocking, so a named pipe or a device never holds the
// game up. A file that grows past the cap while it is read is too big.
// Defined per system, in os_posix.cpp and os_windows.cpp;
// FileBytes::reason in bounded_read.cpp.
FileBytes read_bounded_file(const std::filesystem::path& path, std::size_t cap);

}  // namespace rt
