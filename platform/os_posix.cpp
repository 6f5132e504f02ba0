// The operating system services on POSIX systems.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <system_error>

#include "platform/os.h"

namespace rt::os {

namespace {

std::string reason_of(int error) {
  return std::strerror(error);
}

// Writes all bytes to a descriptor, going on after short writes.
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

}  // namespace

std::optional<std::filesystem::path> program_file() {
  std::error_code ec;
  std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec || exe.empty()) {
    return std::nullopt;
  }
  return exe;
}

std::string environment_variable(const char* name) {
  const char* value = std::getenv(name);
  return value == nullptr ? std::string() : std::string(value);
}

bool folder_is_writable(const std::filesystem::path& folder) {
  return ::access(folder.c_str(), W_OK | X_OK) == 0;
}

std::string replace_file(const std::filesystem::path& target, std::string_view bytes) {
  std::filesystem::path folder = target.parent_path();
  if (folder.empty()) {
    folder = ".";
  }
  std::filesystem::path temporary = target;
  temporary += ".tmp";
  const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) {
    return reason_of(errno);
  }
  int error = 0;
  if (!write_all(fd, bytes)) error = errno;
  if (::fsync(fd) != 0 && error == 0) error = errno;
  if (::close(fd) != 0 && error == 0) error = errno;
  if (error == 0 && ::rename(temporary.c_str(), target.c_str()) != 0) error = errno;
  if (error != 0) {
    ::unlink(temporary.c_str());  // the old file stays as it was
    return reason_of(error);
  }
  // The new contents are in place; only a confirmed folder sync makes the
  // rename itself durable, so a failure there is still reported.
  if (!sync_folder(folder)) {
    return reason_of(errno);
  }
  return "";
}

// The lock is flock on the folder itself: the folder, unlike the files in
// it, is never replaced, so every copy locks the same thing and no lock file
// is left behind.
struct FolderLock::State {
  int fd = -1;
  int error = 0;
};

FolderLock::FolderLock(const std::filesystem::path& folder) : state_(std::make_unique<State>()) {
  state_->fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (state_->fd < 0) state_->error = errno;
}

FolderLock::~FolderLock() {
  if (state_->fd >= 0) ::close(state_->fd);  // closing gives the lock up
}

bool FolderLock::try_lock() {
  if (state_->fd < 0) return false;
  if (::flock(state_->fd, LOCK_EX | LOCK_NB) == 0) return true;
  state_->error = errno;
  return false;
}

bool FolderLock::held_elsewhere() const {
  return state_->fd >= 0 && (state_->error == EWOULDBLOCK || state_->error == EINTR);
}

std::string FolderLock::reason() const {
  return reason_of(state_->error);
}

}  // namespace rt::os
