// Writing pictures as BMP files, and files as a whole.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <vector>

#include "platform/formats/image.h"

namespace rt {

// Encodes `image` as an uncompressed BMP file with a 40-byte info header and
// bottom-up rows padded to 4 bytes. With 24 bits per pixel each pixel is
// stored as blue, green, red (the alpha byte is dropped); with 32 bits its
// stored value is written little-endian: blue, green, red, alpha. Returns an
// empty vector for any other depth, for an image whose pixel count does not
// match its size, and for a picture too large for the format.
std::vector<std::uint8_t> encode_bmp(const Image& image, int bits_per_pixel);

// Writes `bytes` to `path`, replacing the file. False when the file cannot be
// written completely.
bool write_file(const std::filesystem::path& path, std::span<const std::uint8_t> bytes);

}  // namespace rt
