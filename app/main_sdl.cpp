// The desktop program: the game on the SDL host, working in the folder that
// holds its data.
#include <iostream>

#include "app/data_folders.h"
#include "app/program.h"
#include "game/assets.h"
#include "platform/sdl_host.h"

int main() {
  const std::filesystem::path root = rt::choose_data_root(std::cerr);
  return rt::run_on_sdl(
      "rangiertrubel", root,
      [](rt::Platform& platform) {
        rt::Program program(platform);
        program.run();
      },
      rt::WindowIcon{rt::assets::picture_path(rt::assets::kWindowIcon.name),
                     rt::assets::kWindowIcon.size});
}
