// Reading BMP files: every header form and pixel depth the game accepts,
// bounds-checked, into an Image.
#include "platform/formats/bmp.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace rt {

namespace {

constexpr std::uint64_t kFileHeaderSize = 14;
constexpr std::uint32_t kCoreHeaderSize = 12;
constexpr std::uint32_t kShortestInfoHeader = 16;
// Headers longer than this (the V4 and V5 forms) carry their own masks.
constexpr std::uint32_t kLongestPlainHeader = 107;
// Pictures beyond this many pixels are refused: no game picture comes near
// it, and it keeps every size computation far from overflowing.
constexpr std::uint64_t kMaxPixels = std::uint64_t{1} << 26;
constexpr Color kOpaque = 0xFF000000;

// Little-endian reads at an offset the caller has checked against the size.
std::uint32_t u16_at(std::span<const std::uint8_t> b, std::uint64_t at) {
  return static_cast<std::uint32_t>(b[at] | (b[at + 1] << 8));
}
std::uint32_t u32_at(std::span<const std::uint8_t> b, std::uint64_t at) {
  return static_cast<std::uint32_t>(b[at]) | (static_cast<std::uint32_t>(b[at + 1]) << 8) |
         (static_cast<std::uint32_t>(b[at + 2]) << 16) |
         (static_cast<std::uint32_t>(b[at + 3]) << 24);
}

// One colour channel taken through a bit mask and brought to 8 bits: wider
// channels keep their top 8 bits, narrower ones repeat their top bits in the
// low bits, so full intensity stays full (5-bit 31 becomes 255).
class Channel {
 public:
  explicit Channel(std::uint32_t mask)
      : mask_(mask),
        shift_(mask == 0 ? 0 : std::countr_zero(mask)),
        bits_(mask == 0 ? 0 : std::bit_width(mask >> shift_)) {}

  bool present() const { return mask_ != 0; }

  std::uint32_t extract(std::uint32_t pixel) const {
    if (bits_ == 0) return 0;
    const std::uint32_t v = (pixel & mask_) >> shift_;
    if (bits_ >= 8) return (v >> (bits_ - 8)) & 0xFF;
    std::uint32_t out = 0;
    int pos = 8 - bits_;
    while (pos > 0) {
      out |= v << pos;
      pos -= bits_;
    }
    out |= v >> (-pos);
    return out & 0xFF;
  }

 private:
  std::uint32_t mask_;
  int shift_;
  int bits_;
};

struct Header {
  std::uint32_t header_size = 0;
  std::uint32_t data_offset = 0;
  std::int64_t width = 0;
  std::int64_t height = 0;  // as stored: negative means top-down rows
  std::uint32_t planes = 0;
  std::uint32_t bpp = 0;
  std::uint32_t compression = 0;
  bool own_masks = false;  // V4/V5: red, green, blue, alpha in the header
  std::array<std::uint32_t, 4> masks{};
};

// Reads the file header and the info header; false when they are missing,
// cut short or describe a form the game does not accept.
bool read_header(std::span<const std::uint8_t> b, Header& h) {
  const std::uint64_t size = b.size();
  if (size < kFileHeaderSize + 4) return false;
  if (b[0] != 0x42 || b[1] != 0x4D) return false;
  h.data_offset = u32_at(b, 10);
  h.header_size = u32_at(b, 14);
  if (kFileHeaderSize + h.header_size > size) return false;
  if (h.header_size == kCoreHeaderSize) {
    h.width = u16_at(b, 18);
    h.height = u16_at(b, 20);
    h.planes = u16_at(b, 22);
    h.bpp = u16_at(b, 24);
  } else {
    if (h.header_size < kShortestInfoHeader) return false;
    h.width = static_cast<std::int32_t>(u32_at(b, 18));
    h.height = static_cast<std::int32_t>(u32_at(b, 22));
    h.planes = u16_at(b, 26);
    h.bpp = u16_at(b, 28);
    if (h.header_size >= 20) h.compression = u32_at(b, 30);
    if (h.header_size > kLongestPlainHeader) {
      h.own_masks = true;
      for (std::size_t i = 0; i < 4; ++i) h.masks[i] = u32_at(b, 54 + 4 * i);
    }
  }
  if (h.planes > 1 || h.width < 1 || h.height == 0) return false;
  if (h.compression != 0 && h.compression != 3) return false;
  switch (h.bpp) {
    case 1:
    case 4:
    case 8:
    case 16:
    case 24:
    case 32:
      return true;
    default:
      return false;
  }
}

}  // namespace

