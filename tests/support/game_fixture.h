// The game's test fixture: the test's own pictures and levels written into a
// fresh folder, and a Game on the simulated host.
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "game/assets.h"
#include "game/game.h"
#include "platform/formats/vga_font.h"
#include "platform/keyboard.h"
#include "tests/support/sim_fixture.h"

namespace rt::testing {

// The colour of every picture in the test's own sprite set: each one a
// different solid colour, so that a pixel tells which picture is on a cell.
struct PictureColour {
  Image Sprites::*image;
  Color colour;
};
inline constexpr PictureColour kPictureColours[] = {
    {&Sprites::SchieneWage, 0xFF100001}, {&Sprites::SchieneSenk, 0xFF100002},
    {&Sprites::KurveOLi, 0xFF100003},    {&Sprites::KurveORe, 0xFF100004},
    {&Sprites::KurveULi, 0xFF100005},    {&Sprites::KurveURe, 0xFF100006},
    {&Sprites::Schwarz, 0xFF000000},     {&Sprites::Hbf, 0xFF300030},
    {&Sprites::LockWage1, 0xFF200001},   {&Sprites::LockWage2, 0xFF200002},
    {&Sprites::LockWage3, 0xFF200003},   {&Sprites::LockWage4, 0xFF200004},
    {&Sprites::LockSenk1, 0xFF210001},   {&Sprites::LockSenk2, 0xFF210002},
    {&Sprites::LockSenk3, 0xFF210003},   {&Sprites::LockSenk4, 0xFF210004},
    {&Sprites::Haus, 0xFF400021},        {&Sprites::Baum1, 0xFF400020},
    {&Sprites::Gruen, 0xFF00C000},       {&Sprites::Explo1, 0xFFE00001},
    {&Sprites::Explo2, 0xFFE00002},      {&Sprites::KX, 0xFF5000AA},
    {&Sprites::Minilock, 0xFF5000BB},    {&Sprites::VLoesch, 0xFF5000CC},
};

// Every picture of the game's table with its name, size and test colour.
struct SpriteColour {
  const char* name;
  int width;
  int height;
  Color colour;
};
inline constexpr auto kSpriteColours = [] {
  std::array<SpriteColour, assets::kPictures.size()> out{};
  for (std::size_t i = 0; i < out.size(); ++i) {
    const assets::PictureFile& picture = assets::kPictures[i];
    Color colour = 0;
    for (const PictureColour& pc : kPictureColours) {
      if (pc.image == picture.image) colour = pc.colour;
    }
    // The table's names are string literals, so data() ends in a zero.
    out[i] = {picture.name.data(), picture.width, picture.height, colour};
  }
  return out;
}();

inline Color colour_of(std::string_view name) {
  for (const auto& s : kSpriteColours) {
    if (name == s.name) return s.colour;
  }
  ADD_FAILURE() << "no sprite " << name;
  return 0;
}

// A solid-colour picture as a 24-bit bottom-up BMP file.
inline std::string solid_bmp(int width, int height, Color colour) {
  const int row_bytes = (width * 3 + 3) / 4 * 4;
  const std::uint32_t data_size = static_cast<std::uint32_t>(row_bytes * height);
  std::string out;
  auto put16 = [&out](std::uint32_t v) {
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>((v >> 8) & 0xFF);
  };
  auto put32 = [&](std::uint32_t v) {
    put16(v & 0xFFFF);
    put16(v >> 16);
  };
  out += "BM";
  put32(54 + data_size);
  put32(0);
  put32(54);
  put32(40);
  put32(static_cast<std::uint32_t>(width));
  put32(static_cast<std::uint32_t>(height));
  put16(1);
  put16(24);
  put32(0);
  put32(data_size);
  put32(2835);
  put32(2835);
  put32(0);
  put32(0);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      out += static_cast<char>(colour & 0xFF);
      out += static_cast<char>((colour >> 8) & 0xFF);
      out += static_cast<char>((colour >> 16) & 0xFF);
    }
    out.append(static_cast<std::size_t>(row_bytes - width * 3), '\0');
  }
  return out;
}

// A level as its file lists it: 20 columns of 14 cells and the hole.
struct LevelCells {
  std::array<TileCode, 280> cells{};
  int cursor_x = 20;
  int cursor_y = 14;

  TileCode& at(int x, int y) { return cells[static_cast<std::size_t>((x - 1) * 14 + (y - 1))]; }
  void fill(TileCode code) { cells.fill(code); }
};

// The ways the tests spread a level's 282 numbers over lines.
enum class Layout { OnePerLine, ColumnPerLineCommas, Blanks };

inline std::string level_text(const LevelCells& level, Layout layout) {
  std::string out;
  for (int x = 0; x < 20; ++x) {
    for (int y = 0; y < 14; ++y) {
      out += std::to_string(level.cells[static_cast<std::size_t>(x * 14 + y)]);
      if (layout == Layout::OnePerLine) {
        out += "\r\n";
      } else if (layout == Layout::ColumnPerLineCommas) {
        out += (y == 13) ? "\r\n" : ",";
      } else {
        out += (y == 13) ? "\n" : "  ";
      }
    }
  }
  out += std::to_string(level.cursor_x) + "\r\n" + std::to_string(level.cursor_y) + "\r\n";
  return out;
}

// A level the locomotive can run on: grass everywhere, straight rails along
// row 1, the hole in the bottom-right corner and the station far from the
// rails.
inline LevelCells rail_level() {
  LevelCells level;
  level.fill(tile::kGruen);
  for (int x = 1; x <= 20; ++x) level.at(x, 1) = tile::kSchieneWage;
  level.at(10, 10) = tile::kHbf;
  level.at(20, 14) = tile::kSchwarz;
  return level;
}

