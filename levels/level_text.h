// A level as text, one character per cell and a line per row from the top:
// - | straight track, J L 7 F the curves ┘ └ ┐ ┌, . grass, T tree, H house,
// S station, o the hole. The level tool shows levels in it and the tests
// draw their small levels in it.
#pragma once

#include <string>
#include <vector>

#include "game/level_file.h"

namespace rt {

// All 14 rows of 20 cells, each ending in a newline; a code the game has no
// picture for is a '?'.
std::string level_text(const Level& level);

// The level the rows draw. A drawing may be smaller than the field: every
// cell it leaves out, and every character not named above, is a tree, so the
// hole stays within the drawing. The hole's position is the last 'o'.
Level level_from_text(const std::vector<std::string>& rows);

}  // namespace rt
