// The desktop program: the game on the SDL host, working in the folder that
// holds its data.
#include <array>
#include <filesystem>
#include <iostream>
#include <optional>
#include <system_error>

#include "game/program.h"
#include "platform/os.h"
#include "platform/sdl_host.h"

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

// The working directory when it holds the data folders; otherwise the
// program's own folder when that holds them; otherwise whichever of the two
// holds more of them, the working directory on a tie. Each data folder still
// missing there is reported once; the game runs on without it.
fs::path choose_root() {
  const fs::path here = ".";
  const int here_found = data_folders_in(here);
  if (here_found == static_cast<int>(kDataFolders.size())) return here;

  const std::optional<fs::path> exe = rt::os::program_file();
  fs::path root = here;
  if (exe && exe->has_parent_path()) {
    const fs::path own = exe->parent_path();
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

}  // namespace

int main() {
  const fs::path root = choose_root();
  return rt::run_on_sdl("rangiertrubel", root, [](rt::Platform& platform) {
    rt::Program program(platform);
    program.run();
  });
}
