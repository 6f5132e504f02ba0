// The screens around the game: title, main menu, the list of the ten best
// scores and the name entry, sharing the game's platform and state.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "game/game.h"
#include "platform/platform.h"

namespace rt {

struct HighScoreEntry {
  std::string name;  // bytes in code page 437, may be empty
  std::int32_t points = 0;
};

// The ten best results, best first (positions 1..10 are indexes 0..9).
using HighScoreTable = std::array<HighScoreEntry, 10>;

// The list as the file holds it: twenty fields, a name and its points per
// entry; missing fields give "" and 0.
HighScoreTable parse_high_scores(std::string_view bytes);
// The file's bytes for a list: twenty lines ending in CR LF, each name in
// double quotes (a quote inside a name is written as an apostrophe).
std::string high_score_bytes(const HighScoreTable& list);
// Puts a result in the list above the first entry it beats, moving the rest
// down one place; false when it beats none.
bool insert_high_score(HighScoreTable& list, const HighScoreEntry& entry);
// The list on disk with every entry of `ours` it does not hold yet inserted
// by the same rule, so that another copy's entries saved meanwhile stay.
HighScoreTable merge_high_scores(const HighScoreTable& on_disk, const HighScoreTable& ours);

// The title screen, the main menu and the high-score list around the game.
class FrontEnd {
 public:
  FrontEnd(Platform& platform, Game& game) : p_(platform), game_(game) {}

  HighScoreTable high_scores;
  // False from a save that failed until one succeeds: the menu says so.
  bool high_scores_saved = true;
  // A line the menu shows at its foot (the seed of generated levels); none
  // when empty.
  std::string menu_note;

  // Title screen (frontend/title_screen.cpp).
  void show_title_screen();
  // Main menu (frontend/main_menu.cpp); returns only to start a game.
  void main_menu();
  // High-score list and file (frontend/high_scores.cpp).
  void load_high_scores();
  void show_high_scores();
  void enter_high_score();
  // Saves the list, merged with the one on disk; on failure one line names
  // the file and the reason, and the list in memory stays as it is.
  void save_high_scores();

 private:
  Platform& p_;
  Game& game_;
};

}  // namespace rt
