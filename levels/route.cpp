// Laying a random route: a walk over the field that keeps clear of its own
// earlier cells, each cell given the piece that turns the locomotive from the
// way it came in to the way it goes on, ending beside the station.
#include "levels/route.h"

#include <algorithm>

#include "levels/draws.h"

namespace rt {
namespace {

constexpr int kTries = 200;
// How much likelier the walk runs straight on than it turns one way.
constexpr int kStraightWeight = 3;

Cell ahead_of(Cell c, Heading h) {
  const Offset o = cell_ahead(h);
  return {c.x + o.dx, c.y + o.dy};
}

// The piece that takes a locomotive heading `in` and sends it on heading
// `out`, by the step table; 0 when none does.
TileCode piece_for(Heading in, Heading out) {
  for (const TileCode code : kPictureCodes) {
    if (!is_track(code)) continue;
    const auto rule = step_rule(in, code);
    if (rule && rule->moves && rule->new_heading == out) return code;
  }
  return 0;
}

bool on_route(const std::vector<Cell>& cells, Cell c) {
  return std::find(cells.begin(), cells.end(), c) != cells.end();
}

// A cell the walk may go on to from the last one: in the field, new, and
// touching no route cell but the last.
bool open_cell(const std::vector<Cell>& cells, Cell next) {
  if (!Board::in_field(next.x, next.y) || on_route(cells, next)) return false;
  for (Heading h = heading::kUp; h <= heading::kLeft; ++h) {
    const Cell n = ahead_of(next, h);
    if (n != cells.back() && on_route(cells, n)) return false;
  }
  return true;
}

// The station's place beside the last cell: below or to its right, free, and
// not below or right of an earlier cell, which would win there already.
std::optional<Cell> station_for(const std::vector<Cell>& cells, Rnd& rnd) {
  std::vector<Cell> places;
  const Cell last = cells.back();
  for (const Cell s : {Cell{last.x, last.y + 1}, Cell{last.x + 1, last.y}}) {
    if (!Board::in_field(s.x, s.y) || on_route(cells, s)) continue;
    const bool early = std::any_of(cells.begin(), cells.end() - 1, [s](Cell c) {
      return (c.x == s.x && c.y + 1 == s.y) || (c.x + 1 == s.x && c.y == s.y);
    });
    if (!early) places.push_back(s);
  }
  if (places.empty()) return std::nullopt;
  return places[static_cast<std::size_t>(draw_below(rnd, static_cast<int>(places.size())))];
}

std::optional<Route> try_route(Rnd& rnd, int length) {
  Route route;
  route.cells = {{1, 1}, {2, 1}};
  route.pieces = {tile::kSchieneWage};
  Heading h = heading::kRight;  // the way the locomotive enters the last cell
  while (static_cast<int>(route.cells.size()) < length) {
    std::vector<Heading> ways;
    for (const Heading out : {h, (h + 1) % 4, (h + 3) % 4}) {
      if (!open_cell(route.cells, ahead_of(route.cells.back(), out))) continue;
      for (int w = (out == h) ? kStraightWeight : 1; w > 0; --w) ways.push_back(out);
    }
    if (ways.empty()) return std::nullopt;
    const Heading out =
        ways[static_cast<std::size_t>(draw_below(rnd, static_cast<int>(ways.size())))];
    route.pieces.push_back(piece_for(h, out));
    route.cells.push_back(ahead_of(route.cells.back(), out));
    h = out;
  }
  const auto station = station_for(route.cells, rnd);
  if (!station) return std::nullopt;
  route.station = *station;
  // The last piece points at the station when it can; otherwise it runs on.
  const Cell last = route.cells.back();
  const Heading towards = (station->x > last.x) ? heading::kRight : heading::kDown;
  const TileCode end = piece_for(h, towards);
  route.pieces.push_back(end != 0 ? end : piece_for(h, h));
  return route;
}

}  // namespace

std::optional<Route> lay_route(Rnd& rnd, int min_cells, int max_cells) {
  for (int i = 0; i < kTries; ++i) {
    const int length = min_cells + draw_below(rnd, max_cells - min_cells + 1);
    if (auto route = try_route(rnd, std::max(length, 2))) return route;
  }
  return std::nullopt;
}

void put_route(const Route& route, Board& board) {
  for (std::size_t i = 0; i < route.cells.size(); ++i) {
    board.set(route.cells[i].x, route.cells[i].y, route.pieces[i]);
  }
  board.set(route.station.x, route.station.y, tile::kHbf);
}

}  // namespace rt
