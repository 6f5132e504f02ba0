// Sliding a piece next to the hole into it. The arrow names the way the
// piece moves; the hole moves the opposite way.

#include "game/game.h"

namespace rt {

void Game::slide_up() {
  if (cursor_y <= kRows - 1) slide_from(cursor_x, cursor_y + 1);
}

void Game::slide_down() {
  if (cursor_y >= 2) slide_from(cursor_x, cursor_y - 1);
}

void Game::slide_left() {
  if (cursor_x <= kColumns - 1) slide_from(cursor_x + 1, cursor_y);
}

void Game::slide_right() {
  if (cursor_x >= 2) slide_from(cursor_x - 1, cursor_y);
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
