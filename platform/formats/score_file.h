// Where the list of the ten best scores is kept: the file shipped with the
// game, or the player's own copy when the game's folder cannot be written.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace rt {

// Where the list of best scores is read from and saved to.
struct ScoreFile {
  // The list shipped with the game: `<data folder>/Data/High.dat`.
  std::filesystem::path installed;
  // Where saves go: the installed list itself, or the player's own copy.
  std::filesystem::path saved;
  // The player's own folder may still have to be made on the first save; the
  // game's Data folder never is.
  bool make_folder = false;

  // The list to read at start: the saved one when it is there, otherwise the
  // installed one.
  std::filesystem::path to_read() const;
};

// The environment the choice depends on, read once by the program.
struct UserFolders {
  std::string xdg_data_home;  // $XDG_DATA_HOME
  std::string home;           // $HOME
  std::string appdata;        // %APPDATA%
  bool windows = false;       // the Windows rule instead of the XDG one
};

// The variables of this process's environment, and the rule of this system.
UserFolders user_folders_from_environment();

// The player's own list: `$XDG_DATA_HOME/rangiertrubel/High.dat`, with
// `~/.local/share` when XDG_DATA_HOME is unset, empty or not absolute; on
// Windows `%APPDATA%\rangiertrubel\High.dat`. None when no folder is known.
std::optional<std::filesystem::path> personal_score_file(const UserFolders& folders);

// True when a new file can be made in `folder` (the program's own rights).
bool folder_is_writable(const std::filesystem::path& folder);

// The choice: a writable data folder (a build folder, a copy unpacked
// anywhere) keeps the list in `Data/High.dat`; an installed, read-only one
// sends saves to the player's own list, read from there once it exists.
ScoreFile choose_score_file(const std::filesystem::path& data_root, bool data_writable,
                            const std::optional<std::filesystem::path>& personal);

// The choice for the data folder `data_root` on this machine, for this user.
ScoreFile score_file_for(const std::filesystem::path& data_root);

// The list of games on generated levels, one for every seed and apart from
// the shipped levels' list: `HighGen.dat` in the same folders as `shipped`.
ScoreFile generated_levels_list(const ScoreFile& shipped);

}  // namespace rt
