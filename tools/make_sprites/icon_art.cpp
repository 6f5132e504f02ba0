// The desktop icon, painted in the colours of the game's pieces and title.
#include "tools/make_sprites/icon_art.h"

#include <algorithm>

#include "tools/make_sprites/paint.h"
#include "tools/make_sprites/palette.h"

namespace rt::make_sprites {
namespace {

constexpr std::uint32_t kIconGrassSeed = 71;

constexpr Color kSkyTop = rgb(14, 18, 44);
constexpr Color kSkyHorizon = rgb(44, 62, 120);

// The scene of both designs: a night sky that lightens towards the horizon
// (the chimney and the steam stand out against it), the rail on row
// `rail_y` with sleepers below it, grass under the sleepers.
void paint_ground(Image& img, int rail_y, int sleeper_gap) {
  for (int y = 0; y < rail_y; ++y) {
    fill_rect(img, 0, y, img.width - 1, y, mix(kSkyTop, kSkyHorizon, y / (rail_y - 1.0)));
  }
  for (int y = rail_y + 1; y < img.height; ++y) {
    for (int x = 0; x < img.width; ++x) {
      const double v = noise(x, y, kIconGrassSeed);
      img.at(x, y) = v < 0.3 ? kGrassDark : v < 0.7 ? kGrassMid : kGrassLight;
    }
  }
  for (int x = 0; x < img.width; ++x) {
    if (x % sleeper_gap < sleeper_gap / 2) plot(img, x, rail_y + 2, kWoodEdge);
    if (x % sleeper_gap < sleeper_gap / 2 && img.height > 16) plot(img, x, rail_y + 3, kWood);
  }
  fill_rect(img, 0, rail_y, img.width - 1, rail_y, kRailTop);
  fill_rect(img, 0, rail_y + 1, img.width - 1, rail_y + 1, kRailShadowSide);
}

// 32 dots: the title's locomotive, a little shorter, with steam rising.
Image draw_large() {
  Image img(32, 32, kBlack);
  const int rail = 26;
  paint_ground(img, rail, 5);
  // Cab with its window and roof.
  fill_rect(img, 3, 8, 10, 20, kCab);
  fill_rect(img, 3, 8, 10, 8, kCabLight);
  fill_rect(img, 10, 9, 10, 20, kCabDark);
  fill_rect(img, 2, 6, 11, 7, kSoot);
  fill_rect(img, 5, 10, 8, 13, kCabWindow);
  // Boiler with two brass bands, the dome on top.
  fill_rect(img, 11, 12, 24, 20, kBoiler);
  fill_rect(img, 11, 12, 24, 13, kBoilerLight);
  fill_rect(img, 11, 20, 24, 20, kBoilerDark);
  for (int bx : {15, 20}) fill_rect(img, bx, 12, bx, 20, kBrass);
  fill_rect(img, 16, 10, 19, 11, kBrass);
  fill_rect(img, 17, 9, 18, 9, kBrassLight);
  // Smokebox, chimney, head lamp.
  fill_rect(img, 25, 11, 27, 20, kSmokebox);
  fill_rect(img, 25, 11, 27, 11, kSmokeboxLight);
  fill_rect(img, 24, 6, 26, 10, kSoot);
  fill_rect(img, 23, 5, 27, 5, kSoot);
  fill_rect(img, 28, 14, 28, 15, kLamp);
  // Running board, buffer beam, cow catcher.
  fill_rect(img, 2, 21, 28, 22, kFootplate);
  fill_rect(img, 28, 20, 29, 23, kBeam);
  line(img, 28, 24, 30, 25, kBeam);
  // Two driving wheels joined by the rod, a small leading wheel.
  for (double wx : {7.5, 15.5}) {
    fill_disc(img, wx, 22.5, 3.4, kWheel);
    fill_disc(img, wx, 22.5, 2.3, kBeam);
    fill_disc(img, wx, 22.5, 0.8, kSteel);
  }
  fill_disc(img, 23.5, 24.0, 2.2, kWheel);
  fill_disc(img, 23.5, 24.0, 1.2, kBeam);
  line(img, 7, 23, 15, 23, kSteel);
  // Steam drifting back from the chimney.
  paint_puff(img, 22.0, 2.6, 2.2, rgb(236, 236, 240));
  paint_puff(img, 16.5, 2.8, 2.0, rgb(200, 200, 210));
  paint_puff(img, 12.0, 3.4, 1.4, rgb(150, 150, 160));
  return img;
}

// 16 dots: the menu's small locomotive, as few dots as still read.
Image draw_small() {
  Image img(16, 16, kBlack);
  const int rail = 13;
  paint_ground(img, rail, 4);
  fill_rect(img, 1, 4, 4, 10, kCab);
  fill_rect(img, 0, 3, 5, 3, kSoot);
  fill_rect(img, 2, 5, 3, 6, kCabWindow);
  fill_rect(img, 5, 6, 11, 10, kBoiler);
  fill_rect(img, 5, 6, 11, 6, kBoilerLight);
  fill_rect(img, 8, 6, 8, 10, kBrass);
  fill_rect(img, 12, 5, 13, 10, kSmokebox);
  fill_rect(img, 11, 2, 12, 5, kSoot);
  fill_rect(img, 14, 7, 14, 8, kLamp);
  fill_rect(img, 0, 11, 14, 11, kFootplate);
  fill_rect(img, 14, 10, 15, 12, kBeam);
  for (int wx : {3, 7}) {
    fill_rect(img, wx - 1, 12, wx + 1, 12, kWheel);
    plot(img, wx, 12, kBeam);
  }
  plot(img, 12, 12, kWheel);
  fill_rect(img, 9, 0, 10, 1, rgb(236, 236, 240));
  plot(img, 7, 1, rgb(200, 200, 210));
  plot(img, 5, 1, rgb(150, 150, 160));
  return img;
}

}  // namespace

Image draw_icon(int size) {
  if (std::find(kIconSizes.begin(), kIconSizes.end(), size) == kIconSizes.end() &&
      std::find(kWebIconSizes.begin(), kWebIconSizes.end(), size) == kWebIconSizes.end()) {
    return {};
  }
  if (size % 32 == 0) return enlarge(draw_large(), size / 32);
  return enlarge(draw_small(), size / 16);
}

}  // namespace rt::make_sprites
