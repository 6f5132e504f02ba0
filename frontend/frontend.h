// The screens around the game: title, main menu, the list of the ten best
// scores and the name entry, sharing the game's platform and state.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "game/game.h"
#include "platform/platform.h"

namespace rt {

struct HighScoreEntry {
  std::string name;  // bytes in code page 437, may be empty
  std::int32_t points = 0;
};

// The ten best results, best first (positions 1..10 are indexes 0..9).
using HighScoreTable = std::array<HighScoreEntry, 10>;

// The title screen, the main menu and the high-score list around the game.
class FrontEnd {
 public:
  FrontEnd(Platform& platform, Game& game) : p_(platform), game_(game) {}

  HighScoreTable high_scores;

  // Title screen (frontend/title_screen.cpp).
  void show_title_screen();
  // Main menu (frontend/main_menu.cpp); returns only to start a game.
  void main_menu();
  // High-score list and file (frontend/high_scores.cpp).
  void load_high_scores();
  void show_high_scores();
  void enter_high_score();
  void save_high_scores();

 private:
  Platform& p_;
  Game& game_;
};

}  // namespace rt
