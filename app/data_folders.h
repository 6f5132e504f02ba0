// Where the desktop program finds its Data, Sprites and Waves folders: the
// working directory, the program's own folder, an installed tree beside the
// program, or the folder the game was installed to.
#pragma once

#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

namespace rt {

// The places to look, from the running program.
struct DataSearch {
  std::filesystem::path working_dir;  // the working directory
  std::filesystem::path program;      // the program's real path; empty when unknown
  // The installed data relative to the installed program's folder, e.g.
  // "../share/rangiertrubel"; empty for none.
  std::filesystem::path data_from_program;
  std::filesystem::path installed_data;  // the install prefix's data folder; empty for none
};

// The candidates in the order they are tried: the working directory, the
// program's own folder, the data folder relative to the program's folder,
// the installed data folder.
std::vector<std::filesystem::path> data_candidates(const DataSearch& search);

struct DataRoot {
  std::filesystem::path root;
  std::vector<std::string> missing;  // the data folders not found there
};

// The first candidate that holds all three data folders. When none does,
// the one that holds the most of them, the earlier on a tie (so the working
// directory when none holds any), with the folders it lacks.
DataRoot find_data_root(const DataSearch& search);

// The search of the running program: its working directory, its real path
// from /proc/self/exe, and the places the build was configured to install
// to. Each data folder still missing is reported once on `err`; the game
// runs on without it.
std::filesystem::path choose_data_root(std::ostream& err);

}  // namespace rt
