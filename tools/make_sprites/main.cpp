// make_sprites OUTDIR [--sheet FILE]: writes the game's 24 pictures and the
// window's icon as 24-bit BMP files into OUTDIR (created if missing); with
// --sheet also an enlarged overview of all of them for looking at the art.
// make_sprites --icons DIR NAME: writes the desktop icon into the icon theme
// layout under DIR, one DIR/hicolor/SxS/apps/NAME.png for each size S.
// make_sprites --web-icons DIR: writes the web app's icons, DIR/icon-S.png
// for each size S its manifest names.
#include <filesystem>
#include <iostream>
#include <string>
#include <system_error>

#include "game/assets.h"
#include "platform/formats/bmp_writer.h"
#include "tools/make_sprites/icon_art.h"
#include "tools/make_sprites/png_writer.h"
#include "tools/make_sprites/sprite_art.h"

namespace {

namespace fs = std::filesystem;

bool make_folder(const fs::path& folder) {
  std::error_code ec;
  fs::create_directories(folder, ec);
  if (ec) std::cerr << "make_sprites: cannot create " << folder << ": " << ec.message() << "\n";
  return !ec;
}

int write_icons(const fs::path& out_dir, const std::string& name) {
  for (int size : rt::make_sprites::kIconSizes) {
    const std::string square = std::to_string(size) + "x" + std::to_string(size);
    const fs::path folder = out_dir / "hicolor" / square / "apps";
    if (!make_folder(folder)) return 1;
    const fs::path path = folder / (name + ".png");
    if (!rt::write_file(path, rt::make_sprites::encode_png(rt::make_sprites::draw_icon(size)))) {
      std::cerr << "make_sprites: cannot write " << path << "\n";
      return 1;
    }
  }
  return 0;
}

int write_web_icons(const fs::path& out_dir) {
  if (!make_folder(out_dir)) return 1;
  for (int size : rt::make_sprites::kWebIconSizes) {
    const fs::path path = out_dir / ("icon-" + std::to_string(size) + ".png");
    if (!rt::write_file(path, rt::make_sprites::encode_png(rt::make_sprites::draw_icon(size)))) {
      std::cerr << "make_sprites: cannot write " << path << "\n";
      return 1;
    }
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::string(argv[1]) == "--web-icons") return write_web_icons(argv[2]);
  if (argc == 4 && std::string(argv[1]) == "--icons") {
    const std::string name = argv[3];
    if (name.empty() || name.find('/') != std::string::npos) {
      std::cerr << "make_sprites: the icon's name must be a file name\n";
      return 2;
    }
    return write_icons(argv[2], name);
  }
  if (argc != 2 && !(argc == 4 && std::string(argv[2]) == "--sheet")) {
    std::cerr << "usage: make_sprites OUTDIR [--sheet FILE]\n"
                 "       make_sprites --icons DIR NAME\n"
                 "       make_sprites --web-icons DIR\n";
    return 2;
  }
  const fs::path out_dir = argv[1];
  if (!make_folder(out_dir)) return 1;
  const auto pictures = rt::make_sprites::draw_sprites();
  for (const auto& picture : pictures) {
    const auto path = out_dir / (std::string(picture.name) + ".bmp");
    if (!rt::write_file(path, rt::encode_bmp(picture.image, 24))) {
      std::cerr << "make_sprites: cannot write " << path << "\n";
      return 1;
    }
  }
  // The window's icon: the desktop icon at the size the desktop host shows.
  const fs::path icon_path = out_dir / (std::string(rt::assets::kWindowIcon.name) +
                                        std::string(rt::assets::kPictureExtension));
  if (!rt::write_file(
          icon_path,
          rt::encode_bmp(rt::make_sprites::draw_icon(rt::assets::kWindowIcon.size), 24))) {
    std::cerr << "make_sprites: cannot write " << icon_path << "\n";
    return 1;
  }
  if (argc == 4) {
    const fs::path sheet = argv[3];
    if (!rt::write_file(sheet,
                        rt::encode_bmp(rt::make_sprites::draw_contact_sheet(pictures), 24))) {
      std::cerr << "make_sprites: cannot write " << sheet << "\n";
      return 1;
    }
  }
  return 0;
}
