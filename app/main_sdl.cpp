// The desktop program: the command line, then the game on the SDL host,
// working in the folder that holds its data, its window named after the
// program file, the list of best scores in the data folder or, when that is
// read-only, the player's own.
#include <algorithm>
#include <iostream>
#include <string_view>
#include <vector>

#include "app/command_line.h"
#include "app/data_folders.h"
#include "app/program.h"
#include "game/assets.h"
#include "hosts/sdl/sdl_host.h"
#include "platform/formats/score_file.h"

int main(int argc, char** argv) {
  const std::string_view program = argc > 0 && argv[0] != nullptr ? argv[0] : "rangiertrubel";
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
  const std::filesystem::path root = rt::choose_data_root(std::cerr);
  const std::string title = rt::program_title(argc > 0 && argv[0] != nullptr ? argv[0] : "");
  rt::SdlOptions options;
  options.fullscreen = line.fullscreen;
  options.integer_scale = line.integer_scale;
  options.icon_path = rt::assets::picture_path(rt::assets::kWindowIcon.name);
  options.icon_size = rt::assets::kWindowIcon.size;
  return rt::run_on_sdl(
      title, root,
      [&root](rt::Platform& platform) {
        platform.set_score_file(rt::score_file_for(root));
        rt::Program program(platform);
        program.run();
      },
      options);
}
