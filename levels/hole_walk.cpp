// The hole's walk over a laid level.
#include "levels/hole_walk.h"

#include <optional>
#include <vector>

#include "levels/draws.h"

namespace rt {
namespace {

// In how many moves out of a hundred the hole takes a track piece when one
// is beside it.
constexpr int kTrackPercent = 75;

// A cell the hole may take: in the field, holding a movable piece, and not
// one of the locomotive's first two cells, which every level keeps laid.
bool movable_cell(const Board& board, Cell c) {
  return Board::in_field(c.x, c.y) && !(c.y == 1 && c.x <= 2) && is_movable(board.get(c.x, c.y));
}

Cell pick(const std::vector<Cell>& cells, Rnd& rnd) {
  return cells[static_cast<std::size_t>(draw_below(rnd, static_cast<int>(cells.size())))];
}

std::vector<Cell> neighbours(Cell c) {
  return {{c.x, c.y - 1}, {c.x + 1, c.y}, {c.x, c.y + 1}, {c.x - 1, c.y}};
}

// Where the hole starts: a cell off the route beside its far half.
std::optional<Cell> start_of_walk(const Board& board, const Route& route, Rnd& rnd) {
  std::vector<Cell> starts;
  for (std::size_t i = route.cells.size() / 2; i < route.cells.size(); ++i) {
    for (const Cell n : neighbours(route.cells[i])) {
      if (movable_cell(board, n) && !is_track(board.get(n.x, n.y))) starts.push_back(n);
    }
  }
  if (starts.empty()) return std::nullopt;
  return pick(starts, rnd);
}

}  // namespace

std::optional<Level> walk_hole(const Board& laid, const Route& route, int moves, Rnd& rnd) {
  const auto start = start_of_walk(laid, route, rnd);
  if (!start) return std::nullopt;
  Level level;
  level.board = laid;
  Cell hole = *start;
  Cell previous = hole;
  level.board.set(hole.x, hole.y, tile::kSchwarz);
  for (int m = 0; m < moves; ++m) {
    std::vector<Cell> any;
    std::vector<Cell> track;
    for (const Cell n : neighbours(hole)) {
      if (n == previous || !movable_cell(level.board, n)) continue;
      any.push_back(n);
      if (is_track(level.board.get(n.x, n.y))) track.push_back(n);
    }
    if (any.empty()) break;
    const bool take_track = !track.empty() && draw_chance(rnd, kTrackPercent);
    const Cell next = pick(take_track ? track : any, rnd);
    level.board.set(hole.x, hole.y, level.board.get(next.x, next.y));
    level.board.set(next.x, next.y, tile::kSchwarz);
    previous = hole;
    hole = next;
  }
  level.cursor_x = hole.x;
  level.cursor_y = hole.y;
  return level;
}

}  // namespace rt
