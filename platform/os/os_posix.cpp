// The operating system services on POSIX systems.
#include <fcntl.h>
#include <pthread.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <system_error>

#include "platform/os/bounded_read.h"
#include "platform/os/os.h"

namespace rt::os {

namespace {

// How many names a save tries for its temporary file before it gives up.
constexpr int kTemporaryNames = 100;

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

bool runs_on_windows() {
  return false;
}

std::thread start_thread_keeping_stop_signals(const std::function<void()>& body) {
  sigset_t blocked;
  sigset_t before;
  sigemptyset(&blocked);
  sigaddset(&blocked, SIGINT);
  sigaddset(&blocked, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &blocked, &before);
  std::thread thread(body);
  pthread_sigmask(SIG_SETMASK, &before, nullptr);
  return thread;
}

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

void advise_huge_pages(void* start, std::size_t bytes) {
#ifdef MADV_HUGEPAGE
  // Only advice: without huge pages the memory is the same, in small pages.
  (void)madvise(start, bytes, MADV_HUGEPAGE);
#else
  (void)start;
  (void)bytes;
#endif
}

bool folder_is_writable(const std::filesystem::path& folder) {
  return ::access(folder.c_str(), W_OK | X_OK) == 0;
}

std::string make_private_folder(const std::filesystem::path& folder) {
  if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) return reason_of(errno);
  std::error_code ec;
  if (!std::filesystem::is_directory(folder, ec)) return reason_of(ENOTDIR);
  return "";
}

std::string replace_file(const std::filesystem::path& target, std::string_view bytes) {
  std::filesystem::path folder = target.parent_path();
  if (folder.empty()) {
    folder = ".";
  }
  // The temporary file is made new (O_EXCL) and never through a symbolic
  // link (O_NOFOLLOW), so a link planted beside the target cannot redirect
  // the write.
  std::filesystem::path temporary;
  int fd = -1;
  for (int attempt = 0; attempt < kTemporaryNames && fd < 0; ++attempt) {
    temporary = target;
    temporary += ".tmp." + std::to_string(::getpid()) + "." + std::to_string(attempt);
    fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd < 0 && errno != EEXIST) {
      return reason_of(errno);
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

namespace rt {

namespace {

// Closes the descriptor when the read is over, however it ends.
struct Descriptor {
  int fd = -1;
  ~Descriptor() {
    if (fd >= 0) ::close(fd);
  }
};

FileBytes failed(FileBytes::Status status, int error = 0) {
  FileBytes result;
  result.status = status;
  result.error = error;
  return result;
}

}  // namespace

FileBytes read_bounded_file(const std::filesystem::path& path, std::size_t cap) {
  Descriptor file;
  file.fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (file.fd < 0) {
    const int error = errno;
    return failed(error == ENOENT || error == ENOTDIR ? FileBytes::Status::Missing
                                                      : FileBytes::Status::Unreadable,
                  error);
  }
  struct stat info {};
  if (::fstat(file.fd, &info) != 0) return failed(FileBytes::Status::Unreadable, errno);
  if (!S_ISREG(info.st_mode)) return failed(FileBytes::Status::NotRegular);
  if (info.st_size < 0 || static_cast<std::uintmax_t>(info.st_size) > cap) {
    return failed(FileBytes::Status::TooBig);
  }

  FileBytes result;
  result.status = FileBytes::Status::Ok;
  // One byte more than the cap is asked for, so that a file that grew since
  // the size was looked at is seen to be too big.
  result.bytes.resize(static_cast<std::size_t>(info.st_size) + 1);
  std::size_t got = 0;
  for (;;) {
    if (got == result.bytes.size()) {
      if (got > cap) return failed(FileBytes::Status::TooBig);
      result.bytes.resize(std::min(cap + 1, got * 2 + 4096));
    }
    const ssize_t n = ::read(file.fd, result.bytes.data() + got, result.bytes.size() - got);
    if (n < 0) {
      if (errno == EINTR) continue;
      return failed(FileBytes::Status::Unreadable, errno);
    }
    if (n == 0) break;
    got += static_cast<std::size_t>(n);
  }
  if (got > cap) return failed(FileBytes::Status::TooBig);
  result.bytes.resize(got);
  return result;
}

}  // namespace rt
