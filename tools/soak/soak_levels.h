// The soak's levels: what a level file holds, as the checker compares it with
// the board, and the seeded levels of a generated soak.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "game/rules.h"

namespace rt::soak {

// How many cells of each code a level holds (the 280 cells of the field,
// sorted), and where its hole is.
struct LevelContents {
  std::vector<TileCode> codes;  // sorted
  int cursor_x = 0;
  int cursor_y = 0;
  bool hole_empty = false;  // the cell at the hole holds 0
};

// Reads a level file the way the game does (missing fields read as 0, the
// hole clamped into the field).
LevelContents level_contents(const std::filesystem::path& file);

// The text of generated level `number` (1..10) for `seed`.
std::string generated_level(std::uint64_t seed, int number);

}  // namespace rt::soak
