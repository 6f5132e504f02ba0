// Painting tools for the picture generator: shapes, noise and small letters.
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/formats/image.h"

// Small painting tools for the game's pixel art. Colours are opaque
// 0xFFRRGGBB values; in a layer (a picture painted over another one) the
// value 0 marks a see-through pixel.
namespace rt::make_sprites {

inline constexpr Color kClear = 0x00000000;

constexpr Color rgb(int r, int g, int b) {
  return 0xFF000000u | (static_cast<Color>(r & 0xFF) << 16) | (static_cast<Color>(g & 0xFF) << 8) |
         static_cast<Color>(b & 0xFF);
}
constexpr int red_of(Color c) {
  return static_cast<int>((c >> 16) & 0xFF);
}
constexpr int green_of(Color c) {
  return static_cast<int>((c >> 8) & 0xFF);
}
constexpr int blue_of(Color c) {
  return static_cast<int>(c & 0xFF);
}

// The colour `t` of the way from `a` to `b` (t is clamped to 0..1).
Color mix(Color a, Color b, double t);
// Each channel multiplied by `factor` and clamped to 0..255.
Color scale(Color c, double factor);

// A well-mixed 32-bit hash of a position and a seed; the pictures' only
// source of "randomness", so every run paints the same pixels.
std::uint32_t hash(int x, int y, std::uint32_t seed);
// The hash mapped to 0..1.
double noise(int x, int y, std::uint32_t seed);

// Sets one pixel; positions outside the picture are ignored.
void plot(Image& img, int x, int y, Color c);
// Fills the rectangle from (x0, y0) to (x1, y1), both corners included.
void fill_rect(Image& img, int x0, int y0, int x1, int y1, Color c);
// Fills every pixel whose centre lies within the ellipse around (cx, cy)
// with radii rx and ry.
void fill_ellipse(Image& img, double cx, double cy, double rx, double ry, Color c);
inline void fill_disc(Image& img, double cx, double cy, double r, Color c) {
  fill_ellipse(img, cx, cy, r, r, c);
}
// A puff of steam or smoke: a disc in `c` with a darker underside and a
// lit top-left.
void paint_puff(Image& img, double cx, double cy, double r, Color c);
// A line of single pixels from (x0, y0) to (x1, y1).
void line(Image& img, int x0, int y0, int x1, int y1, Color c);

// Copies every pixel of `layer` that is not see-through onto `dst`, with the
// layer's top-left corner at (dx, dy).
void overlay(Image& dst, const Image& layer, int dx, int dy);
// The picture turned a quarter clockwise / counter-clockwise, mirrored left
// to right, and enlarged `factor` times.
Image turn_clockwise(const Image& img);
Image turn_counter_clockwise(const Image& img);
Image mirror(const Image& img);
Image enlarge(const Image& img, int factor);

// Paints text in the small 3 x 5 pixel letters of the art (so far the
// letters of "Hbf"); `size` enlarges each dot. Unknown characters leave a
// gap.
void tiny_text(Image& img, int x, int y, std::string_view text, Color c, int size = 1);

}  // namespace rt::make_sprites
