// The choice of the score file, from the game's folder and the player's.
#include "platform/formats/score_file.h"

#include <system_error>

#include "platform/os/os.h"

namespace rt {

namespace {

constexpr const char* kGameFolder = "rangiertrubel";
constexpr const char* kListName = "High.dat";
constexpr const char* kGeneratedListName = "HighGen.dat";

}  // namespace

std::filesystem::path ScoreFile::to_read() const {
  std::error_code ec;
  const auto status = std::filesystem::symlink_status(saved, ec);
  if (saved != installed && status.type() != std::filesystem::file_type::not_found && !ec) {
    return saved;
  }
  return installed;
}

UserFolders user_folders_from_environment() {
  UserFolders folders;
  folders.xdg_data_home = os::environment_variable("XDG_DATA_HOME");
  folders.home = os::environment_variable("HOME");
  folders.appdata = os::environment_variable("APPDATA");
  folders.windows = os::runs_on_windows();
  return folders;
}

std::optional<std::filesystem::path> personal_score_file(const UserFolders& folders) {
  std::filesystem::path base;
  if (folders.windows) {
    base = folders.appdata;
  } else if (!folders.xdg_data_home.empty() &&
             std::filesystem::path(folders.xdg_data_home).is_absolute()) {
    // A relative XDG_DATA_HOME is invalid and is ignored, as the XDG rules say.
    base = folders.xdg_data_home;
  } else if (!folders.home.empty()) {
    base = std::filesystem::path(folders.home) / ".local" / "share";
  }
  if (base.empty() || !base.is_absolute()) return std::nullopt;
  return base / kGameFolder / kListName;
}

bool folder_is_writable(const std::filesystem::path& folder) {
  return os::folder_is_writable(folder);
}

ScoreFile choose_score_file(const std::filesystem::path& data_root, bool data_writable,
                            const std::optional<std::filesystem::path>& personal) {
  ScoreFile file;
  file.installed = data_root / "Data" / kListName;
  file.saved = file.installed;
  if (!data_writable && personal) {
    file.saved = *personal;
    file.make_folder = true;
  }
  return file;
}

ScoreFile score_file_for(const std::filesystem::path& data_root) {
  return choose_score_file(data_root, folder_is_writable(data_root / "Data"),
                           personal_score_file(user_folders_from_environment()));
}

ScoreFile generated_levels_list(const ScoreFile& shipped) {
  ScoreFile file = shipped;
  file.installed.replace_filename(kGeneratedListName);
  file.saved.replace_filename(kGeneratedListName);
  return file;
}

}  // namespace rt
