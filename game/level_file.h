// The level file form: its bytes turned into the playing field and the hole,
// read field by field as the game reads them, with the places where a file
// strays from the plain form; and a level written back in that form.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "game/board.h"

namespace rt {

// Number of integer fields in a level file: 280 cells, column by column,
// then the hole's column and row.
inline constexpr int kLevelFields = kColumns * kRows + 2;

// A level as its file describes it: the 20 x 14 playing field (the border
// stays 0) and the hole exactly as the file gives it, which may lie outside
// the field.
struct Level {
  Board board;
  int cursor_x = 0;
  int cursor_y = 0;

  // Where the game puts the hole: a position outside the field (a short,
  // missing or faulty file) moves to the field's nearest cell, so that the
  // slides only ever address cells of the board.
  int hole_column() const { return Board::nearest_column(cursor_x); }
  int hole_row() const { return Board::nearest_row(cursor_y); }
};

// One place where a level file strays from the plain form; column and row are
// 0 when it is not about one cell.
struct LevelProblem {
  std::string message;
  int column = 0;
  int row = 0;
};

// Fills a level from 282 number fields in file order, each taken from
// `next_field`. The game hands in its own field reads, so that a file that
// cannot be opened reads exactly as its file service answers.
Level read_level_fields(const std::function<std::int32_t()>& next_field);

// A level file's bytes read the way the game reads them (text mode, then
// field by field): a short file leaves the rest 0, fields after the 282nd
// are ignored.
Level read_level(std::string_view bytes);

// The same, adding to `problems` where the file strays from the plain form:
// fields that are not whole numbers, fewer or more than 282 fields.
Level read_level(std::string_view bytes, std::vector<LevelProblem>& problems);

// The level in the plain form the shipped files have: one line per column
// with its 14 codes separated by commas, then the hole's column and row.
// `read_level` gives the same level back.
std::string level_file_text(const Level& level);

}  // namespace rt
