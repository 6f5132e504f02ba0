// Picture files: arbitrary bytes decoded into images of every size the game
// loads (the 40 x 40 cells, the logo, the menu pointer, the eraser strip).

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "platform/formats/bmp.h"
#include "platform/formats/image.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

struct Size {
  int width;
  int height;
};
constexpr std::array<Size, 5> kSizes = {{{40, 40}, {100, 40}, {20, 20}, {20, 200}, {1, 1}}};
constexpr rt::Color kFill = 0xFF123456;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using rt::fuzz::check;
  const std::span<const std::uint8_t> bytes(data, size);
  int first_result = -1;
  for (const Size s : kSizes) {
    rt::Image image(s.width, s.height, kFill);
    const int result = rt::decode_bmp(bytes, image);
    check(result == rt::kBmpOk || result == rt::kBmpBad, "decode_bmp gives ok or bad");
    // Whether a file is acceptable does not depend on the picture it lands in.
    if (first_result < 0) first_result = result;
    check(result == first_result, "the same bytes are accepted for every image size");
    check(image.width == s.width && image.height == s.height, "the image keeps its size");
    check(image.pixels.size() == static_cast<std::size_t>(s.width) * s.height,
          "the image keeps its pixel count");
    if (result == rt::kBmpBad) {
      for (const rt::Color c : image.pixels) check(c == kFill, "a refused file leaves the image");
    }
  }
  return 0;
}
