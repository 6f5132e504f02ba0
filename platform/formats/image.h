// Off-screen pictures in the screen's pixel format.
#pragma once

#include <cstddef>
#include <vector>

#include "platform/formats/color.h"

namespace rt {

// An off-screen picture in the screen's own 32-bit format, rows top to bottom.
struct Image {
  int width = 0;
  int height = 0;
  std::vector<Color> pixels;

  Image() = default;
  Image(int w, int h, Color fill)
      : width(w), height(h), pixels(static_cast<std::size_t>(w) * h, fill) {}

  Color at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
  Color& at(int x, int y) { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

}  // namespace rt