// The rail level with the hole at (10, 5) and a different piece on each of
// its four sides: a curve below, a rail above, curves right and left.
inline LevelCells cross_level() {
  LevelCells level = rail_level();
  level.at(20, 14) = tile::kGruen;
  level.at(10, 5) = tile::kSchwarz;
  level.at(10, 6) = tile::kKurveOLi;
  level.at(10, 4) = tile::kSchieneSenk;
  level.at(11, 5) = tile::kKurveURe;
  level.at(9, 5) = tile::kKurveULi;
  level.cursor_x = 10;
  level.cursor_y = 5;
  return level;
}

// A simulated host and platform with the game on them, the screen set, the
// test's pictures loaded and the text colour of the game.
class GameFixture : public SimFixture {
 protected:
  static constexpr Color kText = 0xFFFFFF38;

  Game game{platform};

  void SetUp() override {
    platform.set_screen_mode();
    for (const auto& s : kSpriteColours) {
      dir.write(std::string("Sprites/") + s.name + ".bmp", solid_bmp(s.width, s.height, s.colour));
    }
    game.load_sprites();
    platform.set_text_color(kText, 0);
    game.sound_on = 1;
    game.GameState = state::kPlaying;
  }

  void write_level(int number, const LevelCells& level, Layout layout = Layout::OnePerLine) {
    char name[32];
    std::snprintf(name, sizeof name, "Data/lev%02d.dat", number);
    dir.write(name, level_text(level, layout));
  }
  // The same level in all ten files.
  void write_all_levels(const LevelCells& level) {
    for (int n = 1; n <= 10; ++n) write_level(n, level);
  }

  // Copies a level into the game's board directly.
  void put_board(const LevelCells& level) {
    for (int x = 1; x <= 20; ++x) {
      for (int y = 1; y <= 14; ++y) game.board.set(x, y, const_cast<LevelCells&>(level).at(x, y));
    }
    game.cursor_x = level.cursor_x;
    game.cursor_y = level.cursor_y;
  }

  // True when every pixel of board cell (x, y) has `colour`.
  bool cell_is(int x, int y, Color colour) {
    for (int py = 0; py < 40; ++py) {
      for (int px = 0; px < 40; ++px) {
        if (platform.read_pixel((x - 1) * 40 + px, (y - 1) * 40 + py) != colour) return false;
      }
    }
    return true;
  }
  Color cell_colour(int x, int y) {
    return platform.read_pixel((x - 1) * 40 + 20, (y - 1) * 40 + 20);
  }

  // True when the text grid shows `text` from (row, column) in the colours.
  bool text_shows(int row, int column, std::string_view text, Color fg = kText, Color bg = 0) {
    for (std::size_t i = 0; i < text.size(); ++i) {
      const auto& glyph = kVgaFont[static_cast<unsigned char>(text[i])];
      const int left = (column - 1 + static_cast<int>(i)) * 8;
      const int top = (row - 1) * 16;
      for (int py = 0; py < 16; ++py) {
        for (int px = 0; px < 8; ++px) {
          const bool dot = (glyph[static_cast<std::size_t>(py)] >> (7 - px)) & 1;
          if (platform.read_pixel(left + px, top + py) != (dot ? fg : bg)) return false;
        }
      }
    }
    return true;
  }

  // True when the status line shows these points, locomotives and level.
  bool status_shows(std::int32_t points, std::int32_t locomotives, std::int32_t level) {
    char score_text[32], lives_text[32], level_text[32];
    std::snprintf(score_text, sizeof score_text, "%8d", points);
    std::snprintf(lives_text, sizeof lives_text, "%2d", locomotives);
    std::snprintf(level_text, sizeof level_text, "%3d", level);
    return text_shows(36, 22, "PUNKTE:") && text_shows(36, 29, score_text) &&
           text_shows(36, 50, "LOKS:") && text_shows(36, 57, lives_text) &&
           text_shows(36, 72, "STUFE:") && text_shows(36, 79, level_text);
  }

  std::vector<std::string> sound_names() const {
    std::vector<std::string> names;
    for (const auto& s : host.sounds()) names.push_back(s.name);
    return names;
  }
  int count_sounds(std::string_view name) const {
    int n = 0;
    for (const auto& s : host.sounds()) n += (s.name == name) ? 1 : 0;
    return n;
  }

  // The player answers every level presentation with a key press `delay`
  // seconds after it began (the intro lasts three). Needs the sound on.
  void answer_intros(double delay = 3.5) {
    host.on_sound = [this, delay](const SimHost::Sound& s) {
      if (s.name == "next.wav") host.type_code(s.time + delay, keycode::kEnter);
      if (extra_on_sound) extra_on_sound(s);
    };
  }
  std::function<void(const SimHost::Sound&)> extra_on_sound;

  // Holds a key for a short moment, long enough for one keyboard poll.
  void tap(double time, int scan_code, int code, double hold = 0.16) {
    host.press(time, scan_code, code);
    host.release(time + hold, scan_code);
  }

  // Runs play_game until it returns or the virtual clock passes `limit`.
  // True when the game returned by itself.
  bool run_game(double limit) {
    host.set_time_limit(limit);
    try {
      game.play_game();
    } catch (const SimStop&) {
      return false;
    }
    return true;
  }
};

}  // namespace rt::testing
