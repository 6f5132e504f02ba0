// The desktop program: the game on the SDL host, working in the folder that
// holds its data.
#include "app/data_folders.h"
#include "app/program.h"
#include "platform/sdl_host.h"

int main() {
  const std::filesystem::path root = rt::choose_data_root();
  return rt::run_on_sdl("rangiertrubel", root, [](rt::Platform& platform) {
    rt::Program program(platform);
    program.run();
  });
}
