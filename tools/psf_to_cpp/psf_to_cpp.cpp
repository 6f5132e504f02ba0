// psf_to_cpp: writes the text-grid font table from PSF1 console fonts.
//
//   psf_to_cpp <output.cpp> <font.psf>...
//
// Each font must be an uncompressed PSF1 file (header 0x36 0x04, mode byte,
// glyph height) with 8 x 16 glyphs and a Unicode table. Every code page 437
// character is looked up by its Unicode character in the fonts in the order
// given; the first font that has it gives the glyph. A character none of them
// has takes the glyph of a stand-in of the same shape (see kStandIns), and
// byte 0, which shows nothing, stays blank. The comment beside every glyph
// names its character and the font it came from.
//
// The table in platform/formats/vga_font.cpp is made from the VGA fonts of Debian's
// console-setup-linux package, which follow the standard VGA design:
//   for f in FullGreek Uni2; do
//     zcat /usr/share/consolefonts/$f-VGA16.psf.gz > $f-VGA16.psf
//   done
//   psf_to_cpp platform/formats/vga_font.cpp FullGreek-VGA16.psf Uni2-VGA16.psf

#include <array>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "platform/formats/cp437.h"

namespace {

constexpr int kGlyphs = 256;
constexpr std::size_t kGlyphHeight = 16;
constexpr std::size_t kHeaderSize = 4;
// No console font comes near this; a bigger file is not a font.
constexpr std::streamoff kMaxFontBytes = 1 << 20;

constexpr std::uint8_t kMode512 = 0x01;
constexpr std::uint8_t kModeHasTable = 0x02;
constexpr std::uint16_t kTableSequence = 0xFFFE;
constexpr std::uint16_t kTableEnd = 0xFFFF;

using Glyph = std::array<std::uint8_t, kGlyphHeight>;

// What the bytes below 32 and byte 127 show on a PC screen: the pictures of
// code page 437, not their control meanings.
constexpr std::array<char32_t, 32> kLowPictures = {
    0x0000, 0x263A, 0x263B, 0x2665, 0x2666, 0x2663, 0x2660, 0x2022,  // 0
    0x25D8, 0x25CB, 0x25D9, 0x2642, 0x2640, 0x266A, 0x266B, 0x263C,  // 8
    0x25BA, 0x25C4, 0x2195, 0x203C, 0x00B6, 0x00A7, 0x25AC, 0x21A8,  // 16
    0x2191, 0x2193, 0x2192, 0x2190, 0x221F, 0x2194, 0x25B2, 0x25BC,  // 24
};
constexpr char32_t kHouse = 0x2302;

// Characters the fonts may lack, with a character of the same picture.
constexpr std::array<std::pair<char32_t, char32_t>, 2> kStandIns = {{
    {0x25BA, 0x25B6},  // black right-pointing pointer: black right triangle
    {0x25C4, 0x25C0},  // black left-pointing pointer: black left triangle
}};

char32_t picture_of(int byte) {
  if (byte < 32) return kLowPictures[static_cast<std::size_t>(byte)];
  if (byte == 127) return kHouse;
  return rt::cp437_to_unicode(static_cast<unsigned char>(byte));
}

struct Font {
  std::string name;              // the file name, for the comments
  std::map<char32_t, Glyph> by;  // Unicode character -> glyph (first mapping wins)
};

std::string file_name(const std::string& path) {
  const auto slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Reads a PSF1 font with its Unicode table; an error message when it is not one.
std::optional<Font> read_font(const std::string& path, std::string& error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    error = "cannot open " + path;
    return std::nullopt;
  }
  std::vector<std::uint8_t> bytes;
  char buffer[4096];
  while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
    bytes.insert(bytes.end(), buffer, buffer + in.gcount());
    if (static_cast<std::streamoff>(bytes.size()) > kMaxFontBytes) {
      error = path + " is too big for a console font";
      return std::nullopt;
    }
  }
  if (in.bad()) {
    error = "cannot read " + path;
    return std::nullopt;
  }
  if (bytes.size() < kHeaderSize || bytes[0] != 0x36 || bytes[1] != 0x04) {
    error = path + " is not an uncompressed PSF1 font";
    return std::nullopt;
  }
  const std::uint8_t mode = bytes[2];
  if (bytes[3] != kGlyphHeight) {
    error = path + ": glyphs are " + std::to_string(bytes[3]) + " pixels high, 16 wanted";
    return std::nullopt;
  }
  if ((mode & kModeHasTable) == 0) {
    error = path + " has no Unicode table";
    return std::nullopt;
  }
  const std::size_t count = (mode & kMode512) != 0 ? 512 : 256;
  const std::size_t table = kHeaderSize + count * kGlyphHeight;
  if (bytes.size() < table) {
    error = path + " is shorter than its glyphs";
    return std::nullopt;
  }

