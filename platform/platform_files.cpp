// The numbered text files (handed to NumberedFiles), the list of best scores,
// and the player's track files.
#include <algorithm>
#include <system_error>

#include "platform/os/os.h"
#include "platform/platform.h"

namespace rt {

namespace {

// A save waits this long for another copy of the game to finish its own.
constexpr int kLockTries = 200;
constexpr int kLockPauseMs = 10;

// Makes `folder` and every missing folder above it for the player alone (as
// the XDG rules ask for folders a program makes in the player's data
// folder); "" when it is there afterwards, otherwise why not.
std::string make_private_folders(const std::filesystem::path& folder) {
  std::error_code ec;
  if (folder.empty() || std::filesystem::is_directory(folder, ec)) return "";
  const std::string above = make_private_folders(folder.parent_path());
  if (!above.empty()) return above;
  return os::make_private_folder(folder);
}

}  // namespace

int Platform::open_file(std::string_view path, FileMode mode, int file_number) {
  return files_.open(host_path(path), mode, file_number,
                     [this](const std::filesystem::path& file, std::string_view reason) {
                       report_file_problem(file, reason);
                     });
}

int Platform::close_file(int file_number) {
  return files_.close(file_number);
}

void Platform::begin_read(int file_number) {
  files_.begin_read(file_number);
}

std::int32_t Platform::read_int_field() {
  return files_.read_int();
}

std::string Platform::read_string_field() {
  return files_.read_string();
}

std::filesystem::path Platform::tracks_folder() const {
  std::filesystem::path folder = score_file_.saved.parent_path();
  if (folder.empty()) folder = root_ / "Data";
  return folder / "Strecken";
}

std::string Platform::keep_players_file(const std::filesystem::path& file, std::string_view bytes) {
  std::string reason = make_private_folders(file.parent_path());
  if (reason.empty()) reason = os::replace_file(file, bytes);
  if (reason.empty()) reason = host_.files_changed();
  return reason;
}

std::vector<std::string> Platform::track_file_names() const {
  std::vector<std::string> names;
  std::error_code ec;
  for (std::filesystem::directory_iterator it(tracks_folder(), ec), end; !ec && it != end;
       it.increment(ec)) {
    const std::filesystem::path& path = it->path();
    if (path.extension() == ".dat" && it->is_regular_file(ec)) {
      names.push_back(path.filename().string());
    }
  }
  std::sort(names.begin(), names.end());
  return names;
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
  // Every copy of the game locks the folder that holds the list.
  os::FolderLock lock(folder);
  bool locked = lock.try_lock();
  for (int attempt = 1; !locked && lock.held_elsewhere() && attempt < kLockTries; ++attempt) {
    host_.pause_ms(kLockPauseMs);
    locked = lock.try_lock();
  }
  if (!locked) {
    result.reason =
        lock.held_elsewhere() ? "the list stays locked by another copy of the game" : lock.reason();
    return result;
  }
  host_.read_kept_file(result.file);
  const std::string written = merge(read_score_file());
  result.reason = os::replace_file(result.file, written);
  // A host that keeps its files elsewhere stores the new list now; a list
  // it could not keep is not saved, whatever the file in memory says.
  if (result.reason.empty()) result.reason = host_.files_changed();
  result.ok = result.reason.empty();
  return result;
}

}  // namespace rt
