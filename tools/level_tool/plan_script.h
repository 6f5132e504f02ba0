// A solver's plan turned into a script for rangiertrubel-sim: the plan played
// through the whole program on the simulated host and its key presses kept.
#pragma once

#include <filesystem>
#include <string>

#include "game/level_file.h"
#include "levels/solver.h"

namespace rt::level_tool {

// What became of a recording: status 0 when the script was written;
// otherwise the level tool's status (kFaultsStatus: the plan did not win in
// the program; kFileStatus: a file could not be written) and why.
struct ScriptResult {
  int status = 0;
  std::string why;
};

// Plays `plan` on `level` standing in for level `number`, the game started
// there as the runner's --level starts it, and writes the key presses to
// `script` under the title line `title`.
ScriptResult write_plan_script(const Level& level, int number, const Plan& plan,
                               const std::filesystem::path& script, const std::string& title);

}  // namespace rt::level_tool
