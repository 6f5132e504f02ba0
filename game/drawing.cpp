// The game's pictures and the drawing of board cells and the locomotive.

#include <cstdint>

#include "game/game.h"

namespace rt {

void Game::load_sprites() {
  Sprites& s = sprites;
  // Every picture starts out black (all pixels 0) so that a missing file
  // simply draws as a black rectangle.
  for (Image* cell_sized :
       {&s.SchieneWage, &s.SchieneSenk, &s.KurveOLi,  &s.KurveORe,  &s.KurveULi,  &s.KurveURe,
        &s.Schwarz,     &s.Hbf,         &s.LockWage1, &s.LockWage2, &s.LockWage3, &s.LockWage4,
        &s.LockSenk1,   &s.LockSenk2,   &s.LockSenk3, &s.LockSenk4, &s.Haus,      &s.Baum1,
        &s.Gruen,       &s.Explo1,      &s.Explo2}) {
    *cell_sized = p_.create_image(kCellSize, kCellSize, 0);
  }
  s.KX = p_.create_image(100, 40, 0);
  s.Minilock = p_.create_image(20, 20, 0);
  s.VLoesch = p_.create_image(20, 200, 0);

  struct Load {
    const char* path;
    Image* image;
  };
  const Load loads[] = {
      {"Sprites\\VLoesch.bmp", &s.VLoesch},
      {"Sprites\\Minilock.bmp", &s.Minilock},
      {"Sprites\\KX.bmp", &s.KX},
      {"Sprites\\SchieneWage.bmp", &s.SchieneWage},
      {"Sprites\\SchieneSenk.bmp", &s.SchieneSenk},
      {"Sprites\\KurveOLi.bmp", &s.KurveOLi},
      {"Sprites\\KurveORe.bmp", &s.KurveORe},
      {"Sprites\\KurveURe.bmp", &s.KurveURe},
      {"Sprites\\KurveULi.bmp", &s.KurveULi},
      {"Sprites\\Schwarz.bmp", &s.Schwarz},
      {"Sprites\\Hbf.bmp", &s.Hbf},
      {"Sprites\\LockWage1.bmp", &s.LockWage1},
      {"Sprites\\LockWage2.bmp", &s.LockWage2},
      {"Sprites\\LockWage3.bmp", &s.LockWage3},
      {"Sprites\\LockWage4.bmp", &s.LockWage4},
      {"Sprites\\LockSenk1.bmp", &s.LockSenk1},
      {"Sprites\\LockSenk2.bmp", &s.LockSenk2},
      {"Sprites\\LockSenk3.bmp", &s.LockSenk3},
      {"Sprites\\LockSenk4.bmp", &s.LockSenk4},
      {"Sprites\\Baum1.bmp", &s.Baum1},
      {"Sprites\\Haus.bmp", &s.Haus},
      {"Sprites\\Gruen.bmp", &s.Gruen},
      {"Sprites\\Explo1.bmp", &s.Explo1},
      {"Sprites\\Explo2.bmp", &s.Explo2},
  };
  for (const Load& load : loads) p_.load_bmp(load.path, *load.image);
}

void Game::put_on_cell(int x, int y, const Image& image) {
  // Widened so that no cell number, however far off, can overflow.
  const std::int64_t left = (static_cast<std::int64_t>(x) - 1) * kCellSize;
  const std::int64_t top = (static_cast<std::int64_t>(y) - 1) * kCellSize;
  p_.put_image(static_cast<float>(left), static_cast<float>(top), image);
}

const Image* Game::picture_for(TileCode code) const {
  const Sprites& s = sprites;
  if (code == tile::kSchwarz) return &s.Schwarz;
  if (code == tile::kGruen) return &s.Gruen;
  if (code == tile::kSchieneWage) return &s.SchieneWage;
  if (code == tile::kSchieneSenk) return &s.SchieneSenk;
  if (code == tile::kKurveOLi) return &s.KurveOLi;
  if (code == tile::kKurveORe) return &s.KurveORe;
  if (code == tile::kKurveULi) return &s.KurveULi;
  if (code == tile::kKurveURe) return &s.KurveURe;
  if (code == tile::kBaum1) return &s.Baum1;
  if (code == tile::kHaus) return &s.Haus;
  if (code == tile::kHbf) return &s.Hbf;
  return nullptr;
}

void Game::draw_cell() {
  if (const Image* picture = picture_for(board.get(draw_x, draw_y))) {
    put_on_cell(draw_x, draw_y, *picture);
  }
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
