// Painting tools for the picture generator.
#include "tools/make_sprites/paint.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>

namespace rt::make_sprites {

Color mix(Color a, Color b, double t) {
  t = std::clamp(t, 0.0, 1.0);
  auto channel = [t](int from, int to) {
    return static_cast<int>(std::lround(from + (to - from) * t));
  };
  return rgb(channel(red_of(a), red_of(b)), channel(green_of(a), green_of(b)),
             channel(blue_of(a), blue_of(b)));
}

Color scale(Color c, double factor) {
  auto channel = [factor](int v) {
    return static_cast<int>(std::clamp(std::lround(v * factor), 0L, 255L));
  };
  return rgb(channel(red_of(c)), channel(green_of(c)), channel(blue_of(c)));
}

std::uint32_t hash(int x, int y, std::uint32_t seed) {
  std::uint32_t h = seed * 0x9E3779B9u;
  h ^= static_cast<std::uint32_t>(x) * 0x85EBCA6Bu;
  h = (h << 13) | (h >> 19);
  h ^= static_cast<std::uint32_t>(y) * 0xC2B2AE35u;
  h ^= h >> 16;
  h *= 0x7FEB352Du;
  h ^= h >> 15;
  h *= 0x846CA68Bu;
  h ^= h >> 16;
  return h;
}

double noise(int x, int y, std::uint32_t seed) {
  return static_cast<double>(hash(x, y, seed)) / 4294967296.0;
}

void plot(Image& img, int x, int y, Color c) {
  if (x >= 0 && y >= 0 && x < img.width && y < img.height) img.at(x, y) = c;
}

void fill_rect(Image& img, int x0, int y0, int x1, int y1, Color c) {
  for (int y = std::max(0, std::min(y0, y1)); y <= std::min(img.height - 1, std::max(y0, y1));
       ++y) {
    for (int x = std::max(0, std::min(x0, x1)); x <= std::min(img.width - 1, std::max(x0, x1));
         ++x) {
      img.at(x, y) = c;
    }
  }
}

void fill_ellipse(Image& img, double cx, double cy, double rx, double ry, Color c) {
  if (rx <= 0 || ry <= 0) return;
  for (int y = 0; y < img.height; ++y) {
    for (int x = 0; x < img.width; ++x) {
      const double dx = (x + 0.5 - cx) / rx;
      const double dy = (y + 0.5 - cy) / ry;
      if (dx * dx + dy * dy <= 1.0) img.at(x, y) = c;
    }
  }
}

void paint_puff(Image& img, double cx, double cy, double r, Color c) {
  fill_disc(img, cx + 0.6, cy + 0.6, r, scale(c, 0.8));  // underside
  fill_disc(img, cx, cy, r, c);
  fill_disc(img, cx - r * 0.35, cy - r * 0.35, r * 0.45, mix(c, rgb(255, 255, 255), 0.6));
}

void line(Image& img, int x0, int y0, int x1, int y1, Color c) {
  const int dx = std::abs(x1 - x0);
  const int dy = -std::abs(y1 - y0);
  const int sx = x0 < x1 ? 1 : -1;
  const int sy = y0 < y1 ? 1 : -1;
  int err = dx + dy;
  for (;;) {
    plot(img, x0, y0, c);
    if (x0 == x1 && y0 == y1) return;
    const int e2 = 2 * err;
    if (e2 >= dy) {
      err += dy;
      x0 += sx;
    }
    if (e2 <= dx) {
      err += dx;
      y0 += sy;
    }
  }
}

void overlay(Image& dst, const Image& layer, int dx, int dy) {
  for (int y = 0; y < layer.height; ++y) {
    for (int x = 0; x < layer.width; ++x) {
      const Color c = layer.at(x, y);
      if (c != kClear) plot(dst, x + dx, y + dy, c);
    }
  }
}

Image turn_clockwise(const Image& img) {
  Image out(img.height, img.width, kClear);
  for (int y = 0; y < img.height; ++y) {
    for (int x = 0; x < img.width; ++x) out.at(img.height - 1 - y, x) = img.at(x, y);
  }
  return out;
}

Image turn_counter_clockwise(const Image& img) {
  Image out(img.height, img.width, kClear);
  for (int y = 0; y < img.height; ++y) {
    for (int x = 0; x < img.width; ++x) out.at(y, img.width - 1 - x) = img.at(x, y);
  }
  return out;
}

Image mirror(const Image& img) {
  Image out(img.width, img.height, kClear);
  for (int y = 0; y < img.height; ++y) {
    for (int x = 0; x < img.width; ++x) out.at(img.width - 1 - x, y) = img.at(x, y);
  }
  return out;
}

Image enlarge(const Image& img, int factor) {
  factor = std::max(1, factor);
  Image out(img.width * factor, img.height * factor, kClear);
  for (int y = 0; y < out.height; ++y) {
    for (int x = 0; x < out.width; ++x) out.at(x, y) = img.at(x / factor, y / factor);
  }
  return out;
}

namespace {

// The 3 x 5 letters, rows top to bottom: '#' is a dot.
struct Letter {
  char ch;
  std::array<const char*, 5> rows;
};
constexpr std::array kLetters{
    Letter{'H', {"#.#", "#.#", "###", "#.#", "#.#"}},
    Letter{'b', {"#..", "#..", "##.", "#.#", "##."}},
    Letter{'f', {".##", "#..", "##.", "#..", "#.."}},
};

}  // namespace

void tiny_text(Image& img, int x, int y, std::string_view text, Color c, int size) {
  for (char ch : text) {
    for (const Letter& letter : kLetters) {
      if (letter.ch != ch) continue;
      for (int row = 0; row < 5; ++row) {
        for (int col = 0; col < 3; ++col) {
          if (letter.rows[static_cast<std::size_t>(row)][col] == '#') {
            fill_rect(img, x + col * size, y + row * size, x + col * size + size - 1,
                      y + row * size + size - 1, c);
          }
        }
      }
    }
    x += 4 * size;
  }
}

}  // namespace rt::make_sprites
