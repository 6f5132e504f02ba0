// Reading BMP files: every form the game accepts, and loading one by its
// game path.
#include "platform/formats/bmp.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "tests/platform/formats/bmp_builder.h"
#include "tests/support/sim_fixture.h"

namespace rt {
namespace {

using namespace rt::testing;

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
