// The soak's random player: seeded random keys for the game, the menu and the
// name entry.
#pragma once

#include <random>

#include "app/program.h"
#include "hosts/sim/sim_host.h"

namespace rt::soak {

// The random player: looks at what the program is doing and schedules the
// next few key events for it, then comes back when they are done.
class Player {
 public:
  Player(SimHost& host, const Program& program, std::mt19937_64& rng);

  void start(double time);

 private:
  double uniform(double low, double high);
  int pick(int count);
  void tap(double time, int scan_code, int code, double hold);
  void act();
  // In the game: arrows, alone, held long or two at once, the speed-up, the
  // sound switch, giving up a locomotive, a plain key, or nothing for a while.
  double play(double now);
  // In the menu: mostly moves and choices; rarely Escape. Choosing the
  // second item ends the program through "SPIEL BEENDEN".
  double use_menu(double now);
  // In the name entry: a burst of typed codes with quotes, commas, high
  // bytes and the editing keys; Enter ends the name.
  double type_name(double now);

  SimHost& host_;
  const Program& program_;
  std::mt19937_64& rng_;
};

}  // namespace rt::soak
