// Plays one game from the first level to game over in an SDL window, with
// the pictures, levels and sounds of the folder given as the first argument
// (the current folder when none is given).

#include <filesystem>

#include "game/game.h"
#include "platform/platform.h"
#include "platform/sdl_host.h"

int main(int argc, char** argv) {
  const std::filesystem::path root = argc > 1 ? std::filesystem::path(argv[1]) : ".";
  return rt::run_on_sdl("rangiertrubel-play", root, [](rt::Platform& p) {
    p.set_screen_mode("rangiertrubel-play");
    rt::Game game(p);
    game.load_sprites();
    p.set_text_color(0xFFFFFF38, 0);
    game.sound_on = 1;
    game.GameState = rt::state::kPlaying;
    game.last_poll_time = static_cast<float>(p.timer_seconds());
    game.last_step_time = static_cast<float>(p.timer_seconds());
    game.play_game();
    p.end_program(0);
  });
}
