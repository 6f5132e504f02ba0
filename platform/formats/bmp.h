// Reading BMP pictures into the screen's pixel format, with the result codes
// the game sees.
#pragma once

#include <cstdint>
#include <span>

#include "platform/formats/image.h"

namespace rt {

// Result codes of load_bmp.
inline constexpr int kBmpOk = 0;
inline constexpr int kBmpNotFound = 2;
inline constexpr int kBmpBad = 3;

// Decodes the bytes of a BMP file into the overlap of its picture and
// `image` (the image keeps its size). Returns kBmpOk, or kBmpBad with the
// image untouched when the bytes are not a BMP form the game accepts. Never
// reads outside `bytes`.
int decode_bmp(std::span<const std::uint8_t> bytes, Image& image);

}  // namespace rt
