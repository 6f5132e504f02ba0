// Recording the runner scripts that solve the shipped levels.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace rt::levels {

// The slides that solve one level, as arrow key names ("Up", "Left", ...).
using Plan = std::vector<std::string>;

// What one level of a recorded run took.
struct LevelRecord {
  int slides = 0;
  int steps = 0;                 // steps of the locomotive until the station
  double interval = 0.0;         // seconds per step
  double spare = 0.0;            // seconds between the last slide and the crash it prevented
  double won_at = 0.0;           // virtual time the level counter moved on
  std::size_t script_lines = 0;  // lines of the run's script up to the win
};

struct Recording {
  std::vector<std::string> script;  // the whole run, one command per line
  std::vector<LevelRecord> levels;
  std::string error;  // empty when every level was won with no locomotive lost
};

// Plays the program on the simulated host in `dir` (holding Data, Sprites and
// Waves): starts a game from the menu, and on every level presses the arrow
// keys of its plan one after another, each held until its slide has happened.
// Records the key presses as a script for rangiertrubel-sim.
Recording record_solutions(const std::filesystem::path& dir, const std::vector<Plan>& plans);

}  // namespace rt::levels
