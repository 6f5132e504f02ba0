#include "tools/make_ico/ico.h"

#include <cstddef>

#include "platform/formats/bmp_writer.h"

namespace rt::make_ico {

namespace {

constexpr std::size_t kBmpFileHeader = 14;
constexpr std::size_t kInfoHeader = 40;
constexpr int kLargest = 256;

void put16(std::vector<std::uint8_t>& out, std::uint32_t value) {
  out.push_back(static_cast<std::uint8_t>(value & 0xFF));
  out.push_back(static_cast<std::uint8_t>((value >> 8) & 0xFF));
}

void put32(std::vector<std::uint8_t>& out, std::uint32_t value) {
  put16(out, value & 0xFFFF);
  put16(out, value >> 16);
}

void set32(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) out[at + i] = static_cast<std::uint8_t>((value >> (8 * i)) & 0xFF);
}

}  // namespace

std::vector<std::uint8_t> bitmap_entry(const Image& image) {
  if (image.width <= 0 || image.width != image.height || image.width > kLargest ||
      image.pixels.size() != static_cast<std::size_t>(image.width) * image.height) {
    return {};
  }
  // The 32-bit BMP writer gives the header and the colour rows; an icon's
  // bitmap has no file header and counts the mask's rows into its height.
  const std::vector<std::uint8_t> bmp = encode_bmp(image, 32);
  if (bmp.size() < kBmpFileHeader + kInfoHeader) return {};
  std::vector<std::uint8_t> out(bmp.begin() + kBmpFileHeader, bmp.end());
  const auto size = static_cast<std::uint32_t>(image.width);
  set32(out, 8, 2 * size);  // height: colour rows and mask rows

  const std::size_t mask_row = ((size + 31) / 32) * 4;
  const std::size_t colour_bytes = out.size() - kInfoHeader;
  for (int y = image.height - 1; y >= 0; --y) {
    std::vector<std::uint8_t> row(mask_row, 0);
    for (int x = 0; x < image.width; ++x) {
      if ((image.at(x, y) >> 24) == 0) {
        row[static_cast<std::size_t>(x) / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
      }
    }
    out.insert(out.end(), row.begin(), row.end());
  }
  set32(out, 20, static_cast<std::uint32_t>(colour_bytes + mask_row * size));  // image size
  return out;
}

std::vector<std::uint8_t> encode(const std::vector<Entry>& entries) {
  if (entries.empty() || entries.size() > 255) return {};
  for (const Entry& entry : entries) {
    if (entry.data.empty() || entry.size < 1 || entry.size > kLargest) return {};
  }
  std::vector<std::uint8_t> out;
  put16(out, 0);  // reserved
  put16(out, 1);  // an icon, not a cursor
  put16(out, static_cast<std::uint32_t>(entries.size()));
  std::size_t offset = 6 + 16 * entries.size();
  for (const Entry& entry : entries) {
    const auto side = static_cast<std::uint8_t>(entry.size == kLargest ? 0 : entry.size);
    out.push_back(side);  // width
    out.push_back(side);  // height
    out.push_back(0);     // no palette
    out.push_back(0);     // reserved
    put16(out, 1);        // colour planes
    put16(out, 32);       // bits a pixel
    put32(out, static_cast<std::uint32_t>(entry.data.size()));
    put32(out, static_cast<std::uint32_t>(offset));
    offset += entry.data.size();
  }
  for (const Entry& entry : entries) out.insert(out.end(), entry.data.begin(), entry.data.end());
  return out;
}

}  // namespace rt::make_ico
