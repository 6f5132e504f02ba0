// The operating system services on Windows. Paths are wide strings
// throughout and text for the game is UTF-8, so that folders with any name (a
// player called Jürgen) work.
#define WIN32_LEAN_AND_MEAN
#define NOMINMAX
#include <windows.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <string>
#include <thread>

#include "platform/os/bounded_read.h"
#include "platform/os/os.h"

namespace rt::os {

namespace {

// How many names a save tries for its temporary file before it gives up.
constexpr int kTemporaryNames = 100;
// A virus scanner or an indexer may hold a new file open for a moment; the
// move over the target is tried again for up to a second.
constexpr int kMoveTries = 50;
constexpr auto kMovePause = std::chrono::milliseconds(20);

// Closes a handle when it goes out of scope.
class Handle {
 public:
  explicit Handle(HANDLE handle = INVALID_HANDLE_VALUE) : handle_(handle) {}
  ~Handle() { close(); }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;

  bool valid() const { return handle_ != INVALID_HANDLE_VALUE && handle_ != nullptr; }
  HANDLE get() const { return handle_; }
  void reset(HANDLE handle) {
    close();
    handle_ = handle;
  }
  bool close() {
    if (!valid()) return true;
    const bool closed = CloseHandle(handle_) != 0;
    handle_ = INVALID_HANDLE_VALUE;
    return closed;
  }

 private:
  HANDLE handle_;
};

std::string utf8(const std::wstring& wide) {
  if (wide.empty()) return {};
  const int size = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()),
                                       nullptr, 0, nullptr, nullptr);
  if (size <= 0) return {};
  std::string out(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), out.data(), size,
                      nullptr, nullptr);
  return out;
}

std::wstring wide(const char* text) {
  const int size = MultiByteToWideChar(CP_UTF8, 0, text, -1, nullptr, 0);
  if (size <= 1) return {};
  std::wstring out(static_cast<std::size_t>(size), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text, -1, out.data(), size);
  out.resize(static_cast<std::size_t>(size) - 1);  // without the closing zero
  return out;
}

// The system's words for an error, in UTF-8, with its number.
std::string reason_of(DWORD error) {
  wchar_t* text = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::wstring words = length > 0 && text != nullptr ? std::wstring(text, length) : L"";
  if (text != nullptr) LocalFree(text);
  while (!words.empty() && (words.back() == L'\n' || words.back() == L'\r' ||
                            words.back() == L' ' || words.back() == L'.')) {
    words.pop_back();
  }
  std::string reason = utf8(words);
  if (reason.empty()) reason = "Windows error";
  return reason + " (" + std::to_string(error) + ")";
}

bool write_all(HANDLE file, std::string_view bytes) {
  while (!bytes.empty()) {
    // WriteFile takes a 32-bit count.
    const DWORD chunk = bytes.size() > 0x40000000u ? 0x40000000u : static_cast<DWORD>(bytes.size());
    DWORD written = 0;
    if (!WriteFile(file, bytes.data(), chunk, &written, nullptr) || written == 0) {
      return false;
    }
    bytes.remove_prefix(written);
  }
  return true;
}

bool transient(DWORD error) {
  return error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION ||
         error == ERROR_LOCK_VIOLATION;
}

}  // namespace

bool runs_on_windows() {
  return true;
}

std::thread start_thread_keeping_stop_signals(const std::function<void()>& body) {
  return std::thread(body);
}

std::optional<std::filesystem::path> program_file() {
  // The buffer grows until the whole name fits (names may exceed MAX_PATH).
  std::wstring name(MAX_PATH, L'\0');
  for (int attempt = 0; attempt < 8; ++attempt) {
    const DWORD length = GetModuleFileNameW(nullptr, name.data(), static_cast<DWORD>(name.size()));
    if (length == 0) {
      return std::nullopt;
    }
    if (length < name.size()) {
      name.resize(length);
      return std::filesystem::path(name);
    }
    name.resize(name.size() * 2);
  }
  return std::nullopt;
}

std::string environment_variable(const char* name) {
  const std::wstring key = wide(name);
  const DWORD size = GetEnvironmentVariableW(key.c_str(), nullptr, 0);
  if (size == 0) return {};
  std::wstring value(size, L'\0');
  const DWORD length = GetEnvironmentVariableW(key.c_str(), value.data(), size);
  if (length == 0 || length >= size) return {};
  value.resize(length);
  return utf8(value);
}

void advise_huge_pages(void* /*start*/, std::size_t /*bytes*/) {}

