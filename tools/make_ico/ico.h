// Windows icon files (.ico): several pictures of one icon at different
// sizes in one file, as the resource compiler puts them into a program.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/formats/image.h"

namespace rt::make_ico {

// One picture of the icon: its size in pixels square and its data, either a
// device-independent bitmap from `bitmap_entry` or a whole PNG file (how
// Windows expects the 256-pixel picture, to keep it small).
struct Entry {
  int size = 0;
  std::vector<std::uint8_t> data;
};

// The bitmap form of a square picture: a 40-byte header giving twice the
// height, the colour rows bottom-up as blue, green, red, alpha, then the
// transparency mask of one bit a pixel (set where alpha is 0), each mask row
// padded to 4 bytes. Empty for an image that is not square, is empty or
// larger than 256 pixels, or whose pixel count does not match its size.
std::vector<std::uint8_t> bitmap_entry(const Image& image);

// The icon file: its 6-byte header, one 16-byte directory entry per picture
// (a size of 256 is written as 0, as the format wants), then the pictures'
// data in the same order. Empty when there is no entry, more than 255, an
// entry without data, or a size outside 1..256.
std::vector<std::uint8_t> encode(const std::vector<Entry>& entries);

}  // namespace rt::make_ico
