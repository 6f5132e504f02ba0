// The PNG encoder of the desktop icons: chunks with their CRCs, a zlib
// stream of one deflate block with the fixed codes.
#include "tools/make_sprites/png_writer.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <string_view>

namespace rt::make_sprites {
namespace {

constexpr std::size_t kBytesPerPixel = 4;

// Deflate's lengths 3..258: the first length of each length code 257..285
// and the number of extra bits that follow the code.
constexpr std::array<int, 29> kLengthBase{3,  4,  5,  6,   7,   8,   9,   10,  11, 13,
                                          15, 17, 19, 23,  27,  31,  35,  43,  51, 59,
                                          67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr std::array<int, 29> kLengthExtra{0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                           2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
constexpr int kMinMatch = 3;
constexpr int kMaxMatch = 258;

// Packs bits the way deflate reads them: numbers from their lowest bit up,
// Huffman codes from their highest bit down.
class BitWriter {
 public:
  void bits(std::uint32_t value, int count) {
    for (int i = 0; i < count; ++i) put((value >> i) & 1u);
  }
  void code(std::uint32_t value, int length) {
    for (int i = length - 1; i >= 0; --i) put((value >> i) & 1u);
  }
  // The fixed code of a literal byte or length symbol (0..287).
  void symbol(int s) {
    if (s < 144) {
      code(0x30u + static_cast<std::uint32_t>(s), 8);
    } else if (s < 256) {
      code(0x190u + static_cast<std::uint32_t>(s - 144), 9);
    } else if (s < 280) {
      code(static_cast<std::uint32_t>(s - 256), 7);
    } else {
      code(0xC0u + static_cast<std::uint32_t>(s - 280), 8);
    }
  }
  // A copy of `length` bytes from one byte back.
  void repeat_previous(int length) {
    std::size_t i = kLengthBase.size() - 1;
    while (kLengthBase[i] > length) --i;
    symbol(257 + static_cast<int>(i));
    bits(static_cast<std::uint32_t>(length - kLengthBase[i]), kLengthExtra[i]);
    code(0, 5);  // distance code 0: one byte back
  }
  std::vector<std::uint8_t> finish() {
    if (filled_ > 0) out_.push_back(current_);
    filled_ = 0;
    current_ = 0;
    return std::move(out_);
  }

 private:
  void put(std::uint32_t bit) {
    current_ = static_cast<std::uint8_t>(current_ | (bit << filled_));
    if (++filled_ == 8) {
      out_.push_back(current_);
      current_ = 0;
      filled_ = 0;
    }
  }
  std::vector<std::uint8_t> out_;
  std::uint8_t current_ = 0;
  int filled_ = 0;
};

// One final deflate block with the fixed codes; a run of three or more bytes
// equal to the byte before them becomes a back-reference.
std::vector<std::uint8_t> deflate_fixed(std::span<const std::uint8_t> data) {
  BitWriter w;
  w.bits(1, 1);  // the last block
  w.bits(1, 2);  // fixed codes
  std::size_t i = 0;
  while (i < data.size()) {
    int run = 0;
    if (i > 0) {
      while (run < kMaxMatch && i + static_cast<std::size_t>(run) < data.size() &&
             data[i + static_cast<std::size_t>(run)] == data[i - 1]) {
        ++run;
      }
    }
    if (run >= kMinMatch) {
      w.repeat_previous(run);
      i += static_cast<std::size_t>(run);
    } else {
      w.symbol(data[i]);
      ++i;
    }
  }
  w.symbol(256);  // end of block
  return w.finish();
}

void put_be32(std::vector<std::uint8_t>& out, std::uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) {
    out.push_back(static_cast<std::uint8_t>((value >> shift) & 0xFF));
  }
}

void put_chunk(std::vector<std::uint8_t>& out, std::string_view type,
               std::span<const std::uint8_t> data) {
  put_be32(out, static_cast<std::uint32_t>(data.size()));
  const std::size_t start = out.size();
  out.insert(out.end(), type.begin(), type.end());
  out.insert(out.end(), data.begin(), data.end());
  put_be32(out, crc32(std::span(out).subspan(start)));
}

// The rows as PNG stores them before compression: each led by its filter
// type, the pixels as red, green, blue, alpha.
std::vector<std::uint8_t> filtered_rows(const Image& image) {
  const auto width = static_cast<std::size_t>(image.width);
  const auto height = static_cast<std::size_t>(image.height);
  const std::size_t stride = width * kBytesPerPixel;
  std::vector<std::uint8_t> raw(stride * height);
  for (std::size_t p = 0; p < width * height; ++p) {
    const Color c = image.pixels[p];
    raw[p * 4] = static_cast<std::uint8_t>((c >> 16) & 0xFF);
    raw[p * 4 + 1] = static_cast<std::uint8_t>((c >> 8) & 0xFF);
    raw[p * 4 + 2] = static_cast<std::uint8_t>(c & 0xFF);
    raw[p * 4 + 3] = static_cast<std::uint8_t>(c >> 24);
  }
  std::vector<std::uint8_t> out;
  out.reserve((stride + 1) * height);
  for (std::size_t y = 0; y < height; ++y) {
    const std::uint8_t* row = raw.data() + y * stride;
    const std::uint8_t* above = y > 0 ? row - stride : nullptr;
    if (above != nullptr && std::equal(row, row + stride, above)) {
      out.push_back(2);  // Up: every byte minus the one above, here all 0
      out.insert(out.end(), stride, 0);
      continue;
    }
    out.push_back(1);  // Sub: every byte minus the same byte of the pixel before
    for (std::size_t i = 0; i < stride; ++i) {
      const std::uint8_t left = i >= kBytesPerPixel ? row[i - kBytesPerPixel] : 0;
      out.push_back(static_cast<std::uint8_t>(row[i] - left));
    }
  }
  return out;
}

}  // namespace

std::uint32_t crc32(std::span<const std::uint8_t> bytes) {
  std::uint32_t crc = 0xFFFFFFFFu;
  for (std::uint8_t b : bytes) {
    crc ^= b;
    for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  return crc ^ 0xFFFFFFFFu;
}

std::uint32_t adler32(std::span<const std::uint8_t> bytes) {
  constexpr std::uint32_t kMod = 65521;
  std::uint32_t a = 1;
  std::uint32_t b = 0;
  for (std::uint8_t byte : bytes) {
    a = (a + byte) % kMod;
    b = (b + a) % kMod;
  }
  return (b << 16) | a;
}

std::vector<std::uint8_t> encode_png(const Image& image) {
  if (image.width < 1 || image.height < 1) return {};
  const auto width = static_cast<std::size_t>(image.width);
  const auto height = static_cast<std::size_t>(image.height);
  if (image.pixels.size() != width * height) return {};
  // Every chunk length is a 31-bit number: the uncompressed rows bound the
  // compressed ones, which never grow past 9/8 of them plus a few bytes.
  constexpr std::size_t kChunkLimit = 0x7FFFFFFFu;
  if (height > kChunkLimit / 2 / (width * kBytesPerPixel + 1)) return {};

  const std::vector<std::uint8_t> rows = filtered_rows(image);
  std::vector<std::uint8_t> zlib{0x78, 0x01};  // deflate, 32 KiB window, no dictionary
  const std::vector<std::uint8_t> packed = deflate_fixed(rows);
  zlib.insert(zlib.end(), packed.begin(), packed.end());
  put_be32(zlib, adler32(rows));

  std::vector<std::uint8_t> header;
  put_be32(header, static_cast<std::uint32_t>(width));
  put_be32(header, static_cast<std::uint32_t>(height));
  header.insert(header.end(), {8, 6, 0, 0, 0});  // 8 bits, RGBA, deflate, filters, no interlace

  std::vector<std::uint8_t> out{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  put_chunk(out, "IHDR", header);
  put_chunk(out, "IDAT", zlib);
  put_chunk(out, "IEND", {});
  return out;
}

}  // namespace rt::make_sprites
