// The two frames of a lost locomotive's explosion.
#include <algorithm>
#include <cmath>
#include <numbers>

#include "tools/make_sprites/paint.h"
#include "tools/make_sprites/palette.h"
#include "tools/make_sprites/sprite_art.h"

namespace rt::make_sprites {
namespace {

constexpr double kPi = std::numbers::pi;
constexpr std::uint32_t kFireSeed = 51;

}  // namespace

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

}  // namespace rt::make_sprites
