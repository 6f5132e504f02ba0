// Reading BMP files: broken and hostile ones are refused, and never read
// outside the file.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "platform/formats/bmp.h"
#include "tests/platform/formats/bmp_builder.h"

namespace rt {
namespace {

using namespace rt::testing;

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

}  // namespace
}  // namespace rt
