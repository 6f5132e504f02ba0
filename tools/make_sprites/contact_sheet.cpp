// The contact sheet: every picture enlarged, and a small board laid from them.
#include <algorithm>
#include <array>

#include "tools/make_sprites/paint.h"
#include "tools/make_sprites/palette.h"
#include "tools/make_sprites/sprite_art.h"

namespace rt::make_sprites {

Image draw_contact_sheet(const std::vector<Picture>& pictures) {
  constexpr int kScale = 3;
  constexpr int kGap = 6;
  constexpr int kWidth = 1000;
  const Color background = rgb(40, 40, 48);
  // Top: every picture enlarged, in rows; bottom: a small board made of the
  // pieces, enlarged twice.
  Image sheet(kWidth, 1100, background);
  int x = kGap;
  int y = kGap;
  int row_height = 0;
  for (const Picture& p : pictures) {
    const Image big = enlarge(p.image, p.image.height > 2 * kCell ? 1 : kScale);
    if (x + big.width > kWidth) {
      x = kGap;
      y += row_height + kGap;
      row_height = 0;
    }
    overlay(sheet, big, x, y);
    x += big.width + kGap;
    row_height = std::max(row_height, big.height);
  }
  const int top = y + row_height + kGap;
  // A picture by its place in Sprites, found under the asset table's name.
  auto find = [&pictures](Image Sprites::*which) -> const Image& {
    for (const assets::PictureFile& file : assets::kPictures) {
      if (file.image != which) continue;
      for (const Picture& p : pictures) {
        if (p.name == file.name) return p.image;
      }
    }
    return pictures.front().image;
  };
  // A board of 10 x 6 cells: an oval of track with the locomotive, the
  // station, a house, trees and the hole.
  constexpr std::array<Image Sprites::*, 60> kBoard{
      &Sprites::KurveURe,    &Sprites::SchieneWage, &Sprites::LockWage1,   &Sprites::SchieneWage,
      &Sprites::SchieneWage, &Sprites::KurveULi,    &Sprites::Gruen,       &Sprites::Baum1,
      &Sprites::Gruen,       &Sprites::Haus,        &Sprites::SchieneSenk, &Sprites::Gruen,
      &Sprites::Baum1,       &Sprites::Gruen,       &Sprites::Gruen,       &Sprites::LockSenk1,
      &Sprites::Gruen,       &Sprites::KurveURe,    &Sprites::SchieneWage, &Sprites::Hbf,
      &Sprites::LockSenk3,   &Sprites::Gruen,       &Sprites::Schwarz,     &Sprites::Haus,
      &Sprites::Gruen,       &Sprites::KurveORe,    &Sprites::SchieneWage, &Sprites::KurveOLi,
      &Sprites::Explo1,      &Sprites::Gruen,       &Sprites::SchieneSenk, &Sprites::Gruen,
      &Sprites::Gruen,       &Sprites::Baum1,       &Sprites::Gruen,       &Sprites::Gruen,
      &Sprites::Gruen,       &Sprites::SchieneSenk, &Sprites::Explo2,      &Sprites::Gruen,
      &Sprites::KurveORe,    &Sprites::LockWage3,   &Sprites::SchieneWage, &Sprites::SchieneWage,
      &Sprites::SchieneWage, &Sprites::KurveULi,    &Sprites::Gruen,       &Sprites::SchieneSenk,
      &Sprites::Baum1,       &Sprites::Gruen,       &Sprites::Gruen,       &Sprites::Baum1,
      &Sprites::Gruen,       &Sprites::Gruen,       &Sprites::Gruen,       &Sprites::KurveORe,
      &Sprites::SchieneWage, &Sprites::KurveOLi,    &Sprites::Gruen,       &Sprites::Gruen};
  Image board(10 * kCell, 6 * kCell, background);
  for (int k = 0; k < 60; ++k) {
    overlay(board, find(kBoard[static_cast<std::size_t>(k)]), (k % 10) * kCell, (k / 10) * kCell);
  }
  overlay(sheet, enlarge(board, 2), kGap, top);
  return sheet;
}

}  // namespace rt::make_sprites
