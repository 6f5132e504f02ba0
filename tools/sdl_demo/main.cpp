// rangiertrubel-demo: opens the game's window, draws a picture loaded from a
// BMP file a few times and a line of text in the VGA font, and waits for a
// key or ten seconds. With a BMP path as its argument it shows that file;
// otherwise it makes a small railway picture of its own in a temporary folder.

#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <system_error>
#include <vector>

#include "platform/bmp_writer.h"
#include "platform/platform.h"
#include "platform/sdl_host.h"

namespace {

constexpr int kPictureWidth = 90;  // 270 bytes a row: two bytes of padding
constexpr int kPictureHeight = 60;

// The colour (0xRRGGBB) of the demo picture at (x, y), y from the top: a sky
// fading to the horizon, grass, and a track of two rails on sleepers.
std::uint32_t picture_color(int x, int y) {
  if (y < 25) {
    const auto shade = static_cast<std::uint32_t>(120 + y * 4);
    return (shade / 2) << 16 | shade << 8 | 255u;
  }
  const bool sleeper = y >= 38 && y <= 52 && x % 10 < 4;
  const bool rail = y == 41 || y == 42 || y == 48 || y == 49;
  if (rail) return 0xB0B0B0;
  if (sleeper) return 0x6B3A1E;
  return 0x2E8B2E;
}

// The demo picture as a 24-bit BMP file.
std::vector<std::uint8_t> make_bmp() {
  rt::Image picture(kPictureWidth, kPictureHeight, 0);
  for (int y = 0; y < kPictureHeight; ++y) {
    for (int x = 0; x < kPictureWidth; ++x) picture.at(x, y) = 0xFF000000u | picture_color(x, y);
  }
  return rt::encode_bmp(picture, 24);
}

// Width and height from a BMP file's info header, limited to the screen;
// the demo picture's size when they cannot be read.
void bmp_size(const std::filesystem::path& file, int& width, int& height) {
  width = kPictureWidth;
  height = kPictureHeight;
  std::ifstream in(file, std::ios::binary);
  std::vector<unsigned char> head(26);
  if (!in.read(reinterpret_cast<char*>(head.data()), 26)) return;
  auto le32 = [&head](int at) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(head[at]) |
                                     static_cast<std::uint32_t>(head[at + 1]) << 8 |
                                     static_cast<std::uint32_t>(head[at + 2]) << 16 |
                                     static_cast<std::uint32_t>(head[at + 3]) << 24);
  };
  const std::int64_t w = le32(18);
  const std::int64_t h = le32(22);
  width = static_cast<int>(std::clamp<std::int64_t>(w, 1, 800));
  height = static_cast<int>(std::clamp<std::int64_t>(h < 0 ? -h : h, 1, 600));
}

}  // namespace

int main(int argc, char** argv) {
  std::filesystem::path folder;
  std::string name;
  std::filesystem::path own_folder;  // removed at the end when made here
  if (argc > 1) {
    const std::filesystem::path given = std::filesystem::absolute(argv[1]);
    folder = given.parent_path();
    name = given.filename().string();
  } else {
    own_folder = std::filesystem::temp_directory_path() /
                 ("rangiertrubel-demo-" + std::to_string(::getpid()));
    std::filesystem::create_directories(own_folder);
    if (!rt::write_file(own_folder / "demo.bmp", make_bmp())) {
      std::cerr << "rangiertrubel-demo: cannot write " << (own_folder / "demo.bmp").string()
                << '\n';
    }
    folder = own_folder;
    name = "demo.bmp";
  }
  int width = 0;
  int height = 0;
  bmp_size(folder / name, width, height);

  const int status = rt::run_on_sdl("rangiertrubel-demo", folder, [&](rt::Platform& p) {
    p.set_screen_mode("rangiertrubel-demo");
    p.set_mouse(400, 300, 0, 0);
    rt::Image picture = p.create_image(width, height);
    if (p.load_bmp(name, picture) != 0)
      std::cerr << "rangiertrubel-demo: cannot load " << name << '\n';
    // Four copies, the last one cut off by the screen's bottom-right corner.
    p.put_image(40, 40, picture);
    p.put_image(360, 120, picture);
    p.put_image(120, 300, picture);
    p.put_image(760, 560, picture);
    p.set_text_color(0xFFFFFF38, 0xFF000000);
    p.locate(30, 42);
    p.print_text("DER RANGIER TRUBEL");
    p.locate(32, 41);
    p.print_text("Taste druecken: Ende");
    p.sleep_ms(10000);  // a key press ends it early
    const std::string key = p.inkey();
    std::cout << "key:";
    for (unsigned char c : key) std::cout << ' ' << static_cast<int>(c);
    std::cout << '\n';
    p.end_program(0);
  });

  if (!own_folder.empty()) {
    std::error_code ignored;
    std::filesystem::remove_all(own_folder, ignored);
  }
  return status;
}
