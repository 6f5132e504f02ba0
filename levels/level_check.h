// The rules a level kept for play must keep, and what the locomotive does on
// a level nobody slides in.
#pragma once

#include <vector>

#include "game/board.h"
#include "game/level_file.h"

namespace rt {

// The rules a shipped level keeps: only codes the game draws, a track piece
// on column 1, row 1, a piece taking the locomotive from the left on column 2,
// row 1, exactly one hole at the position the file gives, exactly one station,
// and a route that does not already reach the station without a slide.
std::vector<LevelProblem> check_level(const Level& level);

// What the locomotive does on the board as laid, with no slide made.
struct Drive {
  bool reaches_station = false;
  int steps = 0;  // steps taken before it wins or crashes
  int x = 1;      // where it ends
  int y = 1;
};
Drive drive_unslid(const Board& board);

}  // namespace rt
