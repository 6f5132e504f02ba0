// Writing BMP files, read back by the game's own reader.
#include "platform/formats/bmp_writer.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <vector>

#include "platform/formats/bmp.h"
#include "tests/support/sim_fixture.h"

namespace rt {
namespace {

std::uint32_t u16(const std::vector<std::uint8_t>& b, std::size_t at) {
  return b[at] | (b[at + 1] << 8);
}
std::uint32_t u32(const std::vector<std::uint8_t>& b, std::size_t at) {
  return u16(b, at) | (u16(b, at + 2) << 16);
}

// A 3 x 2 picture: the odd width makes 24-bit rows need padding.
Image sample_picture() {
  Image img(3, 2, 0);
  img.at(0, 0) = 0xFF112233;
  img.at(1, 0) = 0x80445566;
  img.at(2, 0) = 0x00778899;
  img.at(0, 1) = 0xFFAABBCC;
  img.at(1, 1) = 0x12DDEEFF;
  img.at(2, 1) = 0xFF000000;
  return img;
}

TEST(BmpWriter, HeadersDescribeAnUncompressedBottomUpPicture) {
  for (int bits : {24, 32}) {
    const auto bytes = encode_bmp(sample_picture(), bits);
    // 24-bit: 9 bytes padded to 12; 32-bit: 3 x 4 bytes.
    constexpr std::size_t row = 12;
    ASSERT_EQ(bytes.size(), 54u + 2 * row) << bits;
    EXPECT_EQ(bytes[0], 'B');
    EXPECT_EQ(bytes[1], 'M');
    EXPECT_EQ(u32(bytes, 2), bytes.size());
    EXPECT_EQ(u32(bytes, 10), 54u);  // pixel data right after the headers
    EXPECT_EQ(u32(bytes, 14), 40u);  // BITMAPINFOHEADER
    EXPECT_EQ(u32(bytes, 18), 3u);   // width
    EXPECT_EQ(u32(bytes, 22), 2u);   // positive height: bottom row first
    EXPECT_EQ(u16(bytes, 26), 1u);   // planes
    EXPECT_EQ(u16(bytes, 28), static_cast<std::uint32_t>(bits));
    EXPECT_EQ(u32(bytes, 30), 0u);  // no compression
    EXPECT_EQ(u32(bytes, 34), 2 * row);
  }
}

TEST(BmpWriter, TwentyFourBitRowsAreBgrBottomUpAndPadded) {
  const auto bytes = encode_bmp(sample_picture(), 24);
  // First stored row: the picture's bottom row.
  const std::vector<std::uint8_t> bottom(bytes.begin() + 54, bytes.begin() + 66);
  EXPECT_EQ(bottom, (std::vector<std::uint8_t>{0xCC, 0xBB, 0xAA, 0xFF, 0xEE, 0xDD, 0x00, 0x00, 0x00,
                                               0, 0, 0}));
  const std::vector<std::uint8_t> top(bytes.begin() + 66, bytes.end());
  EXPECT_EQ(top, (std::vector<std::uint8_t>{0x33, 0x22, 0x11, 0x66, 0x55, 0x44, 0x99, 0x88, 0x77, 0,
                                            0, 0}));
}

TEST(BmpWriter, ThirtyTwoBitKeepsEveryStoredValueLittleEndian) {
  const Image img = sample_picture();
  const auto bytes = encode_bmp(img, 32);
  for (int y = 0; y < 2; ++y) {
    for (int x = 0; x < 3; ++x) {
      const std::size_t at = 54 + static_cast<std::size_t>((1 - y) * 12 + x * 4);
      EXPECT_EQ(u32(bytes, at), img.at(x, y)) << x << "," << y;
    }
  }
}

TEST(BmpWriter, TheGamesOwnDecoderReadsBothFormsBack) {
  const Image img = sample_picture();
  for (int bits : {24, 32}) {
    Image back(3, 2, 0x01010101);
    ASSERT_EQ(decode_bmp(encode_bmp(img, bits), back), kBmpOk) << bits;
    for (std::size_t i = 0; i < img.pixels.size(); ++i) {
      // Without an alpha mask the decoder gives every pixel alpha 255.
      EXPECT_EQ(back.pixels[i], img.pixels[i] | 0xFF000000u) << bits << " pixel " << i;
    }
  }
  // A width whose 24-bit rows need every padding length.
  for (int w = 1; w <= 5; ++w) {
    Image wide(w, 3, 0);
    for (std::size_t i = 0; i < wide.pixels.size(); ++i) {
      wide.pixels[i] = 0xFF000000u | static_cast<Color>(i * 0x010203u);
    }
    Image back(w, 3, 0);
    ASSERT_EQ(decode_bmp(encode_bmp(wide, 24), back), kBmpOk);
    EXPECT_EQ(back.pixels, wide.pixels) << "width " << w;
  }
}

TEST(BmpWriter, RefusesWhatItCannotWrite) {
  const Image img = sample_picture();
  for (int bits : {0, 1, 8, 16, 31, 33, -24}) EXPECT_TRUE(encode_bmp(img, bits).empty()) << bits;
  EXPECT_TRUE(encode_bmp(Image{}, 24).empty());
  Image broken = img;
  broken.pixels.pop_back();  // fewer pixels than its size says
  EXPECT_TRUE(encode_bmp(broken, 24).empty());
  Image negative;
  negative.width = -3;
  negative.height = -2;
  negative.pixels.resize(6);
  EXPECT_TRUE(encode_bmp(negative, 32).empty());
  // A claimed size whose byte count would not fit the header's fields.
  Image huge;
  huge.width = 1 << 20;
  huge.height = 1 << 20;
  EXPECT_TRUE(encode_bmp(huge, 32).empty());
}

TEST(BmpWriter, WriteFileStoresTheBytesAndReportsFailure) {
  testing::TempDir dir;
  const std::vector<std::uint8_t> bytes{1, 2, 3, 0, 255};
  const auto path = dir.path() / "out.bin";
  ASSERT_TRUE(write_file(path, bytes));
  ASSERT_TRUE(write_file(path, bytes));  // replaces, does not append
  std::ifstream in(path, std::ios::binary);
  const std::vector<std::uint8_t> back((std::istreambuf_iterator<char>(in)),
                                       std::istreambuf_iterator<char>());
  EXPECT_EQ(back, bytes);
  EXPECT_FALSE(write_file(dir.path() / "missing" / "out.bin", bytes));
}

}  // namespace
}  // namespace rt
