// The data-folder lookup of the desktop program.
#include "app/data_folders.h"

#include <array>
#include <iostream>
#include <system_error>

namespace rt {

namespace {

namespace fs = std::filesystem;

constexpr std::array<const char*, 3> kDataFolders = {"Data", "Sprites", "Waves"};

int data_folders_in(const fs::path& folder) {
  int found = 0;
  for (const char* name : kDataFolders) {
    std::error_code ec;
    if (fs::is_directory(folder / name, ec)) ++found;
  }
  return found;
}

}  // namespace

fs::path choose_data_root() {
  const fs::path here = ".";
  const int here_found = data_folders_in(here);
  if (here_found == static_cast<int>(kDataFolders.size())) return here;

  std::error_code ec;
  const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
  fs::path root = here;
  if (!ec && exe.has_parent_path()) {
    const fs::path own = exe.parent_path();
    if (data_folders_in(own) > here_found) root = own;
  }
  for (const char* name : kDataFolders) {
    std::error_code missing;
    if (!fs::is_directory(root / name, missing)) {
      std::cerr << "rangiertrubel: Ordner \"" << name << "\" fehlt in "
                << fs::absolute(root, missing).lexically_normal().string() << '\n';
    }
  }
  return root;
}

}  // namespace rt
