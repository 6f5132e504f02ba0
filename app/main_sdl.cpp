// The desktop program: the game on the SDL host, working in the folder that
// holds its data, its window named after the program file, the list of best
// scores in the data folder or, when that is read-only, the player's own.
#include "app/data_folders.h"
#include "app/program.h"
#include "platform/score_file.h"
#include "platform/sdl_host.h"

int main(int argc, char** argv) {
  const std::filesystem::path root = rt::choose_data_root();
  const std::string title = rt::program_title(argc > 0 && argv[0] != nullptr ? argv[0] : "");
  return rt::run_on_sdl(title, root, [&root](rt::Platform& platform) {
    platform.set_score_file(rt::score_file_for(root));
    rt::Program program(platform);
    program.run();
  });
}
