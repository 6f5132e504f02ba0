// The text form of a level: one table of characters, read and written.
#include "levels/level_text.h"

#include <array>
#include <utility>

#include "game/rules.h"

namespace rt {
namespace {

constexpr std::array<std::pair<char, TileCode>, 11> kCharacters{{{'-', tile::kSchieneWage},
                                                                 {'|', tile::kSchieneSenk},
                                                                 {'J', tile::kKurveOLi},
                                                                 {'L', tile::kKurveORe},
                                                                 {'7', tile::kKurveULi},
                                                                 {'F', tile::kKurveURe},
                                                                 {'.', tile::kGruen},
                                                                 {'T', tile::kBaum1},
                                                                 {'H', tile::kHaus},
                                                                 {'S', tile::kHbf},
                                                                 {'o', tile::kSchwarz}}};

}  // namespace

std::string level_text(const Level& level) {
  std::string out;
  for (int y = 1; y <= kRows; ++y) {
    for (int x = 1; x <= kColumns; ++x) {
      char ch = '?';
      for (const auto& [c, code] : kCharacters) {
        if (level.board.get(x, y) == code) ch = c;
      }
      out += ch;
    }
    out += '\n';
  }
  return out;
}

Level level_from_text(const std::vector<std::string>& rows) {
  Level level;
  for (int x = 1; x <= kColumns; ++x) {
    for (int y = 1; y <= kRows; ++y) level.board.set(x, y, tile::kBaum1);
  }
  for (std::size_t r = 0; r < rows.size() && r < static_cast<std::size_t>(kRows); ++r) {
    for (std::size_t c = 0; c < rows[r].size() && c < static_cast<std::size_t>(kColumns); ++c) {
      const int x = static_cast<int>(c) + 1;
      const int y = static_cast<int>(r) + 1;
      for (const auto& [ch, code] : kCharacters) {
        if (rows[r][c] == ch) level.board.set(x, y, code);
      }
      if (rows[r][c] == 'o') {
        level.cursor_x = x;
        level.cursor_y = y;
      }
    }
  }
  return level;
}

}  // namespace rt