bool folder_is_writable(const std::filesystem::path& folder) {
  // Windows decides by the folder's access rules, which only an attempt
  // tells: a file is made there and goes again when it is closed.
  for (int attempt = 0; attempt < kTemporaryNames; ++attempt) {
    std::filesystem::path probe = folder;
    probe /= L".rangiertrubel-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
             std::to_wstring(attempt) + L".tmp";
    Handle file(CreateFileW(
        probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
        FILE_ATTRIBUTE_TEMPORARY | FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
    if (file.valid()) return true;
    if (GetLastError() != ERROR_FILE_EXISTS) return false;
  }
  return false;
}

std::string make_private_folder(const std::filesystem::path& folder) {
  if (!CreateDirectoryW(folder.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
    return reason_of(GetLastError());
  }
  std::error_code ec;
  if (!std::filesystem::is_directory(folder, ec)) return reason_of(ERROR_DIRECTORY);
  return "";
}

std::string replace_file(const std::filesystem::path& target, std::string_view bytes) {
  // The temporary file is made new (CREATE_NEW fails on anything already
  // there, a link included), so nothing planted beside the target can
  // redirect the write.
  std::filesystem::path temporary;
  Handle file;
  for (int attempt = 0; attempt < kTemporaryNames && !file.valid(); ++attempt) {
    temporary = target;
    temporary +=
        L".tmp." + std::to_wstring(GetCurrentProcessId()) + L"." + std::to_wstring(attempt);
    HANDLE made = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (made != INVALID_HANDLE_VALUE) {
      file.reset(made);
      break;
    }
    const DWORD error = GetLastError();
    if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) {
      return reason_of(error);
    }
  }
  if (!file.valid()) {
    return "no free name for a temporary file";
  }
  DWORD error = 0;
  if (!write_all(file.get(), bytes)) error = GetLastError();
  if (!FlushFileBuffers(file.get()) && error == 0) error = GetLastError();
  if (!file.close() && error == 0) error = GetLastError();
  for (int attempt = 0; error == 0; ++attempt) {
    // MOVEFILE_WRITE_THROUGH returns only once the move is on the disk.
    if (MoveFileExW(temporary.c_str(), target.c_str(),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
      return "";
    }
    const DWORD move_error = GetLastError();
    if (!transient(move_error) || attempt + 1 >= kMoveTries) {
      error = move_error;
    } else {
      std::this_thread::sleep_for(kMovePause);
    }
  }
  DeleteFileW(temporary.c_str());  // the old file stays as it was
  return reason_of(error);
}

// Windows cannot lock a folder; the lock is a file in it opened for this
// program alone. Another copy's attempt fails with a sharing violation while
// it is open, and the system deletes it when it is closed, also when the
// program dies, so no lock file is left behind.
struct FolderLock::State {
  std::filesystem::path file;
  Handle handle;
  DWORD error = 0;
};

FolderLock::FolderLock(const std::filesystem::path& folder) : state_(std::make_unique<State>()) {
  state_->file = folder / L"rangiertrubel.lock";
}

FolderLock::~FolderLock() = default;

bool FolderLock::try_lock() {
  if (state_->handle.valid()) return true;
  HANDLE handle = CreateFileW(
      state_->file.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
      FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    state_->error = GetLastError();
    return false;
  }
  state_->handle.reset(handle);
  return true;
}

bool FolderLock::held_elsewhere() const {
  // A file being deleted by its last holder refuses new opens for a moment.
  return state_->error == ERROR_SHARING_VIOLATION || state_->error == ERROR_ACCESS_DENIED;
}

std::string FolderLock::reason() const {
  return reason_of(state_->error);
}

}  // namespace rt::os

namespace rt {

namespace {

FileBytes failed(FileBytes::Status status, int error = 0) {
  FileBytes result;
  result.status = status;
  result.error = error;
  return result;
}

// The C library's number for a Windows error, for the reader's messages.
int errno_of(DWORD error) {
  switch (error) {
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
      return EACCES;
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
      return ENOMEM;
    default:
      return EIO;
  }
}

}  // namespace

FileBytes read_bounded_file(const std::filesystem::path& path, std::size_t cap) {
  // Opened for reading, sharing everything, so that the game never stands in
  // another program's way; a folder opens too (backup semantics) and is then
  // told apart as not a regular file.
  const HANDLE opened = CreateFileW(
      path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (opened == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    const bool missing = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ||
                         error == ERROR_INVALID_NAME || error == ERROR_BAD_NETPATH;
    return failed(missing ? FileBytes::Status::Missing : FileBytes::Status::Unreadable,
                  missing ? ENOENT : errno_of(error));
  }
  os::Handle file(opened);
  // Pipes, consoles and devices (NUL, COM1) are not files on a disk.
  if (GetFileType(file.get()) != FILE_TYPE_DISK) return failed(FileBytes::Status::NotRegular);
  BY_HANDLE_FILE_INFORMATION info{};
  if (!GetFileInformationByHandle(file.get(), &info)) {
    return failed(FileBytes::Status::Unreadable, errno_of(GetLastError()));
  }
  if ((info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    return failed(FileBytes::Status::NotRegular);
  }
  const std::uint64_t size =
      (static_cast<std::uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
  if (size > cap) return failed(FileBytes::Status::TooBig);

  FileBytes result;
  result.status = FileBytes::Status::Ok;
  // One byte more than the cap is asked for, so that a file that grew since
  // the size was looked at is seen to be too big.
  result.bytes.resize(static_cast<std::size_t>(size) + 1);
  std::size_t got = 0;
  for (;;) {
    if (got == result.bytes.size()) {
      if (got > cap) return failed(FileBytes::Status::TooBig);
      result.bytes.resize(std::min(cap + 1, got * 2 + 4096));
    }
    const std::size_t room = result.bytes.size() - got;
    const DWORD want = room > 0x40000000u ? 0x40000000u : static_cast<DWORD>(room);
    DWORD n = 0;
    if (!ReadFile(file.get(), result.bytes.data() + got, want, &n, nullptr)) {
      return failed(FileBytes::Status::Unreadable, errno_of(GetLastError()));
    }
    if (n == 0) break;
    got += n;
  }
  if (got > cap) return failed(FileBytes::Status::TooBig);
  result.bytes.resize(got);
  return result;
}

}  // namespace rt
