// The desktop program: the game on the SDL host, working in the folder that
// holds its data.
#include <algorithm>
#include <array>
#include <filesystem>
#include <iostream>
#include <string_view>
#include <system_error>
#include <vector>

#include "game/program.h"
#include "platform/command_line.h"
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

}  // namespace

int main(int argc, char** argv) {
  const std::string_view program = argc > 0 ? argv[0] : "rangiertrubel";
  const std::vector<std::string_view> args(argv + std::min(argc, 1), argv + argc);
  const rt::CommandLine line = rt::parse_command_line(args);
  switch (line.action) {
    case rt::CommandLine::Action::Help:
      std::cout << rt::usage_text(program);
      return 0;
    case rt::CommandLine::Action::Version:
      std::cout << "rangiertrubel " << RT_VERSION << '\n';
      return 0;
    case rt::CommandLine::Action::Wrong:
      std::cerr << "rangiertrubel: unknown option \"" << line.wrong << "\"\n"
                << rt::usage_text(program);
      return 2;
    case rt::CommandLine::Action::Play:
      break;
  }
  const fs::path root = choose_root();
  rt::SdlOptions options;
  options.fullscreen = line.fullscreen;
  options.integer_scale = line.integer_scale;
  return rt::run_on_sdl(
      "rangiertrubel", root,
      [](rt::Platform& platform) {
        rt::Program program(platform);
        program.run();
      },
      options);
}
