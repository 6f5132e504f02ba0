// Numbered text files: reading fields from a file opened for input, writing
// fields to a file opened for append, and the atomic replacement of a file.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <system_error>

#include "platform/platform.h"

namespace rt {

namespace {

constexpr int kFirstFileNumber = 1;
constexpr int kLastFileNumber = 254;

bool valid_file_number(int n) {
  return n >= kFirstFileNumber && n <= kLastFileNumber;
}

// Appends the bytes at the end of the file; false when that fails.
bool append_bytes(const std::filesystem::path& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::app);
  if (!out) {
    return false;
  }
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.close();
  return !out.fail();
}

// Writes all bytes to a POSIX descriptor, going on after short writes.
bool write_all(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) {
        continue;
      }
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

bool sync_folder(const std::filesystem::path& folder) {
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) {
    return false;
  }
  const bool synced = ::fsync(fd) == 0;
  return ::close(fd) == 0 && synced;
}

std::string system_reason(int error) {
  return std::strerror(error);
}

// How many names a save tries for its temporary file before it gives up.
constexpr int kTemporaryNames = 100;
// A save waits this long for another copy of the game to finish its own.
constexpr int kLockTries = 200;
constexpr int kLockPauseMs = 10;

// Writes `bytes` to `target` through a temporary file of its own; "" when all
// went well, otherwise the reason. The temporary file is made new under a
// name nobody else uses (O_EXCL) and never through a symbolic link
// (O_NOFOLLOW), so a link planted beside the list cannot redirect the write;
// it is removed on every failure.
std::string write_atomically(const std::filesystem::path& target, std::string_view bytes) {
  std::filesystem::path folder = target.parent_path();
  if (folder.empty()) {
    folder = ".";
  }
  std::filesystem::path temporary;
  int fd = -1;
  for (int attempt = 0; attempt < kTemporaryNames && fd < 0; ++attempt) {
    temporary = target;
    temporary += ".tmp." + std::to_string(::getpid()) + "." + std::to_string(attempt);
    fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd < 0 && errno != EEXIST) {
      return system_reason(errno);
    }
  }
  if (fd < 0) {
    return "no free name for a temporary file";
  }
  int error = 0;
  if (!write_all(fd, bytes)) error = errno;
  if (::fsync(fd) != 0 && error == 0) error = errno;
  if (::close(fd) != 0 && error == 0) error = errno;
  if (error == 0 && ::rename(temporary.c_str(), target.c_str()) != 0) error = errno;
  if (error != 0) {
    ::unlink(temporary.c_str());  // the old file stays as it was
    return system_reason(error);
  }
  // The new contents are in place; only a confirmed folder sync makes the
  // rename itself durable, so a failure there is still reported.
  if (!sync_folder(folder)) {
    return system_reason(errno);
  }
  return "";
}

// Makes `folder` and every missing folder above it readable by the player
// alone (0700, as the XDG rules ask for folders a program makes in the
// player's data folder); "" when it is there afterwards, otherwise why not.
std::string make_private_folders(const std::filesystem::path& folder) {
  std::error_code ec;
  if (folder.empty() || std::filesystem::is_directory(folder, ec)) return "";
  const std::string above = make_private_folders(folder.parent_path());
  if (!above.empty()) return above;
  if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) return system_reason(errno);
  if (!std::filesystem::is_directory(folder, ec)) return system_reason(ENOTDIR);
  return "";
}

// An exclusive lock on the folder that holds the list, kept while it lives.
// The folder, unlike the list, is never replaced, so every copy of the game
// locks the same thing, and no lock file is left behind.
class ListLock {
 public:
  explicit ListLock(const std::filesystem::path& folder) {
    fd_ = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd_ < 0) error_ = errno;
  }
  ~ListLock() {
    if (fd_ >= 0) ::close(fd_);  // closing gives the lock up
  }
  ListLock(const ListLock&) = delete;
  ListLock& operator=(const ListLock&) = delete;

  // One try; true once the lock is held.
  bool try_lock() {
    if (fd_ < 0) return false;
    if (::flock(fd_, LOCK_EX | LOCK_NB) == 0) return true;
    error_ = errno;
    return false;
  }
  bool can_wait() const { return fd_ >= 0 && (error_ == EWOULDBLOCK || error_ == EINTR); }
  int error() const { return error_; }

 private:
  int fd_ = -1;
  int error_ = 0;
};

}  // namespace

int Platform::open_file(std::string_view path, FileMode mode, int file_number) {
  if (!valid_file_number(file_number)) {
    return 1;
  }
  FileSlot& slot = files_[static_cast<std::size_t>(file_number)];
  if (slot.open) {
    return 1;
  }
  const std::filesystem::path file = host_path(path);
  std::error_code ec;
  if (mode == FileMode::Append && std::filesystem::is_directory(file, ec)) {
    return 2;
  }
  if (mode == FileMode::Input) {
    // A file that is not a regular file, or too big, counts as missing.
    const FileBytes read = read_bounded_file(file, kMaxTextFileBytes);
    if (!read.ok()) {
      if (read.status != FileBytes::Status::Missing) report_file_problem(file, read.reason());
      return 2;
    }
    slot.reader = FieldReader(text_mode(read.bytes));
  } else {
    // Opening for append creates the file at once, as the game expects.
    if (!append_bytes(file, {})) {
      return 2;
    }
    slot.reader = FieldReader();
  }
  slot.open = true;
  slot.mode = mode;
  slot.path = file;
  return 0;
}

