// Recording the runner scripts that solve the shipped levels.
#pragma once

#include <array>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "game/level_file.h"
#include "game/rules.h"
#include "levels/play.h"
#include "platform/keyboard.h"

namespace rt::level_tool {

// The arrow keys of the slides, as plans and runner scripts name them.
struct SlideKey {
  Slide slide;
  const char* name;
  int scan_code;
};
inline constexpr std::array<SlideKey, 4> kSlideKeys{{{Slide::Up, "Up", scan::kUp},
                                                     {Slide::Down, "Down", scan::kDown},
                                                     {Slide::Left, "Left", scan::kLeft},
                                                     {Slide::Right, "Right", scan::kRight}}};

// The runner's name of the arrow key that makes slide `s`: "Up", "Down",
// "Left" or "Right".
std::string slide_key(Slide s);

// A plan's slide as a word of a plans file: the arrow key's name, and after
// an @ the locomotive's steps to wait for before it is pressed ("Down@3").
// False for a word that names no slide.
bool read_slide_word(const std::string& word, TimedSlide& slide);

// What one level of a recorded run took.
struct LevelRecord {
  int slides = 0;
  int steps = 0;          // steps of the locomotive until the station
  double interval = 0.0;  // seconds per step
  // Seconds between the last slide and the crash it prevented (the level
  // played with every slide but the last); below 0 when the level is won
  // without the last slide too.
  double spare = 0.0;
  double won_at = 0.0;           // virtual time the level counter moved on
  std::size_t script_lines = 0;  // lines of the run's script up to the win
};

struct Recording {
  std::vector<std::string> script;  // the whole run, one command per line
  std::vector<LevelRecord> levels;
  std::string error;  // empty when every level was won with no locomotive lost
};

// Plays the program on the simulated host in `dir` (holding Data, Sprites and
// Waves): starts a game from the menu on level `first_level` (as the runner's
// --level does), and on every level presses the arrow keys of its plan one
// after another, each once the locomotive has made the slide's `after_step`
// steps, and held until its slide has happened. Records the key presses as a
// script for rangiertrubel-sim. The script is in time order. A
// `level_source` gives the game its levels instead of the files, as seeded
// play does.
Recording record_solutions(const std::filesystem::path& dir,
                           const std::vector<std::vector<TimedSlide>>& plans, int first_level = 1,
                           std::function<Level(int)> level_source = {});

// The recorded run until level `index` (from 0) was won, then its state and
// the end.
std::vector<std::string> script_until_won(const Recording& recording, std::size_t index);

// Writes a script with a title line; false when it could not be written.
bool write_script(const std::filesystem::path& path, const std::string& title,
                  const std::vector<std::string>& lines);

}  // namespace rt::level_tool
