// The fixed pieces of the field: the tree, the house and the station.
#include <algorithm>
#include <array>
#include <utility>

#include "tools/make_sprites/paint.h"
#include "tools/make_sprites/palette.h"
#include "tools/make_sprites/sprite_art.h"

namespace rt::make_sprites {
namespace {

void shadow_disc(Image& img, double cx, double cy, double r) {
  for (int y = 0; y < img.height; ++y) {
    for (int x = 0; x < img.width; ++x) {
      const double dx = x + 0.5 - cx;
      const double dy = y + 0.5 - cy;
      if (dx * dx + dy * dy <= r * r) img.at(x, y) = scale(img.at(x, y), 0.62);
    }
  }
}

void shadow_rect(Image& img, int x0, int y0, int x1, int y1) {
  for (int y = std::max(0, y0); y <= std::min(img.height - 1, y1); ++y) {
    for (int x = std::max(0, x0); x <= std::min(img.width - 1, x1); ++x) {
      img.at(x, y) = scale(img.at(x, y), 0.62);
    }
  }
}

}  // namespace

Image draw_tree() {
  Image img = draw_grass();
  shadow_disc(img, 23, 24, 15);
  const Color dark = rgb(24, 84, 34);
  const Color mid = rgb(38, 112, 44);
  const Color light = rgb(70, 146, 56);
  const Color shine = rgb(122, 186, 84);
  // The crown: overlapping clumps, each lit from the top left.
  struct Clump {
    double x, y, r;
  };
  constexpr std::array<Clump, 7> kClumps{{{14, 15, 8},
                                          {25, 13, 8},
                                          {13, 25, 8},
                                          {26, 25, 8.5},
                                          {20, 20, 9},
                                          {20, 10, 6},
                                          {30, 19, 6}}};
  for (const Clump& c : kClumps) fill_disc(img, c.x, c.y, c.r, dark);
  for (const Clump& c : kClumps) fill_disc(img, c.x - 0.8, c.y - 0.8, c.r - 1.2, mid);
  for (const Clump& c : kClumps) fill_disc(img, c.x - 2, c.y - 2, c.r * 0.5, light);
  for (const Clump& c : kClumps) fill_disc(img, c.x - 2.8, c.y - 2.8, c.r * 0.2, shine);
  // Leafy speckle and a few red apples.
  for (int y = 0; y < kCell; ++y) {
    for (int x = 0; x < kCell; ++x) {
      const Color c = img.at(x, y);
      if ((c == mid || c == light) && hash(x, y, 71) % 9 == 0) img.at(x, y) = dark;
    }
  }
  for (auto [ax, ay] : {std::pair{12, 20}, {24, 9}, {28, 26}, {18, 28}}) {
    plot(img, ax, ay, rgb(206, 40, 36));
    plot(img, ax, ay - 1, rgb(250, 120, 100));
  }
  return img;
}

Image draw_house() {
  Image img = draw_grass();
  shadow_rect(img, 8, 11, 37, 36);
  // Stepping stones to the door.
  for (auto [sx, sy] : {std::pair{20, 34}, {19, 37}}) {
    fill_rect(img, sx, sy, sx + 2, sy + 1, rgb(184, 180, 168));
    fill_rect(img, sx, sy + 1, sx + 2, sy + 1, rgb(140, 136, 126));
  }
  // Roof seen from above: two slopes meeting at a ridge, tiles in rows.
  const Color lit = rgb(204, 82, 58);
  const Color dim = rgb(150, 52, 40);
  const Color joint_lit = rgb(170, 62, 44);
  const Color joint_dim = rgb(118, 38, 30);
  for (int y = 6; y <= 32; ++y) {
    for (int x = 4; x <= 35; ++x) {
      const bool upper = y < 19;
      Color c = upper ? lit : dim;
      const int row = upper ? (19 - y) : (y - 19);
      if (row % 3 == 0) c = upper ? joint_lit : joint_dim;
      if (row % 3 != 0 && (x + (row / 3) * 2) % 5 == 0) c = upper ? joint_lit : joint_dim;
      img.at(x, y) = c;
    }
  }
  fill_rect(img, 4, 19, 35, 19, rgb(92, 30, 24));  // ridge
  fill_rect(img, 4, 6, 35, 6, rgb(236, 120, 92));  // lit eaves
  fill_rect(img, 4, 32, 35, 32, rgb(96, 32, 26));  // shaded eaves
  fill_rect(img, 4, 6, 4, 32, rgb(110, 36, 28));
  fill_rect(img, 35, 6, 35, 32, rgb(110, 36, 28));
  // Chimney with its shadow.
  shadow_rect(img, 28, 12, 32, 16);
  fill_rect(img, 26, 10, 30, 14, rgb(150, 146, 140));
  fill_rect(img, 26, 10, 30, 10, rgb(196, 192, 186));
  fill_rect(img, 27, 11, 29, 13, rgb(40, 36, 34));
  // A dormer window on the lit slope.
  fill_rect(img, 10, 10, 15, 15, rgb(226, 216, 196));
  fill_rect(img, 11, 11, 14, 14, rgb(70, 110, 160));
  fill_rect(img, 11, 11, 12, 12, rgb(150, 196, 236));
  return img;
}

Image draw_station() {
  Image img = draw_grass();
  // Platform along the bottom, paved, with its yellow edge line.
  const Color paving = rgb(178, 178, 172);
  const Color joint = rgb(146, 146, 142);
  for (int y = 27; y <= 38; ++y) {
    for (int x = 1; x <= 38; ++x) {
      img.at(x, y) = ((x % 6 == 0) || (y % 4 == 2)) ? joint : paving;
    }
  }
  fill_rect(img, 1, 37, 38, 38, rgb(120, 120, 116));
  fill_rect(img, 1, 35, 38, 35, rgb(240, 206, 46));
  // The station building: slate roof, sandstone front with arched windows.
  const Color stone = rgb(232, 214, 170);
  const Color stone_dark = rgb(192, 170, 124);
  const Color slate = rgb(70, 84, 110);
  const Color slate_light = rgb(106, 122, 152);
  fill_rect(img, 2, 6, 37, 13, slate);
  for (int y = 6; y <= 13; ++y) {
    for (int x = 2; x <= 37; ++x) {
      if (y % 2 == 0 && (x + y) % 4 == 0) img.at(x, y) = slate_light;
    }
  }
  fill_rect(img, 2, 6, 37, 6, slate_light);
  fill_rect(img, 3, 14, 36, 27, stone);
  fill_rect(img, 3, 14, 36, 14, stone_dark);
  fill_rect(img, 3, 27, 36, 27, stone_dark);
  for (int wx : {5, 31}) {
    fill_rect(img, wx, 17, wx + 3, 24, rgb(46, 62, 96));
    fill_rect(img, wx + 1, 16, wx + 2, 16, rgb(46, 62, 96));
    fill_rect(img, wx + 1, 18, wx + 1, 20, rgb(140, 186, 232));
  }
  // Door under the sign.
  fill_rect(img, 17, 22, 22, 27, rgb(96, 56, 30));
  fill_rect(img, 19, 22, 20, 27, rgb(70, 40, 22));
  // Clock tower over the middle of the roof.
  fill_rect(img, 15, 1, 24, 13, stone);
  fill_rect(img, 15, 0, 24, 0, slate);
  fill_rect(img, 14, 1, 25, 1, slate);
  fill_disc(img, 20, 7, 3.6, rgb(60, 60, 64));
  fill_disc(img, 20, 7, 2.9, rgb(250, 250, 244));
  line(img, 19, 7, 19, 5, rgb(30, 30, 34));
  line(img, 19, 7, 21, 7, rgb(30, 30, 34));
  // The sign: white "Hbf" on blue, the goal of every level.
  fill_rect(img, 10, 15, 29, 21, rgb(255, 255, 255));
  fill_rect(img, 11, 16, 28, 20, rgb(24, 64, 168));
  tiny_text(img, 14, 16, "Hbf", rgb(255, 255, 255));
  return img;
}

}  // namespace rt::make_sprites
