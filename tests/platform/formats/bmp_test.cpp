// Reading BMP files: every form the game accepts and broken ones refused.
#include "platform/formats/bmp.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "tests/support/sim_fixture.h"

namespace rt {
namespace {

using Bytes = std::vector<std::uint8_t>;

void put16(Bytes& b, std::size_t at, std::uint32_t v) {
  b[at] = static_cast<std::uint8_t>(v);
  b[at + 1] = static_cast<std::uint8_t>(v >> 8);
}
void put32(Bytes& b, std::size_t at, std::uint32_t v) {
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

constexpr Color kUntouched = 0x5A5A5A5A;

int decode(const Bytes& bytes, Image& image) {
  return decode_bmp(bytes, image);
}

Image blank(int w, int h) {
  return Image(w, h, kUntouched);
}

// --- Accepted forms ---------------------------------------------------------

TEST(BmpForms, CoreHeaderTwentyFourBitBottomUp) {
  BmpFile f;
  f.header_size = 12;
  f.width = 2;
  f.height = 2;
  f.rows = {{0x0000FF, 0x00FF00}, {0xFF0000, 0x123456}};  // bottom row first
  Image image = blank(2, 2);
  ASSERT_EQ(decode(f.bytes(), image), kBmpOk);
  EXPECT_EQ(image.at(0, 0), 0xFFFF0000u);
  EXPECT_EQ(image.at(1, 0), 0xFF123456u);
  EXPECT_EQ(image.at(0, 1), 0xFF0000FFu);
  EXPECT_EQ(image.at(1, 1), 0xFF00FF00u);
}

TEST(BmpForms, CoreHeaderPaletteHasThreeByteEntries) {
  BmpFile f;
  f.header_size = 12;
  f.bpp = 8;
  f.width = 3;
  f.palette = {0x112233, 0x445566};
  f.rows = {{1, 0, 1}};
  Image image = blank(3, 1);
  ASSERT_EQ(decode(f.bytes(), image), kBmpOk);
  EXPECT_EQ(image.at(0, 0), 0xFF445566u);
  EXPECT_EQ(image.at(1, 0), 0xFF112233u);
  EXPECT_EQ(image.at(2, 0), 0xFF445566u);
}

TEST(BmpForms, OneBitPaletteAcrossByteBoundaries) {
  BmpFile f;
  f.bpp = 1;
  f.width = 10;
  f.palette = {0x000000, 0xFFFFFF};
  f.rows = {{1, 0, 0, 0, 0, 0, 0, 1, 1, 0}};
  Image image = blank(10, 1);
  ASSERT_EQ(decode(f.bytes(), image), kBmpOk);
  const std::array<Color, 10> want = {0xFFFFFFFF, 0xFF000000, 0xFF000000, 0xFF000000, 0xFF000000,
                                      0xFF000000, 0xFF000000, 0xFFFFFFFF, 0xFFFFFFFF, 0xFF000000};
  for (int x = 0; x < 10; ++x) EXPECT_EQ(image.at(x, 0), want[static_cast<std::size_t>(x)]) << x;
}

TEST(BmpForms, FourBitPaletteHighNibbleFirst) {
  BmpFile f;
  f.bpp = 4;
  f.width = 3;
  f.height = 2;
  for (std::uint32_t i = 0; i < 16; ++i) f.palette.push_back(i * 0x010101);
  f.rows = {{15, 1, 2}, {3, 4, 14}};
  Image image = blank(3, 2);
  ASSERT_EQ(decode(f.bytes(), image), kBmpOk);
  EXPECT_EQ(image.at(0, 0), 0xFF030303u);
  EXPECT_EQ(image.at(2, 0), 0xFF0E0E0Eu);
  EXPECT_EQ(image.at(0, 1), 0xFF0F0F0Fu);
  EXPECT_EQ(image.at(1, 1), 0xFF010101u);
}

TEST(BmpForms, EightBitIndexBeyondAShortPaletteIsBlack) {
  BmpFile f;
  f.bpp = 8;
  f.width = 3;
  f.palette = {0xFF0000, 0x00FF00, 0x0000FF};
  f.rows = {{2, 200, 3}};
  Image image = blank(3, 1);
  ASSERT_EQ(decode(f.bytes(), image), kBmpOk);
  EXPECT_EQ(image.at(0, 0), 0xFF0000FFu);
  EXPECT_EQ(image.at(1, 0), 0xFF000000u);
  EXPECT_EQ(image.at(2, 0), 0xFF000000u);
}

TEST(BmpForms, PaletteCountIsCappedAtTwoToTheBitsPerPixel) {
  // Room for four entries before the pixels, but a 1-bit file uses two; the
  // rest are skipped as gap and do not shift the pixel data.
  BmpFile f;
  f.bpp = 1;
  f.width = 2;
  f.palette = {0x010101, 0x020202, 0x030303, 0x040404};
  f.rows = {{1, 0}};
  Image image = blank(2, 1);
  ASSERT_EQ(decode(f.bytes(), image), kBmpOk);
  EXPECT_EQ(image.at(0, 0), 0xFF020202u);
  EXPECT_EQ(image.at(1, 0), 0xFF010101u);
}

TEST(BmpForms, SixteenBitDefaultIsFiveFiveFiveWidenedByRepeatingTopBits) {
  BmpFile f;
  f.bpp = 16;
  f.width = 4;
  f.rows = {{0x7FFF, 0x7C00, 0x0010, 0x8000}};
  Image image = blank(4, 1);
  ASSERT_EQ(decode(f.bytes(), image), kBmpOk);
  EXPECT_EQ(image.at(0, 0), 0xFFFFFFFFu);
  EXPECT_EQ(image.at(1, 0), 0xFFFF0000u);
  EXPECT_EQ(image.at(2, 0), 0xFF000084u);  // 10000b -> 10000100b
  EXPECT_EQ(image.at(3, 0), 0xFF000000u);  // the top bit belongs to no channel
}

TEST(BmpForms, SixteenBitBitFieldsFiveSixFive) {
  BmpFile f;
  f.bpp = 16;
  f.compression = 3;
  f.width = 3;
  f.masks_after_header = {0xF800, 0x07E0, 0x001F};
  f.rows = {{0x07E0, 0x0400, 0xF81F}};
  Image image = blank(3, 1);
  ASSERT_EQ(decode(f.bytes(), image), kBmpOk);
  EXPECT_EQ(image.at(0, 0), 0xFF00FF00u);
  EXPECT_EQ(image.at(1, 0), 0xFF008200u);  // 100000b -> 10000010b
  EXPECT_EQ(image.at(2, 0), 0xFFFF00FFu);
}

TEST(BmpForms, TwentyFourBitRowsBottomUpAndTopDown) {
  BmpFile f;
  f.width = 1;
  f.height = 2;
  f.rows = {{0x0000AA}, {0x00BB00}};
  Image bottom_up = blank(1, 2);
  ASSERT_EQ(decode(f.bytes(), bottom_up), kBmpOk);
  EXPECT_EQ(bottom_up.at(0, 0), 0xFF00BB00u);
  EXPECT_EQ(bottom_up.at(0, 1), 0xFF0000AAu);
  f.height = -2;
  Image top_down = blank(1, 2);
  ASSERT_EQ(decode(f.bytes(), top_down), kBmpOk);
  EXPECT_EQ(top_down.at(0, 0), 0xFF0000AAu);
  EXPECT_EQ(top_down.at(0, 1), 0xFF00BB00u);
}

TEST(BmpForms, RowsArePaddedToFourBytes) {
  BmpFile f;
  f.width = 3;  // 9 bytes a row, 3 of padding
  f.height = 3;
  f.rows = {{1, 2, 3}, {4, 5, 6}, {7, 8, 9}};
  Image image = blank(3, 3);
  ASSERT_EQ(decode(f.bytes(), image), kBmpOk);
  EXPECT_EQ(image.at(0, 0), 0xFF000007u);
  EXPECT_EQ(image.at(2, 1), 0xFF000006u);
  EXPECT_EQ(image.at(1, 2), 0xFF000002u);
}

TEST(BmpForms, ThirtyTwoBitWithoutAlphaMaskIsOpaque) {
  BmpFile f;
  f.bpp = 32;
  f.width = 1;
  f.rows = {{0x12345678}};
  Image image = blank(1, 1);
  ASSERT_EQ(decode(f.bytes(), image), kBmpOk);
  EXPECT_EQ(image.at(0, 0), 0xFF345678u);
}

TEST(BmpForms, ThirtyTwoBitV5AlphaMaskComesFromTheFile) {
  BmpFile f;
  f.header_size = 124;
  f.bpp = 32;
  f.compression = 3;
  f.width = 2;
  f.header_masks = {0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000};
  f.rows = {{0x80112233, 0x00FFFFFF}};
  Image image = blank(2, 1);
  ASSERT_EQ(decode(f.bytes(), image), kBmpOk);
  EXPECT_EQ(image.at(0, 0), 0x80112233u);
  EXPECT_EQ(image.at(1, 0), 0x00FFFFFFu);
}

TEST(BmpForms, V4MasksOfTheirOwnInAnyLayout) {
  BmpFile f;
  f.header_size = 108;
  f.bpp = 32;
  f.compression = 3;
  f.width = 1;
  // Channels stored as RGBA from the low byte up, red 10 bits wide.
  f.header_masks = {0x000003FF, 0x0003FC00, 0x03FC0000, 0xFC000000};
  const std::uint32_t pixel = (0x3FFu) | (0x12u << 10) | (0x34u << 18) | (0x3Fu << 26);
  f.rows = {{pixel}};
  Image image = blank(1, 1);
  ASSERT_EQ(decode(f.bytes(), image), kBmpOk);
  EXPECT_EQ(image.at(0, 0), 0xFFFF1234u);  // 6-bit alpha 111111b -> 255
}

TEST(BmpForms, AlphaMaskCountsOnlyForThirtyTwoBits) {
  BmpFile f;
  f.header_size = 124;
  f.bpp = 16;
  f.compression = 3;
  f.width = 1;
  f.header_masks = {0x0F00, 0x00F0, 0x000F, 0xF000};
  f.rows = {{0x0F00}};
  Image image = blank(1, 1);
  ASSERT_EQ(decode(f.bytes(), image), kBmpOk);
  EXPECT_EQ(image.at(0, 0), 0xFFFF0000u);
}

TEST(BmpForms, V5WithoutColourMasksUsesTheDefaultLayout) {
  BmpFile f;
  f.header_size = 124;
  f.bpp = 24;
  f.width = 1;
  f.rows = {{0xABCDEF}};
  Image image = blank(1, 1);
  ASSERT_EQ(decode(f.bytes(), image), kBmpOk);
  EXPECT_EQ(image.at(0, 0), 0xFFABCDEFu);
}

TEST(BmpForms, TwentyFourBitMasksOfTheirOwnAreHonoured) {
  // Red and blue swapped: the file's layout wins over the usual one, in every
  // pixel of a bottom-up picture with padded rows.
  BmpFile f;
  f.header_size = 124;
  f.bpp = 24;
  f.compression = 3;
  f.width = 3;
  f.height = 2;
  f.header_masks = {0x0000FF, 0x00FF00, 0xFF0000, 0};
  f.rows = {{0x112233, 0x445566, 0x778899}, {0xAABBCC, 0xDDEEFF, 0x010203}};
  Image image = blank(3, 2);
  ASSERT_EQ(decode(f.bytes(), image), kBmpOk);
  EXPECT_EQ(image.at(0, 0), 0xFFCCBBAAu);
  EXPECT_EQ(image.at(2, 0), 0xFF030201u);
  EXPECT_EQ(image.at(0, 1), 0xFF332211u);
  EXPECT_EQ(image.at(2, 1), 0xFF998877u);
}

TEST(BmpForms, ShortSixteenByteHeaderHasNoCompressionField) {
  BmpFile f;
  f.header_size = 16;
  f.width = 1;
  f.rows = {{0x010203}};
  Image image = blank(1, 1);
  ASSERT_EQ(decode(f.bytes(), image), kBmpOk);
  EXPECT_EQ(image.at(0, 0), 0xFF010203u);
}

TEST(BmpForms, LargerFileFillsTheImageWithItsTopLeftPart) {
  BmpFile f;
  f.width = 4;
  f.height = 4;
  for (std::uint32_t y = 0; y < 4; ++y) {
    f.rows.push_back({(3 - y) * 16 + 0, (3 - y) * 16 + 1, (3 - y) * 16 + 2, (3 - y) * 16 + 3});
  }
  Image image = blank(2, 2);
  ASSERT_EQ(decode(f.bytes(), image), kBmpOk);
  EXPECT_EQ(image.width, 2);
  EXPECT_EQ(image.pixels.size(), 4u);
  EXPECT_EQ(image.at(0, 0), 0xFF000000u);
  EXPECT_EQ(image.at(1, 0), 0xFF000001u);
  EXPECT_EQ(image.at(0, 1), 0xFF000010u);
  EXPECT_EQ(image.at(1, 1), 0xFF000011u);
}

TEST(BmpForms, SmallerFileLeavesTheRestOfTheImage) {
  BmpFile f;
  f.width = 2;
  f.height = 1;
  f.rows = {{0xFFFFFF, 0x000001}};
  Image image = blank(3, 3);
  ASSERT_EQ(decode(f.bytes(), image), kBmpOk);
  EXPECT_EQ(image.at(0, 0), 0xFFFFFFFFu);
  EXPECT_EQ(image.at(1, 0), 0xFF000001u);
  EXPECT_EQ(image.at(2, 0), kUntouched);
  EXPECT_EQ(image.at(0, 1), kUntouched);
  EXPECT_EQ(image.at(2, 2), kUntouched);
}

TEST(BmpForms, LastRowMayLackItsPadding) {
  BmpFile f;
  f.width = 1;
  f.height = 2;
  f.rows = {{0x0000AA}, {0x00BB00}};
  Bytes bytes = f.bytes();
  bytes.pop_back();  // the padding byte of the last stored row
  Image image = blank(1, 2);
  ASSERT_EQ(decode(bytes, image), kBmpOk);
  EXPECT_EQ(image.at(0, 0), 0xFF00BB00u);
}

// --- Rejected files -----------------------------------------------------------

class BmpRejects : public ::testing::Test {
 protected:
  BmpRejects() {
    good.width = 2;
    good.height = 2;
    good.rows = {{1, 2}, {3, 4}};
  }
  // The file must be refused and the image left exactly as it was.
  void expect_rejected(const Bytes& bytes) {
    Image image = blank(2, 2);
    EXPECT_EQ(decode(bytes, image), kBmpBad);
    EXPECT_EQ(image.width, 2);
    EXPECT_EQ(image.height, 2);
    EXPECT_EQ(image.pixels, Image(2, 2, kUntouched).pixels);
  }
  BmpFile good;
};

TEST_F(BmpRejects, TheGoodFileIsAccepted) {
  Image image = blank(2, 2);
  EXPECT_EQ(decode(good.bytes(), image), kBmpOk);
}

TEST_F(BmpRejects, BadSignature) {
  Bytes bytes = good.bytes();
  bytes[1] = 'A';
  expect_rejected(bytes);
}

TEST_F(BmpRejects, CompressedForms) {
  good.compression = 1;
  expect_rejected(good.bytes());
  good.compression = 2;
  expect_rejected(good.bytes());
  good.compression = 4;
  expect_rejected(good.bytes());
}

TEST_F(BmpRejects, ImpossibleFields) {
  BmpFile f = good;
  f.planes = 2;
  expect_rejected(f.bytes());
  f = good;
  f.width = 0;
  expect_rejected(f.bytes());
  f = good;
  f.width = -2;
  expect_rejected(f.bytes());
  f = good;
  f.height = 0;
  expect_rejected(f.bytes());
  for (std::uint32_t bpp : {0u, 2u, 7u, 33u, 64u}) {
    f = good;
    f.bpp = bpp;
    expect_rejected(f.bytes());
  }
}

TEST_F(BmpRejects, HeaderSizesThatAreNoForm) {
  good.header_size = 14;
  expect_rejected(good.bytes());
  good.header_size = 0;
  expect_rejected(good.bytes());
  Bytes bytes = BmpFile{}.bytes();
  put32(bytes, 14, 0xFFFFFFFF);  // a header running far past the end
  expect_rejected(bytes);
}

TEST_F(BmpRejects, TruncatedFiles) {
  const Bytes bytes = good.bytes();
  for (std::size_t keep : {std::size_t{0}, std::size_t{2}, std::size_t{17}, std::size_t{30},
                           std::size_t{54}, bytes.size() - 3}) {
    expect_rejected(Bytes(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(keep)));
  }
}

TEST_F(BmpRejects, PixelDataOffsetPastTheEnd) {
  good.offset_change = 1000;
  expect_rejected(good.bytes());
  Bytes bytes = BmpFile{}.bytes();
  put32(bytes, 10, 0xFFFFFFF0);
  expect_rejected(bytes);
}

TEST_F(BmpRejects, PaletteOrMasksPastTheEnd) {
  BmpFile f;
  f.bpp = 8;
  f.palette = {0x112233, 0x445566};
  f.rows = {{0}};
  Bytes bytes = f.bytes();
  bytes.resize(14 + 40 + 4);  // half the palette, no pixels
  expect_rejected(bytes);

  f = BmpFile{};
  f.bpp = 16;
  f.compression = 3;
  Bytes no_masks = f.bytes();  // the masks are missing, so is the data
  no_masks.resize(14 + 40 + 8);
  expect_rejected(no_masks);
}

TEST_F(BmpRejects, AbsurdSizesClaimedBySmallFiles) {
  BmpFile f = good;
  f.width = 10000;
  f.height = 10000;
  expect_rejected(f.bytes());
  f.width = 65536;  // 2^31 pixels
  f.height = -32768;
  expect_rejected(f.bytes());
  f.width = 0x7FFFFFFF;
  f.height = 1;
  expect_rejected(f.bytes());
  f.width = 1;
  f.height = static_cast<std::int32_t>(0x80000000u);
  expect_rejected(f.bytes());
  f.width = 0x7FFFFFFF;
  f.height = 0x7FFFFFFF;
  f.bpp = 32;
  expect_rejected(f.bytes());
}

TEST_F(BmpRejects, ImageWhosePixelsDoNotMatchItsSize) {
  Image broken = blank(2, 2);
  broken.pixels.resize(3);
  EXPECT_EQ(decode(good.bytes(), broken), kBmpBad);
  EXPECT_EQ(broken.pixels.size(), 3u);
}

TEST_F(BmpRejects, DamagedFilesNeverReadOutside) {
  // Every form, then every byte of its headers set to telling values and
  // every length cut: each result is defined and the image keeps its size.
  std::vector<BmpFile> forms;
  BmpFile core = good;
  core.header_size = 12;
  forms.push_back(core);
  BmpFile pal = good;
  pal.bpp = 4;
  pal.palette = {0, 0xFFFFFF, 0x00FF00};
  forms.push_back(pal);
  BmpFile v5 = good;
  v5.header_size = 124;
  v5.bpp = 32;
  v5.compression = 3;
  v5.header_masks = {0xFF0000, 0xFF00, 0xFF, 0xFF000000};
  forms.push_back(v5);
  BmpFile fields = good;
  fields.bpp = 16;
  fields.compression = 3;
  fields.masks_after_header = {0xF800, 0x07E0, 0x001F};
  forms.push_back(fields);

  std::mt19937 random(12345);
  for (const BmpFile& form : forms) {
    const Bytes original = form.bytes();
    for (std::size_t length = 0; length <= original.size(); ++length) {
      Image image = blank(2, 2);
      decode(Bytes(original.begin(), original.begin() + static_cast<std::ptrdiff_t>(length)),
             image);
      ASSERT_EQ(image.pixels.size(), 4u);
    }
    for (int round = 0; round < 3000; ++round) {
      Bytes bytes = original;
      const std::size_t header_end = std::min<std::size_t>(bytes.size(), 14 + 124);
      const int changes = 1 + static_cast<int>(random() % 4);
      for (int c = 0; c < changes; ++c) {
        const std::size_t at = 2 + random() % (header_end - 2);
        static constexpr std::array<std::uint8_t, 6> kTelling = {0x00, 0x01, 0x7F,
                                                                 0x80, 0xFE, 0xFF};
        bytes[at] = random() % 2 == 0 ? kTelling[random() % kTelling.size()]
                                      : static_cast<std::uint8_t>(random());
      }
      Image image = blank(2, 2);
      const int result = decode(bytes, image);
      ASSERT_TRUE(result == kBmpOk || result == kBmpBad);
      ASSERT_EQ(image.pixels.size(), 4u);
      if (result == kBmpBad) {
        ASSERT_EQ(image.pixels, Image(2, 2, kUntouched).pixels);
      }
    }
  }
}

// --- Loading through the platform --------------------------------------------

using BmpLoadTest = testing::SimFixture;

TEST_F(BmpLoadTest, LoadsByGamePath) {
  BmpFile f;
  f.rows = {{0x00FF00}};
  const Bytes bytes = f.bytes();
  dir.write("Sprites/Gruen.bmp", std::string(bytes.begin(), bytes.end()));
  Image image = platform.create_image(40, 40);
  EXPECT_EQ(platform.load_bmp("Sprites\\Gruen.bmp", image), kBmpOk);
  EXPECT_EQ(image.at(0, 0), 0xFF00FF00u);
  EXPECT_EQ(image.at(1, 0), 0x00000000u);
}

TEST_F(BmpLoadTest, MissingFileGivesTwoAndLeavesTheImage) {
  Image image = platform.create_image(40, 40);
  EXPECT_EQ(platform.load_bmp("Sprites\\Fehlt.bmp", image), kBmpNotFound);
  EXPECT_EQ(image.pixels, platform.create_image(40, 40).pixels);
  dir.write("Sprites/Ordner/x", "");
  EXPECT_EQ(platform.load_bmp("Sprites\\Ordner", image), kBmpNotFound);
}

TEST_F(BmpLoadTest, FileThatIsNoBmpGivesThree) {
  dir.write("Sprites/Text.bmp", "Dies ist kein Bild.");
  Image image = platform.create_image(4, 4, 0x01020304);
  EXPECT_EQ(platform.load_bmp("Sprites\\Text.bmp", image), kBmpBad);
  EXPECT_EQ(image.pixels, platform.create_image(4, 4, 0x01020304).pixels);
}

}  // namespace
}  // namespace rt
