// The playing field's cells as the level file fills them and the game reads
// them, border included.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>

#include "game/rules.h"

namespace rt {

// The grid of cells: 21 columns x 15 rows stored column by column (cell
// (x, y) at x * 15 + y). Column 0 and row 0 are the border and hold 0.
// Reads outside the array give 0, like the border; writes outside it are
// ignored, so no neighbour test can reach past the array.
class Board {
 public:
  static constexpr int kWidth = 21;
  static constexpr int kHeight = 15;

  TileCode get(int x, int y) const {
    return inside(x, y) ? cells_[static_cast<std::size_t>(x) * kHeight + y] : 0;
  }
  void set(int x, int y, TileCode code) {
    if (inside(x, y)) cells_[static_cast<std::size_t>(x) * kHeight + y] = code;
  }
  static constexpr bool inside(int x, int y) {
    return x >= 0 && x < kWidth && y >= 0 && y < kHeight;
  }
  // The playing field proper: columns 1..20, rows 1..14.
  static constexpr bool in_field(int x, int y) {
    return x >= 1 && x <= kColumns && y >= 1 && y <= kRows;
  }
  // The field's column and row nearest to x and y (Level::hole_column, the
  // editor's mark).
  static constexpr int nearest_column(int x) { return std::clamp(x, 1, kColumns); }
  static constexpr int nearest_row(int y) { return std::clamp(y, 1, kRows); }

  bool operator==(const Board&) const = default;

 private:
  std::array<TileCode, kWidth * kHeight> cells_{};
};

}  // namespace rt
