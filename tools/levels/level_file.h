// Level files as the level tool sees them: read, checked against the rules
// of play, driven unslid and drawn as text.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "game/board.h"

namespace rt::levels {

// A level as its file describes it: the 20 x 14 playing field and the hole.
struct Level {
  Board board;
  int hole_x = 0;
  int hole_y = 0;
};

// One fault found in a level file; column and row are 0 when the fault is not
// about one cell.
struct Problem {
  std::string message;
  int column = 0;
  int row = 0;
};

// Number of integer fields in a level file: 280 cells, then the hole.
inline constexpr int kLevelFields = 282;

// Reads a level file's bytes exactly as the game does (field by field), and
// reports where the file strays from the plain form: fields that are not
// whole numbers, fewer or more than 282 fields.
Level read_level(std::string_view bytes, std::vector<Problem>& problems);

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

// The level drawn as text, one character per cell, rows 1..14.
std::string draw_level(const Level& level);

}  // namespace rt::levels