  Font font{file_name(path), {}};
  std::size_t pos = table;
  std::size_t glyph = 0;
  bool in_sequence = false;  // sequences of combining characters are skipped
  while (glyph < count && pos + 2 <= bytes.size()) {
    const auto value = static_cast<std::uint16_t>(bytes[pos] | (bytes[pos + 1] << 8));
    pos += 2;
    if (value == kTableEnd) {
      ++glyph;
      in_sequence = false;
    } else if (value == kTableSequence) {
      in_sequence = true;
    } else if (!in_sequence) {
      Glyph rows{};
      for (std::size_t row = 0; row < kGlyphHeight; ++row) {
        rows[row] = bytes[kHeaderSize + glyph * kGlyphHeight + row];
      }
      font.by.emplace(static_cast<char32_t>(value), rows);
    }
  }
  return font;
}

std::string hex(unsigned value, int digits) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%0*X", digits, value);
  return buffer;
}

// The printable ASCII character a byte shows, for the comment beside it.
std::string ascii_label(int code) {
  if (code < 0x20 || code > 0x7E || code == '\\') return "";
  return std::string(" '") + static_cast<char>(code) + "'";
}

struct Choice {
  Glyph glyph{};
  std::string source;  // where the glyph came from, for the comment
};

std::optional<Choice> find(const std::vector<Font>& fonts, char32_t character) {
  for (const Font& font : fonts) {
    const auto found = font.by.find(character);
    if (found != font.by.end()) return Choice{found->second, font.name};
  }
  return std::nullopt;
}

// The glyph of one byte, or an error message when no font can give it.
std::optional<Choice> choose(const std::vector<Font>& fonts, int byte, std::string& error) {
  const char32_t character = picture_of(byte);
  const std::string name = "U+" + hex(static_cast<unsigned>(character), 4);
  if (character == 0) return Choice{Glyph{}, name + ", blank: the byte shows nothing"};
  if (auto found = find(fonts, character)) {
    found->source = name + " from " + found->source;
    return found;
  }
  for (const auto& [wanted, stand_in] : kStandIns) {
    if (wanted != character) continue;
    if (auto found = find(fonts, stand_in)) {
      found->source = name + " in none of the fonts: U+" + hex(static_cast<unsigned>(stand_in), 4) +
                      " from " + found->source;
      return found;
    }
  }
  error = "no font has " + name + " (byte 0x" + hex(static_cast<unsigned>(byte), 2) + ")";
  return std::nullopt;
}

std::string make_table(const std::vector<Choice>& glyphs, const std::vector<Font>& fonts) {
  std::ostringstream out;
  out << "// The VGA 8 x 16 glyphs of code page 437, one byte per pixel row, the\n"
         "// leftmost pixel in the most significant bit.\n"
         "//\n"
         "// Taken by Unicode character from the VGA console fonts of Debian's\n"
         "// console-setup-linux package (/usr/share/consolefonts), in this order:";
  for (const Font& font : fonts) out << "\n//   " << font.name;
  out << "\n"
         "// Made by tools/psf_to_cpp, which says how to run it again. Do not edit by\n"
         "// hand.\n"
         "\n"
         "#include \"platform/formats/vga_font.h\"\n"
         "\n"
         "namespace rt {\n"
         "\n"
         "// clang-format off\n"
         "const std::array<std::array<std::uint8_t, 16>, 256> kVgaFont = {{\n";
  for (int code = 0; code < kGlyphs; ++code) {
    const Choice& choice = glyphs[static_cast<std::size_t>(code)];
    out << "    // 0x" << hex(static_cast<unsigned>(code), 2) << ascii_label(code) << ", "
        << choice.source << "\n    {";
    for (std::size_t row = 0; row < kGlyphHeight; ++row) {
      out << "0x" << hex(choice.glyph[row], 2);
      if (row + 1 < kGlyphHeight) out << ", ";
    }
    out << "},\n";
  }
  out << "}};\n"
         "// clang-format on\n"
         "\n"
         "}  // namespace rt\n";
  return out.str();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: psf_to_cpp <output.cpp> <font.psf>...\n");
    return 1;
  }
  std::vector<Font> fonts;
  for (int i = 2; i < argc; ++i) {
    std::string error;
    auto font = read_font(argv[i], error);
    if (!font) {
      std::fprintf(stderr, "psf_to_cpp: %s\n", error.c_str());
      return 1;
    }
    fonts.push_back(std::move(*font));
  }
  std::vector<Choice> glyphs;
  for (int code = 0; code < kGlyphs; ++code) {
    std::string error;
    auto choice = choose(fonts, code, error);
    if (!choice) {
      std::fprintf(stderr, "psf_to_cpp: %s\n", error.c_str());
      return 1;
    }
    glyphs.push_back(std::move(*choice));
  }
  std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
  out << make_table(glyphs, fonts);
  out.close();
  if (!out) {
    std::fprintf(stderr, "psf_to_cpp: cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}