int Platform::close_file(int file_number) {
  if (!valid_file_number(file_number)) {
    return 1;
  }
  FileSlot& slot = files_[static_cast<std::size_t>(file_number)];
  if (!slot.open) {
    return 1;
  }
  // Every write went straight to the file, so nothing is left to flush. The
  // unread rest of the data goes: a closed file gives only empty fields.
  const bool written = slot.mode == FileMode::Append;
  slot = FileSlot{};
  if (written) host_.files_changed();
  return 0;
}

int Platform::delete_file(std::string_view path) {
  const std::filesystem::path file = host_path(path);
  std::error_code ec;
  const auto status = std::filesystem::symlink_status(file, ec);
  if (status.type() == std::filesystem::file_type::not_found) {
    return 2;
  }
  if (ec || status.type() == std::filesystem::file_type::directory) {
    return 3;
  }
  if (!std::filesystem::remove(file, ec) || ec) {
    return 3;
  }
  host_.files_changed();
  return 0;
}

void Platform::begin_read(int file_number) {
  if (!valid_file_number(file_number)) {
    return;
  }
  const FileSlot& slot = files_[static_cast<std::size_t>(file_number)];
  if (slot.open && slot.mode == FileMode::Input) {
    field_source_ = file_number;
    typed_line_ = FieldReader();
  }
}

std::int32_t Platform::read_int_field() {
  if (field_source_ == 0) {
    return typed_line_.read_int();
  }
  if (valid_file_number(field_source_)) {
    FileSlot& slot = files_[static_cast<std::size_t>(field_source_)];
    if (slot.open && slot.mode == FileMode::Input) {
      return slot.reader.read_int();
    }
  }
  return 0;
}

std::string Platform::read_string_field() {
  if (field_source_ == 0) {
    return typed_line_.read_string();
  }
  if (valid_file_number(field_source_)) {
    FileSlot& slot = files_[static_cast<std::size_t>(field_source_)];
    if (slot.open && slot.mode == FileMode::Input) {
      return slot.reader.read_string();
    }
  }
  return {};
}

void Platform::write_string_field(int file_number, std::string_view text) {
  if (!valid_file_number(file_number)) {
    return;
  }
  const FileSlot& slot = files_[static_cast<std::size_t>(file_number)];
  if (slot.open && slot.mode == FileMode::Append) {
    std::string line;
    line.reserve(text.size() + 4);
    line += '"';
    line += text;
    line += "\"\r\n";
    append_bytes(slot.path, line);
  }
}

void Platform::write_int_field(int file_number, std::int32_t value) {
  if (!valid_file_number(file_number)) {
    return;
  }
  const FileSlot& slot = files_[static_cast<std::size_t>(file_number)];
  if (slot.open && slot.mode == FileMode::Append) {
    append_bytes(slot.path, std::to_string(value) + "\r\n");
  }
}

int Platform::replace_file_atomically(std::string_view path, std::string_view bytes) {
  if (!write_atomically(host_path(path), bytes).empty()) return 2;
  host_.files_changed();
  return 0;
}

std::string Platform::read_score_file() {
  const std::filesystem::path file = score_file_.to_read();
  const FileBytes read = read_bounded_file(file, kMaxTextFileBytes);
  if (!read.ok() && read.status != FileBytes::Status::Missing) {
    report_file_problem(file, read.reason());
  }
  return read.bytes;
}

SaveResult Platform::update_score_file(const std::function<std::string(std::string_view)>& merge) {
  SaveResult result;
  result.file = score_file_.saved;
  std::error_code ec;
  if (score_file_.make_folder) {
    const std::string reason = make_private_folders(result.file.parent_path());
    if (!reason.empty()) {
      result.reason = reason;
      return result;
    }
  }
  std::filesystem::path folder = result.file.parent_path();
  if (folder.empty()) folder = ".";
  ListLock lock(folder);
  bool locked = lock.try_lock();
  for (int attempt = 1; !locked && lock.can_wait() && attempt < kLockTries; ++attempt) {
    host_.pause_ms(kLockPauseMs);
    locked = lock.try_lock();
  }
  if (!locked) {
    result.reason = lock.can_wait() ? "the list stays locked by another copy of the game"
                                    : system_reason(lock.error());
    return result;
  }
  const std::string written = merge(read_score_file());
  result.reason = write_atomically(result.file, written);
  result.ok = result.reason.empty();
  // A host that keeps its files elsewhere stores the new list now.
  if (result.ok) host_.files_changed();
  return result;
}

}  // namespace rt
