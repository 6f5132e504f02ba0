// The pictures of the title and the menu: the logo train and the menu pointer.
#include <array>

#include "tools/make_sprites/paint.h"
#include "tools/make_sprites/palette.h"
#include "tools/make_sprites/sprite_art.h"

namespace rt::make_sprites {
namespace {

// A steam locomotive from the side, heading right, its wheels on `rail_y`
// minus one; `x` is its left end. `size` 1 is the small menu pointer's.
void side_locomotive(Image& img, int x, int rail_y) {
  const int base = rail_y - 1;
  // Cab.
  fill_rect(img, x, base - 19, x + 9, base - 6, kCab);
  fill_rect(img, x - 1, base - 21, x + 10, base - 20, kSoot);
  fill_rect(img, x + 2, base - 17, x + 7, base - 13, kCabWindow);
  fill_rect(img, x, base - 19, x + 9, base - 19, kCabLight);
  // Boiler and smokebox.
  fill_rect(img, x + 10, base - 15, x + 27, base - 6, kBoiler);
  fill_rect(img, x + 10, base - 15, x + 27, base - 14, kBoilerLight);
  fill_rect(img, x + 10, base - 7, x + 27, base - 6, kBoilerDark);
  for (int bx : {x + 15, x + 21}) fill_rect(img, bx, base - 15, bx, base - 6, kBrass);
  fill_rect(img, x + 28, base - 16, x + 31, base - 6, kSmokebox);
  fill_rect(img, x + 28, base - 16, x + 31, base - 16, kSmokeboxLight);
  // Chimney, dome, lamp.
  fill_rect(img, x + 27, base - 22, x + 30, base - 17, kSoot);
  fill_rect(img, x + 26, base - 23, x + 31, base - 22, kSoot);
  fill_rect(img, x + 18, base - 18, x + 21, base - 16, kBrass);
  fill_rect(img, x + 19, base - 19, x + 20, base - 19, kBrassLight);
  fill_rect(img, x + 32, base - 13, x + 33, base - 11, kLamp);
  // Running board, buffer beam, cow catcher.
  fill_rect(img, x - 1, base - 5, x + 33, base - 4, kFootplate);
  fill_rect(img, x + 32, base - 5, x + 34, base - 3, kBeam);
  line(img, x + 33, base - 2, x + 35, base, kBeam);
  line(img, x + 32, base - 2, x + 34, base, kBeam);
  // Wheels: two big drivers and a small leading wheel, with the rod.
  for (int wx : {x + 6, x + 15}) {
    fill_disc(img, wx + 0.5, base - 2.5, 4.2, kWheel);
    fill_disc(img, wx + 0.5, base - 2.5, 3.0, kBeam);
    fill_disc(img, wx + 0.5, base - 2.5, 1.2, kSteel);
  }
  fill_disc(img, x + 25.5, base - 1.5, 2.6, kWheel);
  fill_disc(img, x + 25.5, base - 1.5, 1.5, kBeam);
  line(img, x + 6, base - 1, x + 15, base - 1, kSteel);
}

// The logo's letters, 5 x 6 dots, rows top to bottom.
constexpr std::array<const char*, 6> kLogoR{"####.", "#...#", "####.", "#.#..", "#..#.", "#...#"};
constexpr std::array<const char*, 6> kLogoT{"#####", "..#..", "..#..", "..#..", "..#..", "..#.."};

void logo_letter(Image& img, int x, int y, const std::array<const char*, 6>& rows, Color c) {
  for (int row = 0; row < 6; ++row) {
    for (int col = 0; col < 5; ++col) {
      if (rows[static_cast<std::size_t>(row)][col] == '#') {
        fill_rect(img, x + 2 * col, y + 2 * row, x + 2 * col + 1, y + 2 * row + 1, c);
      }
    }
  }
}

// A goods wagon with a letter on its side, in the colours of the title:
// peach with a dark blue shadow.
void side_wagon(Image& img, int x, int rail_y, char letter) {
  const int base = rail_y - 1;
  fill_rect(img, x, base - 19, x + 21, base - 5, rgb(28, 44, 122));
  fill_rect(img, x, base - 19, x + 21, base - 19, rgb(70, 96, 190));
  fill_rect(img, x, base - 5, x + 21, base - 5, rgb(16, 24, 70));
  fill_rect(img, x - 2, base - 4, x + 23, base - 4, kFootplate);
  const auto& rows = letter == 'R' ? kLogoR : kLogoT;
  logo_letter(img, x + 7, base - 16, rows, rgb(0, 0, 100));
  logo_letter(img, x + 6, base - 17, rows, rgb(255, 224, 200));
  for (int wx : {x + 4, x + 17}) {
    fill_disc(img, wx + 0.5, base - 1.5, 2.6, kWheel);
    fill_disc(img, wx + 0.5, base - 1.5, 1.0, kSteel);
  }
  fill_rect(img, x + 22, base - 4, x + 24, base - 4, kSteel);  // coupling
}

}  // namespace

Image draw_logo() {
  Image img(100, 40, kBlack);
  const int rail_y = 35;
  for (int x = 0; x < 100; ++x) {
    if (x % 6 < 3) fill_rect(img, x, rail_y + 1, x, rail_y + 3, kWoodEdge);
  }
  fill_rect(img, 0, rail_y, 99, rail_y, kRailTop);
  fill_rect(img, 0, rail_y + 1, 99, rail_y + 1, kRailShadowSide);
  side_wagon(img, 5, rail_y, 'R');
  side_wagon(img, 32, rail_y, 'T');
  side_locomotive(img, 59, rail_y);
  // Smoke trailing back over the wagons.
  paint_puff(img, 86.5, 6.5, 3.2, rgb(236, 236, 240));
  paint_puff(img, 79.5, 4.5, 3.6, rgb(214, 214, 222));
  paint_puff(img, 71.5, 3.5, 3.0, rgb(184, 184, 194));
  paint_puff(img, 64.5, 3.0, 2.2, rgb(150, 150, 160));
  paint_puff(img, 58.5, 2.5, 1.5, rgb(116, 116, 126));
  return img;
}

Image draw_menu_pointer() {
  Image img(20, 20, kBlack);
  const int rail = 18;
  fill_rect(img, 0, rail, 19, rail, kRailSide);
  // A small locomotive, heading right at the menu item.
  fill_rect(img, 1, 6, 5, 14, kCab);
  fill_rect(img, 0, 5, 6, 5, kSoot);
  fill_rect(img, 2, 8, 4, 10, kCabWindow);
  fill_rect(img, 6, 9, 15, 14, kBoiler);
  fill_rect(img, 6, 9, 15, 9, kBoilerLight);
  fill_rect(img, 9, 9, 9, 14, kBrass);
  fill_rect(img, 14, 5, 15, 8, kSoot);
  fill_rect(img, 13, 4, 16, 4, kSoot);
  fill_rect(img, 16, 10, 16, 11, kLamp);
  fill_rect(img, 0, 15, 17, 15, kFootplate);
  fill_rect(img, 17, 14, 18, 16, kBeam);
  for (int wx : {4, 10}) {
    fill_disc(img, wx + 0.5, 16.0, 2.0, kWheel);
    fill_disc(img, wx + 0.5, 16.0, 1.0, kBeam);
  }
  fill_disc(img, 15.5, 16.5, 1.5, kWheel);
  paint_puff(img, 11.0, 2.0, 1.8, rgb(220, 220, 228));
  paint_puff(img, 7.0, 1.5, 1.2, rgb(170, 170, 180));
  return img;
}

}  // namespace rt::make_sprites
