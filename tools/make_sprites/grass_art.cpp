// The grass every outdoor picture stands on.
#include <array>

#include "tools/make_sprites/paint.h"
#include "tools/make_sprites/palette.h"
#include "tools/make_sprites/sprite_art.h"

namespace rt::make_sprites {
namespace {

// The grass seed is shared by every picture with grass, so grass looks alike
// wherever two pieces meet.
constexpr std::uint32_t kGrassSeed = 11;

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

}  // namespace rt::make_sprites
