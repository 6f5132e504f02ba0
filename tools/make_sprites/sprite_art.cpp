// The painting of each of the game's pictures.
#include "tools/make_sprites/sprite_art.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "tools/make_sprites/paint.h"
#include "tools/make_sprites/palette.h"

namespace rt::art {
namespace {

constexpr int kCell = 40;
constexpr double kHalf = kCell / 2.0;
constexpr double kPi = std::numbers::pi;

// Seeds of the separate noise fields; the grass seed is shared by every
// picture with grass, so grass looks alike wherever two pieces meet.
constexpr std::uint32_t kGrassSeed = 11;
constexpr std::uint32_t kGravelSeed = 23;
constexpr std::uint32_t kWoodSeed = 37;
constexpr std::uint32_t kFireSeed = 51;

// --- Grass ---------------------------------------------------------------

// Smooth noise over the cell that repeats every cell, so the grass has no
// seam where two grass cells meet.
double soft_noise(int x, int y, std::uint32_t seed) {
  constexpr int kStep = 8;
  constexpr int kNodes = kCell / kStep;
  const int gx = x / kStep;
  const int gy = y / kStep;
  const double fx = (x % kStep + 0.5) / kStep;
  const double fy = (y % kStep + 0.5) / kStep;
  auto node = [seed](int nx, int ny) { return noise(nx % kNodes, ny % kNodes, seed); };
  const double top = node(gx, gy) * (1 - fx) + node(gx + 1, gy) * fx;
  const double bottom = node(gx, gy + 1) * (1 - fx) + node(gx + 1, gy + 1) * fx;
  return top * (1 - fy) + bottom * fy;
}

void paint_flower(Image& img, int x, int y, Color petal) {
  plot(img, x - 1, y, petal);
  plot(img, x + 1, y, petal);
  plot(img, x, y - 1, petal);
  plot(img, x, y + 1, petal);
  plot(img, x, y, rgb(250, 214, 60));
}

}  // namespace

Image draw_grass() {
  Image img(kCell, kCell, kClear);
  for (int y = 0; y < kCell; ++y) {
    for (int x = 0; x < kCell; ++x) {
      const double v = 0.6 * soft_noise(x, y, kGrassSeed) + 0.4 * noise(x, y, kGrassSeed + 1);
      Color c = kGrassMid;
      if (v < 0.3) {
        c = kGrassDark;
      } else if (v < 0.55) {
        c = kGrassMid;
      } else if (v < 0.78) {
        c = kGrassLight;
      } else {
        c = kGrassBright;
      }
      img.at(x, y) = c;
    }
  }
  // Tufts: a dark blade pair with a sunlit tip.
  for (int k = 0; k < 14; ++k) {
    const int x = 2 + static_cast<int>(hash(k, 1, kGrassSeed + 2) % 36);
    const int y = 2 + static_cast<int>(hash(k, 2, kGrassSeed + 2) % 36);
    plot(img, x - 1, y, kTuftDark);
    plot(img, x + 1, y, kTuftDark);
    plot(img, x, y + 1, kTuftDark);
    plot(img, x, y, kTuftLight);
  }
  // A few tiny flowers.
  constexpr std::array<Color, 3> kPetals{rgb(248, 248, 240), rgb(236, 150, 196),
                                         rgb(150, 176, 246)};
  for (int k = 0; k < 3; ++k) {
    const int x = 3 + static_cast<int>(hash(k, 3, kGrassSeed + 3) % 34);
    const int y = 3 + static_cast<int>(hash(k, 4, kGrassSeed + 3) % 34);
    paint_flower(img, x, y, kPetals[static_cast<std::size_t>(k)]);
  }
  return img;
}

bool is_rail_colour(Color c) {
  return c == kRailShadowSide || c == kRailTop || c == kRailSide;
}

namespace {

// Where a pixel lies relative to a piece of track: `across` is the signed
// distance from the track's centre line, `along` the distance travelled
// along it; `sleeper` tells whether the pixel lies on a sleeper's bar.
struct TrackPoint {
  double across;
  bool sleeper;
};

constexpr double kSleeperHalfWidth = 2.0;
constexpr double kSleeperReach = 9.0;  // sleepers end this far from the centre line
constexpr double kBallastReach = 11.0;

TrackPoint locate_on_track(Track shape, int x, int y) {
  const double px = x + 0.5;
  const double py = y + 0.5;
  if (shape == Track::Horizontal || shape == Track::Vertical) {
    const bool horizontal = shape == Track::Horizontal;
    const double across = (horizontal ? py : px) - kHalf;
    const double along = horizontal ? px : py;
    // Four sleepers, centred 5, 15, 25 and 35 pixels along: the piece is
    // symmetric and the spacing carries on into the next cell.
    const double offset = std::fmod(along, 10.0) - 5.0;
    return {across, std::abs(offset) < kSleeperHalfWidth};
  }
  const double cx = (shape == Track::TopLeft || shape == Track::BottomLeft) ? 0.0 : kCell;
  const double cy = (shape == Track::TopLeft || shape == Track::TopRight) ? 0.0 : kCell;
  const double dx = std::abs(px - cx);
  const double dy = std::abs(py - cy);
  const double r = std::hypot(dx, dy);
  const double angle = std::atan2(dy, dx);
  bool sleeper = false;
  // Three sleepers spread evenly over the quarter circle, each a bar of
  // constant width pointing at the corner.
  for (int k = 0; k < 3; ++k) {
    const double bar = (k + 0.5) * (kPi / 2) / 3;
    if (std::abs(r * std::sin(angle - bar)) < kSleeperHalfWidth) sleeper = true;
  }
  return {r - kHalf, sleeper};
}

}  // namespace

Image draw_track(Track shape) {
  Image img = draw_grass();
  for (int y = 0; y < kCell; ++y) {
    for (int x = 0; x < kCell; ++x) {
      const TrackPoint p = locate_on_track(shape, x, y);
      const double d = std::abs(p.across);
      // The gravel bed's edge is ragged by whole pixels only, so the edge of
      // a curve and of a straight piece fall on the same pixels.
      const double reach = kBallastReach + (hash(x, y, kGravelSeed + 1) % 3 == 0 ? 1.0 : 0.0);
      if (d >= reach) continue;
      Color c = kGravel[hash(x, y, kGravelSeed) % kGravel.size()];
      if (p.sleeper && d < kSleeperReach) {
        c = hash(x, y, kWoodSeed) % 11 == 0 ? kWoodKnot : kWood;
        if (d >= kSleeperReach - 1) c = kWoodEdge;
      } else if (d >= kRailOuter && d < kRailOuter + 1) {
        c = scale(c, 0.72);  // the rail's shadow on the gravel
      }
      if (d >= kRailInner && d < kRailOuter) {
        if (d < kRailInner + 1) {
          c = kRailShadowSide;
        } else if (d < kRailInner + 2) {
          c = kRailTop;
        } else {
          c = kRailSide;
        }
      }
      img.at(x, y) = c;
    }
  }
  // Dark wood at the sleepers' long sides gives them some depth.
  Image shaded = img;
  for (int y = 0; y < kCell; ++y) {
    for (int x = 0; x < kCell; ++x) {
      if (img.at(x, y) != kWood && img.at(x, y) != kWoodKnot) continue;
      int gravel_neighbours = 0;
      for (auto [nx, ny] : {std::pair{x + 1, y}, {x, y + 1}}) {
        if (nx < kCell && ny < kCell) {
          const Color n = img.at(nx, ny);
          if (std::find(kGravel.begin(), kGravel.end(), n) != kGravel.end()) ++gravel_neighbours;
        }
      }
      if (gravel_neighbours > 0) shaded.at(x, y) = kWoodEdge;
    }
  }
  return shaded;
}

namespace {

// --- Locomotive ------------------------------------------------------------

// The locomotive seen from above, heading right, on a see-through layer.
Image draw_locomotive_layer(int frame) {
  Image img(kCell, kCell, kClear);
  // Wheels show beside the running board; the coupling rods move between
  // the frames, so the wheels seem to turn.
  for (int wx : {10, 17, 24}) {
    fill_rect(img, wx - 2, 10, wx + 2, 11, kWheel);
    fill_rect(img, wx - 2, 28, wx + 2, 29, kWheel);
  }
  const int rod = frame == 0 ? -1 : 1;
  for (int ry : {10, 29}) {
    line(img, 10 + rod, ry, 24 + rod, ry, kSteel);
  }
  // Running board with the buffer beams and buffers.
  fill_rect(img, 4, 12, 35, 27, kFootplate);
  fill_rect(img, 4, 12, 35, 12, kFootplateEdge);
  fill_rect(img, 3, 12, 4, 27, kBeam);
  fill_rect(img, 35, 12, 36, 27, kBeam);
  for (int by : {14, 23}) {
    fill_rect(img, 37, by, 38, by + 2, kSteel);
    fill_rect(img, 1, by, 2, by + 2, kSteel);
  }
  // Cab roof, lit from above.
  fill_rect(img, 5, 12, 13, 27, kCab);
  fill_rect(img, 5, 12, 13, 15, kCabLight);
  fill_rect(img, 5, 24, 13, 27, kCabDark);
  fill_rect(img, 13, 12, 13, 27, kCabDark);
  fill_rect(img, 7, 19, 11, 20, kCabDark);  // roof vent
  // Boiler: a cylinder shaded across, with brass bands.
  for (int y = 14; y <= 25; ++y) {
    Color c = kBoiler;
    if (y == 14 || y == 25) {
      c = kBoilerDark;
    } else if (y <= 16) {
      c = kBoilerLight;
    } else if (y >= 22) {
      c = mix(kBoiler, kBoilerDark, 0.6);
    }
    fill_rect(img, 14, y, 30, y, c);
  }
  for (int bx : {18, 25}) {
    for (int y = 15; y <= 24; ++y) plot(img, bx, y, y <= 16 ? kBrassLight : kBrass);
  }
  // Smokebox and chimney at the front.
  fill_rect(img, 30, 14, 34, 25, kSmokebox);
  fill_rect(img, 30, 15, 34, 16, kSmokeboxLight);
  fill_disc(img, 32, 20, 2.6, kSoot);
  fill_disc(img, 31.6, 19.6, 1.1, rgb(70, 60, 56));
  // Steam dome.
  fill_disc(img, 22, 20, 2.3, kBrass);
  plot(img, 21, 19, kBrassLight);
  // Head lamp: it flickers.
  fill_rect(img, 36, 19, 36, 20, frame == 0 ? kLamp : kLampDim);
  if (frame == 0) fill_rect(img, 37, 19, 38, 20, kLampGlow);
  // Smoke: a fresh puff above the chimney, then the puff drifts back.
  if (frame == 0) {
    paint_puff(img, 28.0, 18.0, 2.4, rgb(236, 236, 240));
  } else {
    paint_puff(img, 24.5, 15.5, 3.6, rgb(214, 214, 222));
    paint_puff(img, 18.5, 12.5, 2.2, rgb(188, 190, 200));
    paint_puff(img, 32.0, 19.5, 1.4, rgb(236, 236, 240));
  }
  return img;
}

Image locomotive(Track shape, const Image& layer) {
  Image img = draw_track(shape);
  overlay(img, layer, 0, 0);
  return img;
}

// --- Tree, house, station ----------------------------------------------------

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

// --- Explosion ---------------------------------------------------------------

Image draw_explosion(int frame) {
  Image img = draw_grass();
  const double cx = 20;
  const double cy = 20;
  // Scorched ground under the fire.
  for (int y = 0; y < kCell; ++y) {
    for (int x = 0; x < kCell; ++x) {
      const double r = std::hypot(x + 0.5 - cx, y + 0.5 - cy);
      const double burn = std::clamp((19.0 - r) / 8.0, 0.0, 1.0);
      img.at(x, y) =
          mix(img.at(x, y), rgb(34, 26, 20), burn * (0.7 + 0.3 * noise(x, y, kFireSeed)));
    }
  }
  const double base = frame == 0 ? 12.5 : 16.5;
  const std::uint32_t seed = kFireSeed + static_cast<std::uint32_t>(frame) * 17;
  for (int y = 0; y < kCell; ++y) {
    for (int x = 0; x < kCell; ++x) {
      const double dx = x + 0.5 - cx;
      const double dy = y + 0.5 - cy;
      const double r = std::hypot(dx, dy);
      const double a = std::atan2(dy, dx);
      // A ragged edge: a few lobes turning between the frames, plus grain.
      const double edge = base + 2.2 * std::sin(5 * a + frame * 1.7) +
                          1.4 * std::sin(9 * a + 0.6 + frame * 2.9) +
                          1.5 * (noise(x, y, seed) - 0.5);
      const double t = r / edge;
      if (t >= 1.0) continue;
      Color c = kBlack;
      if (frame == 0) {
        if (t < 0.3) {
          c = rgb(255, 252, 220);
        } else if (t < 0.55) {
          c = rgb(255, 222, 70);
        } else if (t < 0.8) {
          c = rgb(246, 140, 30);
        } else {
          c = rgb(204, 52, 28);
        }
      } else {
        if (t < 0.22) {
          c = rgb(255, 214, 80);
        } else if (t < 0.45) {
          c = rgb(240, 124, 32);
        } else if (t < 0.62) {
          c = rgb(168, 46, 24);
        } else {
          c = noise(x, y, seed + 3) < 0.5 ? rgb(70, 64, 62) : rgb(100, 94, 90);
        }
      }
      img.at(x, y) = c;
    }
  }
  // Sparks and flying debris.
  const int sparks = frame == 0 ? 14 : 8;
  for (int k = 0; k < sparks; ++k) {
    const double a = noise(k, 1, seed + 5) * 2 * kPi;
    const double r = (frame == 0 ? 14.0 : 17.0) + 4 * noise(k, 2, seed + 5);
    const int x = static_cast<int>(std::lround(cx + r * std::cos(a)));
    const int y = static_cast<int>(std::lround(cy + r * std::sin(a)));
    plot(img, x, y, k % 2 == 0 ? rgb(255, 236, 120) : rgb(255, 160, 40));
  }
  const int pieces = frame == 0 ? 3 : 6;
  for (int k = 0; k < pieces; ++k) {
    const double a = noise(k, 3, seed + 7) * 2 * kPi;
    const double r = (frame == 0 ? 11.0 : 16.0) + 3 * noise(k, 4, seed + 7);
    const int x = static_cast<int>(std::lround(cx + r * std::cos(a)));
    const int y = static_cast<int>(std::lround(cy + r * std::sin(a)));
    fill_rect(img, x, y, x + 1, y + 1, k % 3 == 0 ? kBeam : rgb(40, 40, 44));
  }
  return img;
}

// --- Logo, menu pointer ------------------------------------------------------

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

}  // namespace

std::vector<Picture> draw_sprites() {
  const Image loco0 = draw_locomotive_layer(0);
  const Image loco1 = draw_locomotive_layer(1);
  std::vector<Picture> out;
  out.reserve(assets::kPictures.size());
  for (const assets::PictureFile& picture : assets::kPictures) {
    const auto n = picture.image;  // which picture, by its place in Sprites
    Image img;
    if (n == &Sprites::SchieneWage) img = draw_track(Track::Horizontal);
    if (n == &Sprites::SchieneSenk) img = draw_track(Track::Vertical);
    if (n == &Sprites::KurveOLi) img = draw_track(Track::TopLeft);
    if (n == &Sprites::KurveORe) img = draw_track(Track::TopRight);
    if (n == &Sprites::KurveULi) img = draw_track(Track::BottomLeft);
    if (n == &Sprites::KurveURe) img = draw_track(Track::BottomRight);
    if (n == &Sprites::Schwarz) img = Image(kCell, kCell, kBlack);
    if (n == &Sprites::Hbf) img = draw_station();
    if (n == &Sprites::LockWage1) img = locomotive(Track::Horizontal, loco0);
    if (n == &Sprites::LockWage2) img = locomotive(Track::Horizontal, loco1);
    if (n == &Sprites::LockWage3) img = locomotive(Track::Horizontal, mirror(loco0));
    if (n == &Sprites::LockWage4) img = locomotive(Track::Horizontal, mirror(loco1));
    if (n == &Sprites::LockSenk1) img = locomotive(Track::Vertical, turn_clockwise(loco0));
    if (n == &Sprites::LockSenk2) img = locomotive(Track::Vertical, turn_clockwise(loco1));
    if (n == &Sprites::LockSenk3) img = locomotive(Track::Vertical, turn_counter_clockwise(loco0));
    if (n == &Sprites::LockSenk4) img = locomotive(Track::Vertical, turn_counter_clockwise(loco1));
    if (n == &Sprites::Haus) img = draw_house();
    if (n == &Sprites::Baum1) img = draw_tree();
    if (n == &Sprites::Gruen) img = draw_grass();
    if (n == &Sprites::Explo1) img = draw_explosion(0);
    if (n == &Sprites::Explo2) img = draw_explosion(1);
    if (n == &Sprites::KX) img = draw_logo();
    if (n == &Sprites::Minilock) img = draw_menu_pointer();
    if (n == &Sprites::VLoesch) img = Image(picture.width, picture.height, kBlack);
    out.push_back({picture.name, std::move(img)});
  }
  return out;
}

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
  auto find = [&pictures](std::string_view name) -> const Image& {
    for (const Picture& p : pictures) {
      if (p.name == name) return p.image;
    }
    return pictures.front().image;
  };
  // A board of 10 x 6 cells: an oval of track with the locomotive, the
  // station, a house, trees and the hole.
  constexpr std::array<std::string_view, 60> kBoard{
      "KurveURe",    "SchieneWage", "LockWage1",   "SchieneWage", "SchieneWage", "KurveULi",
      "Gruen",       "Baum1",       "Gruen",       "Haus",        "SchieneSenk", "Gruen",
      "Baum1",       "Gruen",       "Gruen",       "LockSenk1",   "Gruen",       "KurveURe",
      "SchieneWage", "Hbf",         "LockSenk3",   "Gruen",       "Schwarz",     "Haus",
      "Gruen",       "KurveORe",    "SchieneWage", "KurveOLi",    "Explo1",      "Gruen",
      "SchieneSenk", "Gruen",       "Gruen",       "Baum1",       "Gruen",       "Gruen",
      "Gruen",       "SchieneSenk", "Explo2",      "Gruen",       "KurveORe",    "LockWage3",
      "SchieneWage", "SchieneWage", "SchieneWage", "KurveULi",    "Gruen",       "SchieneSenk",
      "Baum1",       "Gruen",       "Gruen",       "Baum1",       "Gruen",       "Gruen",
      "Gruen",       "KurveORe",    "SchieneWage", "KurveOLi",    "Gruen",       "Gruen"};
  Image board(10 * kCell, 6 * kCell, background);
  for (int k = 0; k < 60; ++k) {
    overlay(board, find(kBoard[static_cast<std::size_t>(k)]), (k % 10) * kCell, (k / 10) * kCell);
  }
  overlay(sheet, enlarge(board, 2), kGap, top);
  return sheet;
}

}  // namespace rt::art
