// Numbered text files: reading fields from a file opened for input, writing
// fields to a file opened for append, and the atomic replacement of a file.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <fstream>
#include <iterator>
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
  if (std::filesystem::is_directory(file, ec)) {
    return 2;
  }
  if (mode == FileMode::Input) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
      return 2;
    }
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) {
      return 2;
    }
    slot.reader = FieldReader(text_mode(bytes));
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
  const std::filesystem::path target = host_path(path);
  std::filesystem::path folder = target.parent_path();
  if (folder.empty()) {
    folder = ".";
  }
  std::filesystem::path temporary = target;
  temporary += ".tmp";

  const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) {
    return 2;
  }
  bool ok = write_all(fd, bytes);
  ok = ::fsync(fd) == 0 && ok;
  ok = ::close(fd) == 0 && ok;
  if (!ok || ::rename(temporary.c_str(), target.c_str()) != 0) {
    ::unlink(temporary.c_str());  // the old file stays as it was
    return 2;
  }
  // The new contents are in place; only a confirmed folder sync makes the
  // rename itself durable, so a failure there is still reported. A host
  // that keeps its files elsewhere stores them now.
  const bool synced = sync_folder(folder);
  host_.files_changed();
  return synced ? 0 : 2;
}

}  // namespace rt
