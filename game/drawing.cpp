// The game's pictures and the drawing of board cells and the locomotive.

#include <cstdint>

#include "game/assets.h"
#include "game/game.h"

namespace rt {

void Game::load_sprites() {
  // Every picture starts out black (all pixels 0) so that a missing file
  // simply draws as a black rectangle.
  for (const assets::PictureFile& picture : assets::kPictures) {
    sprites.*picture.image = p_.create_image(picture.width, picture.height, 0);
  }
  for (const assets::PictureFile& picture : assets::kPictures) {
    p_.load_bmp(assets::picture_path(picture.name), sprites.*picture.image);
  }
}

void Game::put_on_cell(int x, int y, const Image& image) {
  // Widened so that no cell number, however far off, can overflow.
  const std::int64_t left = (static_cast<std::int64_t>(x) - 1) * kCellSize;
  const std::int64_t top = (static_cast<std::int64_t>(y) - 1) * kCellSize;
  p_.put_image(static_cast<float>(left), static_cast<float>(top), image);
}

const Image* Game::picture_for(TileCode code) const {
  for (const assets::TilePicture& tile : assets::kTilePictures) {
    if (tile.code == code) return &(sprites.*tile.image);
  }
  return nullptr;
}

void Game::draw_cell(int x, int y) {
  draw_piece(x, y, board.get(x, y));
}

void Game::draw_piece(int x, int y, TileCode code) {
  if (const Image* picture = picture_for(code)) put_on_cell(x, y, *picture);
}

void Game::draw_moved_piece() {
  // Only the pieces a player can move and that have a picture: grass and
  // the six track pieces.
  const TileCode code = board.get(cursor_x, cursor_y);
  if (code != tile::kGruen && !is_track(code)) return;
  if (const Image* picture = picture_for(code)) put_on_cell(cursor_x, cursor_y, *picture);
}

void Game::draw_locomotive() {
  // The flip makes the locomotive blink; it happens even when nothing is drawn.
  loco_frame = (loco_frame == 1) ? 0 : 1;
  const bool second = loco_frame == 1;
  const Sprites& s = sprites;
  const Image* picture = nullptr;
  if (loco_heading == heading::kUp) picture = second ? &s.LockSenk4 : &s.LockSenk3;
  if (loco_heading == heading::kRight) picture = second ? &s.LockWage2 : &s.LockWage1;
  if (loco_heading == heading::kDown) picture = second ? &s.LockSenk2 : &s.LockSenk1;
  if (loco_heading == heading::kLeft) picture = second ? &s.LockWage4 : &s.LockWage3;
  if (picture != nullptr) put_on_cell(loco_x, loco_y, *picture);
}

}  // namespace rt
