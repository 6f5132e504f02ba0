// The front end's test fixture: a Game and a FrontEnd on the simulated host
// with solid-colour pictures, and readers of the shown text.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "frontend/frontend.h"
#include "game/game.h"
#include "hosts/sim/sim_host.h"
#include "platform/formats/image.h"
#include "platform/formats/vga_font.h"
#include "platform/platform.h"
#include "tests/support/sim_fixture.h"

namespace rt::testing {

inline constexpr Color kText = 0xFFFFFF38;

// Solid colours for the front end's pictures, each one distinct, so that a
// picture drawn in the wrong place or order shows in the pixels.
inline constexpr Color kWageColor = 0xFF112233;
inline constexpr Color kSenkColor = 0xFF223344;
inline constexpr Color kURColor = 0xFF330000;  // KurveURe
inline constexpr Color kULColor = 0xFF004400;  // KurveULi
inline constexpr Color kORColor = 0xFF000055;  // KurveORe
inline constexpr Color kOLColor = 0xFF660066;  // KurveOLi
inline constexpr Color kLogoColor = 0xFF777700;
inline constexpr Color kPointerColor = 0xFF00AA00;
inline constexpr Color kEraserColor = 0xFF0000AA;

inline void use_solid_sprites(Sprites& s) {
  s.SchieneWage = Image(40, 40, kWageColor);
  s.SchieneSenk = Image(40, 40, kSenkColor);
  s.KurveURe = Image(40, 40, kURColor);
  s.KurveULi = Image(40, 40, kULColor);
  s.KurveORe = Image(40, 40, kORColor);
  s.KurveOLi = Image(40, 40, kOLColor);
  s.KX = Image(100, 40, kLogoColor);
  s.Minilock = Image(20, 20, kPointerColor);
  s.VLoesch = Image(20, 200, kEraserColor);
}

// Reads back the text shown in a row from pale-yellow-on-black glyph cells;
// '?' for a cell that holds no such glyph.
inline std::string screen_text(Platform& p, int row, int column, int length) {
  std::string text;
  for (int c = column; c < column + length; ++c) {
    const int x0 = (c - 1) * 8;
    const int y0 = (row - 1) * 16;
    char found = '?';
    // Printable ASCII first: the blank is tried before the other empty glyphs.
    for (int code = 32; code < 32 + 256; ++code) {
      const int ch = code % 256;
      bool same = true;
      for (int y = 0; y < 16 && same; ++y) {
        for (int x = 0; x < 8 && same; ++x) {
          const bool ink =
              (kVgaFont[static_cast<std::size_t>(ch)][static_cast<std::size_t>(y)] >> (7 - x)) & 1;
          same = p.read_pixel(x0 + x, y0 + y) == (ink ? kText : 0u);
        }
      }
      if (same) {
        found = static_cast<char>(ch);
        break;
      }
    }
    text += found;
  }
  return text;
}

// The magnified title alone, as it must look: the font's glyphs of the title
// scanned over rows 1..11 and columns 1..145, each lit pixel a face box and a
// shadow box, drawn onto `picture`.
inline void draw_expected_title(Image& picture) {
  static constexpr std::string_view kTitle = "DER RANGIER TRUBEL";
  auto lit = [](int x, int y) {
    const int index = x / 8;
    if (index >= static_cast<int>(kTitle.size())) return false;
    const auto ch = static_cast<unsigned char>(kTitle[static_cast<std::size_t>(index)]);
    return ((kVgaFont[ch][static_cast<std::size_t>(y)] >> (7 - x % 8)) & 1) != 0;
  };
  auto box = [&](int x1, int y1, Color c) {
    for (int y = y1; y < y1 + 5; ++y) {
      for (int x = x1; x < x1 + 5; ++x) picture.at(x, y) = c;
    }
  };
  for (int y = 1; y <= 11; ++y) {
    for (int x = 1; x <= 145; ++x) {
      if (!lit(x, y)) continue;
      box(4 * x + 95, 4 * y + 50, 0xFFFFE0C0u + 4u * static_cast<Color>(y));
      box(4 * x + 100, 4 * y + 55, 0x00000064u);
    }
  }
}

// A level file on which the locomotive crashes at its first step: a straight
// rail on its start cell, grass ahead of it and everywhere else, the hole in
// the bottom-right corner.
inline std::string crash_level() {
  std::string file;
  for (int x = 1; x <= 20; ++x) {
    for (int y = 1; y <= 14; ++y) {
      const int code = (x == 1 && y == 1) ? 10 : (x == 20 && y == 14) ? 0 : 1;
      file += std::to_string(code) + (y == 14 ? "\r\n" : ",");
    }
  }
  return file + "20\r\n14\r\n";
}

// A front end on the simulated host with solid pictures and an open screen.
class FrontFixture : public SimFixture {
 protected:
  FrontFixture() {
    platform.set_screen_mode();
    use_solid_sprites(game.sprites);
  }

  // Runs `body` until it returns or the program or the run ends; gives the
  // exit status, or nothing when `body` returned or the clock ran out.
  std::optional<int> run(const std::function<void()>& body, double limit = 60.0) {
    host.set_time_limit(limit);
    const SimEnd end = run_until_end(host, body);
    if (end.how == SimEnd::How::Ended) return end.status;
    returned = end.how == SimEnd::How::Returned;
    stopped = end.how == SimEnd::How::Stopped;
    return std::nullopt;
  }

  int count_sounds(std::string_view name, double from = 0.0) const {
    int n = 0;
    for (const auto& sound : host.sounds()) {
      if (sound.name == name && sound.time >= from) ++n;
    }
    return n;
  }

  void tap(double time, int scan_code, int code, double length = 0.1) {
    host.press(time, scan_code, code);
    host.release(time + length, scan_code);
  }

  Game game{platform};
  FrontEnd front{platform, game};
  bool returned = false;
  bool stopped = false;
};

}  // namespace rt::testing
