// Small levels drawn as text for the tests of the solver and the level tool.
#pragma once

#include <array>
#include <string>
#include <utility>
#include <vector>

#include "game/level_file.h"
#include "game/rules.h"

namespace rt::testing {

// A level drawn row by row from the top left: - | track, J L 7 F the curves
// ┘ └ ┐ ┌, . grass, T tree, H house, S station, o the hole. Every other cell
// (and any other character) is a tree, so the hole stays within the drawing.
inline Level drawn_level(const std::vector<std::string>& rows) {
  static constexpr std::array<std::pair<char, TileCode>, 10> kCodes{{{'-', tile::kSchieneWage},
                                                                     {'|', tile::kSchieneSenk},
                                                                     {'J', tile::kKurveOLi},
                                                                     {'L', tile::kKurveORe},
                                                                     {'7', tile::kKurveULi},
                                                                     {'F', tile::kKurveURe},
                                                                     {'.', tile::kGruen},
                                                                     {'H', tile::kHaus},
                                                                     {'S', tile::kHbf},
                                                                     {'o', tile::kSchwarz}}};
  Level level;
  for (int x = 1; x <= kColumns; ++x) {
    for (int y = 1; y <= kRows; ++y) level.board.set(x, y, tile::kBaum1);
  }
  for (std::size_t r = 0; r < rows.size(); ++r) {
    for (std::size_t c = 0; c < rows[r].size(); ++c) {
      const int x = static_cast<int>(c) + 1;
      const int y = static_cast<int>(r) + 1;
      for (const auto& [ch, code] : kCodes) {
        if (rows[r][c] == ch) level.board.set(x, y, code);
      }
      if (rows[r][c] == 'o') {
        level.hole_x = x;
        level.hole_y = y;
      }
    }
  }
  return level;
}

}  // namespace rt::testing