int decode_bmp(std::span<const std::uint8_t> bytes, Image& image) {
  Header h;
  if (!read_header(bytes, h)) return kBmpBad;
  const std::uint64_t size = bytes.size();
  const bool top_down = h.height < 0;
  const std::uint64_t width = static_cast<std::uint64_t>(h.width);
  const std::uint64_t height = static_cast<std::uint64_t>(top_down ? -h.height : h.height);
  if (width * height > kMaxPixels) return kBmpBad;

  // Palette: 4-byte entries (3 after the core header) from the end of the
  // headers up to the pixel data, at most 2^bpp of them.
  const bool core = h.header_size == kCoreHeaderSize;
  const std::uint64_t headers_end = kFileHeaderSize + h.header_size;
  std::vector<Color> palette;
  if (h.bpp <= 8) {
    const std::uint64_t entry = core ? 3 : 4;
    const std::uint64_t room = h.data_offset > headers_end ? h.data_offset - headers_end : 0;
    const std::uint64_t count = std::min<std::uint64_t>(room / entry, std::uint64_t{1} << h.bpp);
    if (headers_end + count * entry > size) return kBmpBad;
    for (std::uint64_t i = 0; i < count; ++i) {
      const std::uint64_t at = headers_end + i * entry;
      palette.push_back(kOpaque | (static_cast<Color>(bytes[at + 2]) << 16) |
                        (static_cast<Color>(bytes[at + 1]) << 8) | bytes[at]);
    }
  }

  // Channel masks for the direct-colour forms.
  std::array<std::uint32_t, 4> masks{};
  if (h.bpp == 16) {
    masks = {0x7C00, 0x03E0, 0x001F, 0};
  } else if (h.bpp >= 24) {
    masks = {0xFF0000, 0x00FF00, 0x0000FF, 0};
  }
  if (h.bpp >= 16) {
    if (h.own_masks) {
      // A V4/V5 header whose colour masks are all zero supplies none; the
      // default layout then applies rather than an all-black picture.
      if (h.masks[0] != 0 || h.masks[1] != 0 || h.masks[2] != 0) masks = h.masks;
      masks[3] = h.masks[3];
    } else if (h.compression == 3) {
      if (headers_end + 12 > size) return kBmpBad;
      masks = {u32_at(bytes, headers_end), u32_at(bytes, headers_end + 4),
               u32_at(bytes, headers_end + 8), 0};
    }
  }
  const Channel red(masks[0]);
  const Channel green(masks[1]);
  const Channel blue(masks[2]);
  const Channel alpha(h.bpp == 32 ? masks[3] : 0);

  // Every stored row, padding included except after the last, must lie in
  // the file.
  const std::uint64_t row_bytes = (width * h.bpp + 31) / 32 * 4;
  const std::uint64_t last_row_bytes = (width * h.bpp + 7) / 8;
  if (h.data_offset > size) return kBmpBad;
  if ((height - 1) * row_bytes + last_row_bytes > size - h.data_offset) return kBmpBad;

  if (image.width < 0 || image.height < 0 ||
      image.pixels.size() !=
          static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height)) {
    return kBmpBad;
  }
  const std::uint64_t out_w =
      std::min<std::uint64_t>(width, static_cast<std::uint64_t>(image.width));
  const std::uint64_t out_h =
      std::min<std::uint64_t>(height, static_cast<std::uint64_t>(image.height));

  auto pixel_at = [&](std::uint64_t row_start, std::uint64_t x) -> Color {
    if (h.bpp <= 8) {
      const std::uint64_t bit = x * h.bpp;
      const unsigned byte = bytes[row_start + bit / 8];
      const unsigned shift = 8 - h.bpp - static_cast<unsigned>(bit % 8);
      const std::uint64_t index = (byte >> shift) & ((1u << h.bpp) - 1);
      return index < palette.size() ? palette[index] : kOpaque;
    }
    const std::uint64_t at = row_start + x * (h.bpp / 8);
    std::uint32_t v = 0;
    if (h.bpp == 16) {
      v = u16_at(bytes, at);
    } else if (h.bpp == 24) {
      v = static_cast<std::uint32_t>(bytes[at] | (bytes[at + 1] << 8) | (bytes[at + 2] << 16));
    } else {
      v = u32_at(bytes, at);
    }
    const Color a = alpha.present() ? alpha.extract(v) : 0xFF;
    return (a << 24) | (red.extract(v) << 16) | (green.extract(v) << 8) | blue.extract(v);
  };

  const bool plain_24 =
      h.bpp == 24 && masks[0] == 0xFF0000 && masks[1] == 0x00FF00 && masks[2] == 0x0000FF;
  // Decode the overlap into a copy, so the image changes only as a whole.
  std::vector<Color> pixels = image.pixels;
  for (std::uint64_t y = 0; y < out_h; ++y) {
    const std::uint64_t stored = top_down ? y : height - 1 - y;
    const std::uint64_t row_start = h.data_offset + stored * row_bytes;
    Color* out = pixels.data() + y * static_cast<std::uint64_t>(image.width);
    if (plain_24) {
      // Blue, green, red bytes straight into an opaque colour: every picture
      // of the game has this form, and each program start decodes them all.
      const unsigned char* in = bytes.data() + row_start;
      for (std::uint64_t x = 0; x < out_w; ++x, in += 3) {
        out[x] =
            kOpaque | (static_cast<Color>(in[2]) << 16) | (static_cast<Color>(in[1]) << 8) | in[0];
      }
      continue;
    }
    for (std::uint64_t x = 0; x < out_w; ++x) out[x] = pixel_at(row_start, x);
  }
  image.pixels = std::move(pixels);
  return kBmpOk;
}

}  // namespace rt
