// Writing BMP files and whole files to disk, for the generators, the runner's
// shots and the tests.
#include "platform/formats/bmp_writer.h"

#include <cstddef>
#include <fstream>
#include <limits>

namespace rt {
namespace {

constexpr std::size_t kFileHeaderSize = 14;
constexpr std::size_t kInfoHeaderSize = 40;

void put16(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t value) {
  out[at] = static_cast<std::uint8_t>(value & 0xFF);
  out[at + 1] = static_cast<std::uint8_t>((value >> 8) & 0xFF);
}

void put32(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t value) {
  put16(out, at, value & 0xFFFF);
  put16(out, at + 2, value >> 16);
}

}  // namespace

std::vector<std::uint8_t> encode_bmp(const Image& image, int bits_per_pixel) {
  if (bits_per_pixel != 24 && bits_per_pixel != 32) return {};
  if (image.width < 1 || image.height < 1) return {};
  const auto width = static_cast<std::size_t>(image.width);
  const auto height = static_cast<std::size_t>(image.height);
  // Keep every size well inside the 32-bit fields of the headers; the
  // divisions keep the products themselves from overflowing.
  constexpr std::size_t kLimit = std::numeric_limits<std::int32_t>::max() / 2;
  if (width > kLimit / 4 || height > kLimit / (width * 4 + 3)) return {};
  if (image.pixels.size() != width * height) return {};

  const std::size_t bytes_per_pixel = static_cast<std::size_t>(bits_per_pixel) / 8;
  const std::size_t row_bytes = (width * bytes_per_pixel + 3) / 4 * 4;
  const std::size_t data_size = row_bytes * height;
  const std::size_t offset = kFileHeaderSize + kInfoHeaderSize;
  std::vector<std::uint8_t> out(offset + data_size, 0);

  // File header: signature, file size, two reserved words, pixel-data offset.
  out[0] = 'B';
  out[1] = 'M';
  put32(out, 2, static_cast<std::uint32_t>(out.size()));
  put32(out, 10, static_cast<std::uint32_t>(offset));
  // Info header: size, width, height (positive: bottom-up), planes, depth,
  // compression 0, image size, 2835 pixels per metre (72 dpi), no palette.
  put32(out, 14, static_cast<std::uint32_t>(kInfoHeaderSize));
  put32(out, 18, static_cast<std::uint32_t>(width));
  put32(out, 22, static_cast<std::uint32_t>(height));
  put16(out, 26, 1);
  put16(out, 28, static_cast<std::uint32_t>(bits_per_pixel));
  put32(out, 30, 0);
  put32(out, 34, static_cast<std::uint32_t>(data_size));
  put32(out, 38, 2835);
  put32(out, 42, 2835);

  for (std::size_t y = 0; y < height; ++y) {
    // The first stored row is the bottom row of the picture.
    std::size_t at = offset + (height - 1 - y) * row_bytes;
    for (std::size_t x = 0; x < width; ++x) {
      const Color c = image.pixels[y * width + x];
      out[at++] = static_cast<std::uint8_t>(c & 0xFF);
      out[at++] = static_cast<std::uint8_t>((c >> 8) & 0xFF);
      out[at++] = static_cast<std::uint8_t>((c >> 16) & 0xFF);
      if (bytes_per_pixel == 4) out[at++] = static_cast<std::uint8_t>(c >> 24);
    }
  }
  return out;
}

bool write_file(const std::filesystem::path& path, std::span<const std::uint8_t> bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) return false;
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  out.flush();
  return static_cast<bool>(out);
}

}  // namespace rt
