// Where the desktop program finds its Data, Sprites and Waves folders: the
// working directory or the program's own folder.
#pragma once

#include <filesystem>

namespace rt {

// The working directory when it holds the data folders; otherwise the
// program's own folder when that holds them; otherwise whichever of the two
// holds more of them, the working directory on a tie. Each data folder still
// missing there is reported once on standard error; the game runs on without it.
std::filesystem::path choose_data_root();

}  // namespace rt
