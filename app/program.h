// The program above game and front end, as every host's entry and every
// simulated run create it.
#pragma once

#include <string>
#include <string_view>

#include "frontend/frontend.h"
#include "game/game.h"
#include "platform/platform.h"

namespace rt {

// The whole program: the game and the front end around it. run() is the
// start-up and the endless cycle of menu, game and high-score entry; it
// leaves only through end_program (ProgramEnd) or a host's stop.
class Program {
 public:
  explicit Program(Platform& platform)
      : platform_(platform), game(platform), frontend(platform, game) {}

  void run();

 private:
  Platform& platform_;

 public:
  Game game;
  FrontEnd frontend;
};

// The window's title: the program file's name without its folder and
// extension ("rangiertrubel" for "/usr/games/rangiertrubel" or
// "C:\\Spiele\\rangiertrubel.exe"); "rangiertrubel" when the name is unknown.
std::string program_title(std::string_view program_path);

}  // namespace rt
