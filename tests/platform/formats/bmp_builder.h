// BMP files written field by field for the BMP reader's tests, so that
// every form (and every broken one) can be made.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/formats/bmp.h"

namespace rt::testing {

using Bytes = std::vector<std::uint8_t>;

inline void put16(Bytes& b, std::size_t at, std::uint32_t v) {
  b[at] = static_cast<std::uint8_t>(v);
  b[at + 1] = static_cast<std::uint8_t>(v >> 8);
}
inline void put32(Bytes& b, std::size_t at, std::uint32_t v) {
  for (std::size_t i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

// A BMP file put together field by field, so that every form (and every
// broken one) can be written.
struct BmpFile {
  std::uint32_t header_size = 40;
  std::int32_t width = 1;
  std::int32_t height = 1;
  std::uint32_t planes = 1;
  std::uint32_t bpp = 24;
  std::uint32_t compression = 0;
  std::array<std::uint32_t, 4> header_masks{};  // headers of more than 107 bytes
  std::vector<std::uint32_t> masks_after_header;
  std::vector<std::uint32_t> palette;  // 0x00RRGGBB
  // Pixel values (palette indices or raw values) of the rows as stored.
  std::vector<std::vector<std::uint32_t>> rows;
  std::int64_t offset_change = 0;  // added to the true pixel-data offset

  Bytes bytes() const {
    const bool core = header_size == 12;
    // The fields are written in full and then cut to the header's size.
    Bytes b(14 + 124, 0);
    b[0] = 'B';
    b[1] = 'M';
    put32(b, 14, header_size);
    if (core) {
      put16(b, 18, static_cast<std::uint32_t>(width));
      put16(b, 20, static_cast<std::uint32_t>(height));
      put16(b, 22, planes);
      put16(b, 24, bpp);
    } else {
      put32(b, 18, static_cast<std::uint32_t>(width));
      put32(b, 22, static_cast<std::uint32_t>(height));
      put16(b, 26, planes);
      put16(b, 28, bpp);
      if (header_size >= 20) put32(b, 30, compression);
      if (header_size > 107) {
        for (std::size_t i = 0; i < 4; ++i) put32(b, 54 + 4 * i, header_masks[i]);
      }
    }
    b.resize(14 + header_size);
    for (std::uint32_t m : masks_after_header) {
      b.resize(b.size() + 4);
      put32(b, b.size() - 4, m);
    }
    for (std::uint32_t c : palette) {
      b.push_back(static_cast<std::uint8_t>(c));
      b.push_back(static_cast<std::uint8_t>(c >> 8));
      b.push_back(static_cast<std::uint8_t>(c >> 16));
      if (!core) b.push_back(0x77);  // the ignored fourth byte
    }
    put32(b, 10, static_cast<std::uint32_t>(static_cast<std::int64_t>(b.size()) + offset_change));
    for (const auto& row : rows) {
      Bytes packed;
      unsigned bit = 0;
      for (std::uint32_t v : row) {
        if (bpp == 0 || (bpp < 8 && 8 % bpp != 0)) {
          packed.push_back(0);  // no such form: a byte as a stand-in
        } else if (bpp < 8) {
          if (bit % 8 == 0) packed.push_back(0);
          packed.back() |= static_cast<std::uint8_t>(v << (8 - bpp - bit % 8));
          bit += bpp;
        } else {
          for (unsigned i = 0; i < bpp / 8; ++i) {
            packed.push_back(i < 4 ? static_cast<std::uint8_t>(v >> (8 * i)) : 0);
          }
        }
      }
      while (packed.size() % 4 != 0) packed.push_back(0);
      b.insert(b.end(), packed.begin(), packed.end());
    }
    put32(b, 2, static_cast<std::uint32_t>(b.size()));
    return b;
  }
};

inline constexpr Color kUntouched = 0x5A5A5A5A;

inline int decode(const Bytes& bytes, Image& image) {
  return decode_bmp(bytes, image);
}

inline Image blank(int w, int h) {
  return Image(w, h, kUntouched);
}

}  // namespace rt::testing
