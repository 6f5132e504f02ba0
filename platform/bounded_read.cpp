#include "platform/bounded_read.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

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

std::string FileBytes::reason() const {
  switch (status) {
    case Status::Ok:
      return "";
    case Status::Missing:
      return "fehlt";
    case Status::NotRegular:
      return "ist keine gewoehnliche Datei";
    case Status::TooBig:
      return "ist zu gross";
    case Status::Unreadable:
      return std::string("nicht lesbar: ") + std::strerror(error);
  }
  return "";
}

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
