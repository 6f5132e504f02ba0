// The soak's levels: a level file read with the game's reader and reduced to
// its pieces and hole, and the seeded levels with a short track.
#include "tools/soak/soak_levels.h"

#include <algorithm>
#include <array>
#include <fstream>
#include <iterator>
#include <random>

#include "game/board.h"
#include "game/level_file.h"

namespace rt::soak {

LevelContents level_contents(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  const Level read =
      read_level(std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()));
  LevelContents level;
  level.cursor_x = read.hole_column();
  level.cursor_y = read.hole_row();
  level.hole_empty = read.board.get(level.cursor_x, level.cursor_y) == 0;
  level.codes.reserve(static_cast<std::size_t>(kColumns * kRows));
  for (int x = 1; x <= kColumns; ++x) {
    for (int y = 1; y <= kRows; ++y) level.codes.push_back(read.board.get(x, y));
  }
  std::sort(level.codes.begin(), level.codes.end());
  return level;
}

std::string generated_level(std::uint64_t seed, int number) {
  std::mt19937_64 rng(seed * 1000003u + static_cast<std::uint64_t>(number));
  auto below = [&rng](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };
  std::array<std::array<TileCode, kRows + 1>, kColumns + 1> cell{};
  for (int x = 1; x <= kColumns; ++x) {
    for (int y = 1; y <= kRows; ++y) {
      const int r = below(100);
      cell[x][y] = r < 8 ? tile::kBaum1 : r < 12 ? tile::kHaus : r < 35 ? 10 + below(6) : 1;
    }
  }
  // A straight track from the start to the station, a few cells long. About
  // one level in six has a grass gap before the station, where locomotives are
  // lost unless a slide happens to close it.
  const int track = 1 + below(6);
  for (int x = 1; x <= track; ++x) cell[x][1] = tile::kSchieneWage;
  const bool gap = below(6) == 0;
  if (gap) cell[track + 1][1] = tile::kGruen;
  cell[track + (gap ? 2 : 1)][1] = tile::kHbf;
  // The hole away from the track.
  const int cursor_x = 1 + below(kColumns);
  const int cursor_y = 3 + below(kRows - 2);
  cell[cursor_x][cursor_y] = tile::kSchwarz;

  std::string text;
  for (int x = 1; x <= kColumns; ++x) {
    for (int y = 1; y <= kRows; ++y) {
      text += std::to_string(cell[x][y]) + (y == kRows ? "\r\n" : ",");
    }
  }
  return text + std::to_string(cursor_x) + "\r\n" + std::to_string(cursor_y) + "\r\n";
}

}  // namespace rt::soak
