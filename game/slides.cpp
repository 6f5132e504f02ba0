// Sliding a piece next to the hole into it. The arrow names the way the
// piece moves; the hole moves the opposite way.

#include "game/game.h"

namespace rt {

void Game::slide_up() {
  slide(Slide::Up);
}

void Game::slide_down() {
  slide(Slide::Down);
}

void Game::slide_left() {
  slide(Slide::Left);
}

void Game::slide_right() {
  slide(Slide::Right);
}

void Game::slide(Slide s) {
  // The piece that moves stands beside the hole; beyond the field's edge
  // there is none.
  const Offset from = slide_source(s);
  if (Board::in_field(cursor_x + from.dx, cursor_y + from.dy)) {
    slide_from(cursor_x + from.dx, cursor_y + from.dy);
  }
}

void Game::slide_from(int from_x, int from_y) {
  const TileCode piece = board.get(from_x, from_y);
  // Trees, houses and the station stay where they are, silently.
  if (!is_movable(piece)) return;
  board.set(cursor_x, cursor_y, piece);
  board.set(from_x, from_y, tile::kSchwarz);
  draw_moved_piece();
  cursor_x = from_x;
  cursor_y = from_y;
  // The new hole is painted black, even over the locomotive standing there.
  put_on_cell(cursor_x, cursor_y, sprites.Schwarz);
  play_ping();
}

}  // namespace rt
