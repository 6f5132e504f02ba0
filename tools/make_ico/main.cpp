// make_ico PICTURE FILE: writes the Windows icon file FILE for the program's
// resources from the picture generator's locomotive (PICTURE, a BMP from
// Sprites): enlarged dot by dot onto a square at 16, 32, 48, 64 and 256
// pixels, the sizes Windows shows.
#include <fstream>
#include <iostream>
#include <iterator>
#include <vector>

#include "platform/bmp.h"
#include "platform/bmp_writer.h"
#include "tools/make_ico/ico.h"

namespace {

// The picture's size as the generator paints it.
constexpr int kPictureSize = 40;
// The icon's background where the picture leaves room: the title's dark blue.
constexpr rt::Color kBackground = 0xFF000040;

// `picture` scaled to `size` square by the nearest dot, opaque.
rt::Image scaled(const rt::Image& picture, int size) {
  rt::Image out(size, size, kBackground);
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      const rt::Color c = picture.at(x * picture.width / size, y * picture.height / size);
      out.at(x, y) = 0xFF000000 | (c & 0xFFFFFF);
    }
  }
  return out;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: make_ico PICTURE FILE\n";
    return 2;
  }
  std::ifstream in(argv[1], std::ios::binary);
  const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                        std::istreambuf_iterator<char>());
  rt::Image picture(kPictureSize, kPictureSize, kBackground);
  if (!in || rt::decode_bmp(bytes, picture) != rt::kBmpOk) {
    std::cerr << "make_ico: cannot read the picture " << argv[1] << "\n";
    return 1;
  }
  std::vector<rt::ico::Entry> entries;
  for (const int size : {16, 32, 48, 64, 256}) {
    entries.push_back({size, rt::ico::bitmap_entry(scaled(picture, size))});
  }
  const std::vector<std::uint8_t> file = rt::ico::encode(entries);
  if (file.empty() || !rt::write_file(argv[2], file)) {
    std::cerr << "make_ico: cannot write " << argv[2] << "\n";
    return 1;
  }
  return 0;
}
