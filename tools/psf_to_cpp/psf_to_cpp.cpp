// psf_to_cpp: writes the text-grid font table from a PSF1 console font.
//
//   psf_to_cpp <font.psf> <output.cpp>
//
// The font must be an uncompressed PSF1 file (header 0x36 0x04, mode byte,
// glyph height) with 16-pixel-high glyphs; its first 256 glyphs are written
// in file order, which for a code page 437 font is the order of the byte
// values. A trailing Unicode table, if any, is ignored.

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr int kGlyphs = 256;
constexpr int kGlyphHeight = 16;
constexpr std::size_t kHeaderSize = 4;

// The printable ASCII character a glyph shows, for the comment beside it.
std::string glyph_label(int code) {
  if (code < 0x20 || code > 0x7E || code == '\\') return "";
  return std::string(" '") + static_cast<char>(code) + "'";
}

std::string hex_byte(unsigned value) {
  char buffer[8];
  std::snprintf(buffer, sizeof buffer, "0x%02X", value & 0xFFu);
  return buffer;
}

std::string make_table(const std::vector<std::uint8_t>& font) {
  std::ostringstream out;
  out << "// The VGA 8 x 16 glyphs of code page 437, one byte per pixel row, the\n"
         "// leftmost pixel in the most significant bit.\n"
         "//\n"
         "// The glyphs come from Debian's console-data package, file\n"
         "// /usr/share/consolefonts/default8x16.psf.gz. Regenerate with:\n"
         "//   zcat default8x16.psf.gz > default8x16.psf\n"
         "//   psf_to_cpp default8x16.psf platform/vga_font.cpp\n"
         "// Do not edit by hand.\n"
         "\n"
         "#include \"platform/vga_font.h\"\n"
         "\n"
         "namespace rt {\n"
         "\n"
         "// clang-format off\n"
         "const std::array<std::array<std::uint8_t, 16>, 256> kVgaFont = {{\n";
  for (int code = 0; code < kGlyphs; ++code) {
    const std::size_t base = kHeaderSize + static_cast<std::size_t>(code) * kGlyphHeight;
    out << "    // " << hex_byte(static_cast<unsigned>(code)) << glyph_label(code) << "\n    {";
    for (int row = 0; row < kGlyphHeight; ++row) {
      out << hex_byte(font[base + static_cast<std::size_t>(row)]);
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
  if (argc != 3) {
    std::fprintf(stderr, "usage: psf_to_cpp <font.psf> <output.cpp>\n");
    return 1;
  }
  std::ifstream in(argv[1], std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "psf_to_cpp: cannot open %s\n", argv[1]);
    return 1;
  }
  const std::vector<std::uint8_t> font((std::istreambuf_iterator<char>(in)),
                                       std::istreambuf_iterator<char>());
  if (font.size() < kHeaderSize || font[0] != 0x36 || font[1] != 0x04) {
    std::fprintf(stderr, "psf_to_cpp: %s is not an uncompressed PSF1 font\n", argv[1]);
    return 1;
  }
  if (font[3] != kGlyphHeight) {
    std::fprintf(stderr, "psf_to_cpp: glyphs are %d pixels high, 16 wanted\n", font[3]);
    return 1;
  }
  if (font.size() < kHeaderSize + static_cast<std::size_t>(kGlyphs) * kGlyphHeight) {
    std::fprintf(stderr, "psf_to_cpp: %s holds fewer than 256 glyphs\n", argv[1]);
    return 1;
  }
  std::ofstream out(argv[2], std::ios::binary | std::ios::trunc);
  out << make_table(font);
  out.close();
  if (!out) {
    std::fprintf(stderr, "psf_to_cpp: cannot write %s\n", argv[2]);
    return 1;
  }
  return 0;
}
