// make_ico FILE: writes the game's icon as a Windows icon file, for the
// program's resources: the picture generator's icon at 16, 32, 48 and 64
// pixels as bitmaps and at 256 pixels as PNG, as Windows expects.
#include <filesystem>
#include <iostream>
#include <vector>

#include "platform/formats/bmp_writer.h"
#include "tools/make_ico/ico.h"
#include "tools/make_sprites/icon_art.h"
#include "tools/make_sprites/png_writer.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: make_ico FILE\n";
    return 2;
  }
  std::vector<rt::make_ico::Entry> entries;
  for (const int size : {16, 32, 48, 64}) {
    entries.push_back({size, rt::make_ico::bitmap_entry(rt::make_sprites::draw_icon(size))});
  }
  entries.push_back({256, rt::make_sprites::encode_png(rt::make_sprites::draw_icon(256))});
  const std::vector<std::uint8_t> file = rt::make_ico::encode(entries);
  if (file.empty()) {
    std::cerr << "make_ico: the icon's pictures do not make an icon file\n";
    return 1;
  }
  if (!rt::write_file(argv[1], file)) {
    std::cerr << "make_ico: cannot write " << argv[1] << "\n";
    return 1;
  }
  return 0;
}
