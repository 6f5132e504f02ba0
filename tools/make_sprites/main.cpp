// make_sprites OUTDIR [--sheet FILE]: writes the game's 24 pictures as
// 24-bit BMP files into OUTDIR (created if missing); with --sheet also an
// enlarged overview of all of them for looking at the art.
#include <filesystem>
#include <iostream>
#include <string>
#include <system_error>

#include "platform/bmp_writer.h"
#include "tools/make_sprites/sprite_art.h"

int main(int argc, char** argv) {
  if (argc != 2 && !(argc == 4 && std::string(argv[2]) == "--sheet")) {
    std::cerr << "usage: make_sprites OUTDIR [--sheet FILE]\n";
    return 2;
  }
  const std::filesystem::path out_dir = argv[1];
  std::error_code ec;
  std::filesystem::create_directories(out_dir, ec);
  if (ec) {
    std::cerr << "make_sprites: cannot create " << out_dir << ": " << ec.message() << "\n";
    return 1;
  }
  const auto pictures = rt::art::draw_sprites();
  for (const auto& picture : pictures) {
    const auto path = out_dir / (std::string(picture.name) + ".bmp");
    if (!rt::write_file(path, rt::encode_bmp(picture.image, 24))) {
      std::cerr << "make_sprites: cannot write " << path << "\n";
      return 1;
    }
  }
  if (argc == 4) {
    const std::filesystem::path sheet = argv[3];
    if (!rt::write_file(sheet, rt::encode_bmp(rt::art::draw_contact_sheet(pictures), 24))) {
      std::cerr << "make_sprites: cannot write " << sheet << "\n";
      return 1;
    }
  }
  return 0;
}
