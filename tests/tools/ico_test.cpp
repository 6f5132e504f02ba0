// The icon file writer: the layout Windows' resource compiler and icon
// loader read.
#include "tools/make_ico/ico.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace rt {
namespace {

std::uint32_t get16(const std::vector<std::uint8_t>& b, std::size_t at) {
  return static_cast<std::uint32_t>(b.at(at) | (b.at(at + 1) << 8));
}
std::uint32_t get32(const std::vector<std::uint8_t>& b, std::size_t at) {
  return get16(b, at) | (get16(b, at + 2) << 16);
}

// A 3 x 3 picture (rows padded in the mask) with a distinct top-left pixel
// and a transparent bottom-right one.
Image small_picture() {
  Image image(3, 3, 0xFF102030);
  image.at(0, 0) = 0xFFAABBCC;
  image.at(2, 2) = 0x00000000;
  return image;
}

TEST(IcoTest, BitmapEntryHasDoubleHeightBottomUpColoursAndTheMask) {
  const std::vector<std::uint8_t> entry = make_ico::bitmap_entry(small_picture());
  const std::size_t colours = 3 * 3 * 4;
  const std::size_t mask = 3 * 4;  // one 4-byte row for each of 3 rows
  ASSERT_EQ(entry.size(), 40 + colours + mask);
  EXPECT_EQ(get32(entry, 0), 40u);  // header size
  EXPECT_EQ(get32(entry, 4), 3u);   // width
  EXPECT_EQ(get32(entry, 8), 6u);   // colour and mask rows
  EXPECT_EQ(get16(entry, 14), 32u);
  EXPECT_EQ(get32(entry, 16), 0u);  // uncompressed
  EXPECT_EQ(get32(entry, 20), colours + mask);
  // The top row comes last: its first pixel in blue, green, red, alpha.
  const std::size_t top_row = 40 + 2 * 3 * 4;
  EXPECT_EQ(entry[top_row], 0xCC);
  EXPECT_EQ(entry[top_row + 1], 0xBB);
  EXPECT_EQ(entry[top_row + 2], 0xAA);
  EXPECT_EQ(entry[top_row + 3], 0xFF);
  // Mask: the bottom row (first) has the transparent third pixel set.
  const std::size_t mask_start = 40 + colours;
  EXPECT_EQ(entry[mask_start], 0x20);
  EXPECT_EQ(entry[mask_start + 4], 0x00);
  EXPECT_EQ(entry[mask_start + 8], 0x00);
}

TEST(IcoTest, BitmapEntryRefusesWhatAnIconCannotHold) {
  EXPECT_TRUE(make_ico::bitmap_entry(Image()).empty());
  EXPECT_TRUE(make_ico::bitmap_entry(Image(4, 3, 0)).empty());
  EXPECT_TRUE(make_ico::bitmap_entry(Image(257, 257, 0)).empty());
  Image short_pixels(4, 4, 0);
  short_pixels.pixels.pop_back();
  EXPECT_TRUE(make_ico::bitmap_entry(short_pixels).empty());
}

TEST(IcoTest, DirectoryPointsAtEachPictureAndWrites256AsZero) {
  const std::vector<std::uint8_t> small = make_ico::bitmap_entry(small_picture());
  const std::vector<std::uint8_t> png = {0x89, 'P', 'N', 'G', 1, 2, 3};
  const std::vector<std::uint8_t> file = make_ico::encode({{3, small}, {256, png}});
  ASSERT_EQ(file.size(), 6 + 2 * 16 + small.size() + png.size());
  EXPECT_EQ(get16(file, 0), 0u);
  EXPECT_EQ(get16(file, 2), 1u);
  EXPECT_EQ(get16(file, 4), 2u);
  EXPECT_EQ(file[6], 3);  // first picture's width and height
  EXPECT_EQ(file[7], 3);
  EXPECT_EQ(file[22], 0);  // 256 written as 0
  EXPECT_EQ(file[23], 0);
  EXPECT_EQ(get32(file, 6 + 8), small.size());
  EXPECT_EQ(get32(file, 6 + 12), 38u);
  EXPECT_EQ(get32(file, 22 + 8), png.size());
  EXPECT_EQ(get32(file, 22 + 12), 38u + small.size());
  EXPECT_EQ(std::vector<std::uint8_t>(file.end() - 7, file.end()), png);
}

TEST(IcoTest, EncodeRefusesBadEntries) {
  EXPECT_TRUE(make_ico::encode({}).empty());
  EXPECT_TRUE(make_ico::encode({{16, {}}}).empty());
  EXPECT_TRUE(make_ico::encode({{0, {1}}}).empty());
  EXPECT_TRUE(make_ico::encode({{257, {1}}}).empty());
  EXPECT_TRUE(
      make_ico::encode(std::vector<make_ico::Entry>(256, make_ico::Entry{16, {1}})).empty());
}

}  // namespace
}  // namespace rt
