// A small PNG encoder for the desktop icons: the icon themes of Linux
// desktops take PNG files, the game itself only BMP.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "platform/formats/image.h"

namespace rt::make_sprites {

// Encodes `image` as an 8-bit RGBA PNG file, the alpha byte of each pixel
// (0 see-through, 255 opaque) as its alpha. The pixel data is compressed with
// deflate's fixed codes, runs of equal bytes as back-references; each row is
// filtered with "Up" when it repeats the row above and with "Sub" otherwise,
// so the enlarged pixel art of the icons packs well. Returns an empty vector
// for an empty image, for one whose pixel count does not match its size and
// for one too large for the format's 31-bit sizes.
std::vector<std::uint8_t> encode_png(const Image& image);

// The CRC-32 of PNG chunks and zip files (polynomial 0xEDB88320).
std::uint32_t crc32(std::span<const std::uint8_t> bytes);

// The Adler-32 checksum that ends a zlib stream.
std::uint32_t adler32(std::span<const std::uint8_t> bytes);

}  // namespace rt::make_sprites
