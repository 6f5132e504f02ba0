// Level files as the level tool sees them: checked against the rules of
// play, driven unslid and drawn as text.
#pragma once

#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

#include "game/board.h"
#include "game/level_file.h"

namespace rt::levels {

// The level form is the game's own: the tool reads it with the game's reader.
using Level = ::rt::Level;
using Problem = ::rt::LevelProblem;
using ::rt::kLevelFields;
using ::rt::read_level;

// The rules a shipped level keeps: only codes the game draws, a track piece
// on column 1, row 1, a piece taking the locomotive from the left on column 2,
// row 1, exactly one hole at the position the file gives, exactly one station,
// and a route that does not already reach the station without a slide.
std::vector<Problem> check_level(const Level& level);

// What the locomotive does on the board as laid, with no slide made.
struct Drive {
  bool reaches_station = false;
  int steps = 0;  // steps taken before it wins or crashes
  int x = 1;      // where it ends
  int y = 1;
};
Drive drive_unslid(const Board& board);

// Reads a level or plans file, as the game reads its files: regular files
// only, at most 1 MiB. An error names the file on `err`.
bool read_file(const std::string& path, std::string& bytes, std::ostream& err);

// The level drawn as text, one character per cell, rows 1..14.
std::string draw_level(const Level& level);

}  // namespace rt::levels
