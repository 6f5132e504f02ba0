// The route of a generated level: a random track from the locomotive's start
// on column 1, row 1, heading right, to the station, whose cells never touch
// each other except one after the other.
#pragma once

#include <optional>
#include <vector>

#include "game/board.h"
#include "platform/rnd.h"

namespace rt {

struct Cell {
  int x = 0;
  int y = 0;
  friend bool operator==(const Cell&, const Cell&) = default;
};

struct Route {
  std::vector<Cell> cells;       // cells[0] is the start, the last one beside the station
  std::vector<TileCode> pieces;  // the track piece on each cell
  Cell station;
};

// A route of `min_cells` to `max_cells` cells; none after a bounded number of
// tries (only when the field cannot hold such a route).
std::optional<Route> lay_route(Rnd& rnd, int min_cells, int max_cells);

// The route's pieces and its station put on the board; other cells are left.
void put_route(const Route& route, Board& board);

}  // namespace rt
