// The desktop icon and its PNG files: the checksums against their published
// check values, the files decoded by an independent reader, the icon's sizes.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/formats/bmp_writer.h"
#include "tests/support/sim_fixture.h"
#include "tools/make_sprites/icon_art.h"
#include "tools/make_sprites/palette.h"
#include "tools/make_sprites/png_writer.h"

namespace rt::make_sprites {
namespace {

std::vector<std::uint8_t> bytes_of(std::string_view text) {
  return {text.begin(), text.end()};
}

TEST(PngWriter, ChecksumsMatchTheirCheckValues) {
  EXPECT_EQ(crc32(bytes_of("123456789")), 0xCBF43926u);
  EXPECT_EQ(crc32(bytes_of("IEND")), 0xAE426082u);
  EXPECT_EQ(adler32(bytes_of("Wikipedia")), 0x11E60398u);
  EXPECT_EQ(adler32({}), 1u);
  // Large enough for the sums to wrap the modulus many times.
  EXPECT_EQ(adler32(std::vector<std::uint8_t>(100000, 0xFF)), 0x149A302Cu);
}

TEST(PngWriter, RefusesPicturesItCannotEncode) {
  EXPECT_TRUE(encode_png(Image()).empty());
  Image wrong(4, 4, kBlack);
  wrong.pixels.pop_back();
  EXPECT_TRUE(encode_png(wrong).empty());
  Image negative;
  negative.width = -3;
  negative.height = -3;
  negative.pixels.resize(9);
  EXPECT_TRUE(encode_png(negative).empty());
}

// ImageMagick's reading of a PNG file as RGBA bytes, or nothing when it is
// not installed.
std::optional<std::vector<std::uint8_t>> decode_elsewhere(const testing::TempDir& dir,
                                                          const std::vector<std::uint8_t>& png) {
  if (std::system("command -v convert >/dev/null 2>&1") != 0) return std::nullopt;
  const auto file = dir.path() / "picture.png";
  const auto out = dir.path() / "picture.rgba";
  if (!write_file(file, png)) return std::nullopt;
  const std::string command =
      "convert png:" + file.string() + " -depth 8 rgba:" + out.string() + " 2>/dev/null";
  if (std::system(command.c_str()) != 0) return std::vector<std::uint8_t>{};
  const std::string bytes = dir.read("picture.rgba");
  return std::vector<std::uint8_t>(bytes.begin(), bytes.end());
}

std::vector<std::uint8_t> rgba_of(const Image& img) {
  std::vector<std::uint8_t> out;
  for (Color c : img.pixels) {
    out.insert(out.end(), {static_cast<std::uint8_t>(c >> 16), static_cast<std::uint8_t>(c >> 8),
                           static_cast<std::uint8_t>(c), static_cast<std::uint8_t>(c >> 24)});
  }
  return out;
}

TEST(PngWriter, AnotherReaderDecodesEveryPixel) {
  testing::TempDir dir;
  // Runs longer than one back-reference, repeated rows (the Up filter),
  // see-through and half-transparent pixels, noise that repeats nothing,
  // an odd width, and a single pixel.
  Image mixed(301, 7, kBlack);
  for (int x = 0; x < 301; ++x) {
    mixed.at(x, 1) = hash(x, 1, 5) | 0xFF000000u;
    mixed.at(x, 4) = x < 150 ? kClear : 0x80FF0000u;
    mixed.at(x, 5) = mixed.at(x, 4);
    mixed.at(x, 6) = hash(x, 6, 5);
  }
  for (const Image& picture : {mixed, Image(1, 1, kBrass), draw_icon(256), draw_icon(16)}) {
    const auto decoded = decode_elsewhere(dir, encode_png(picture));
    if (!decoded) GTEST_SKIP() << "ImageMagick is not installed";
    EXPECT_TRUE(*decoded == rgba_of(picture)) << picture.width << "x" << picture.height;
  }
}

// The icon theme's sizes and the web app's.
std::vector<int> every_size() {
  std::vector<int> sizes(kIconSizes.begin(), kIconSizes.end());
  sizes.insert(sizes.end(), kWebIconSizes.begin(), kWebIconSizes.end());
  return sizes;
}

TEST(Icon, EverySizeIsOpaqueAndShowsTheLocomotive) {
  for (int size : every_size()) {
    const Image icon = draw_icon(size);
    ASSERT_EQ(icon.width, size);
    ASSERT_EQ(icon.height, size);
    // The window's icon is a BMP without alpha; a see-through pixel would
    // show differently there than in the icon theme.
    int cab = 0;
    for (Color c : icon.pixels) {
      EXPECT_EQ(c >> 24, 0xFFu) << size;
      cab += c == kCab;
    }
    EXPECT_GT(cab, size * size / 40) << size;
  }
  for (int size : {0, 15, 24, 1024, -32}) EXPECT_EQ(draw_icon(size).width, 0) << size;
}

TEST(Icon, LargerSizesEnlargeTheSameDesignDotByDot) {
  const Image small = draw_icon(16);
  const Image large = draw_icon(32);
  for (int size : every_size()) {
    const Image& design = size % 32 == 0 ? large : small;
    const int factor = size / design.width;
    const Image icon = draw_icon(size);
    for (int y = 0; y < size; ++y) {
      for (int x = 0; x < size; ++x) {
        ASSERT_EQ(icon.at(x, y), design.at(x / factor, y / factor)) << size << " " << x << "," << y;
      }
    }
  }
}

}  // namespace
}  // namespace rt::make_sprites
