// Conversion between code page 437 bytes and UTF-8 text.
#include "platform/formats/cp437.h"

#include <array>
#include <cstddef>
#include <cstdint>

namespace rt {
namespace {

// The Unicode characters of bytes 128..255, in byte order. Read forwards to
// turn bytes into text and searched backwards to turn text into bytes.
constexpr std::array<char32_t, 128> kUpperHalf = {
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x00E5, 0x00E7,  // 128
    0x00EA, 0x00EB, 0x00E8, 0x00EF, 0x00EE, 0x00EC, 0x00C4, 0x00C5,  // 136
    0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2, 0x00FB, 0x00F9,  // 144
    0x00FF, 0x00D6, 0x00DC, 0x00A2, 0x00A3, 0x00A5, 0x20A7, 0x0192,  // 152
    0x00E1, 0x00ED, 0x00F3, 0x00FA, 0x00F1, 0x00D1, 0x00AA, 0x00BA,  // 160
    0x00BF, 0x2310, 0x00AC, 0x00BD, 0x00BC, 0x00A1, 0x00AB, 0x00BB,  // 168
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x2561, 0x2562, 0x2556,  // 176
    0x2555, 0x2563, 0x2551, 0x2557, 0x255D, 0x255C, 0x255B, 0x2510,  // 184
    0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x255E, 0x255F,  // 192
    0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x2567,  // 200
    0x2568, 0x2564, 0x2565, 0x2559, 0x2558, 0x2552, 0x2553, 0x256B,  // 208
    0x256A, 0x2518, 0x250C, 0x2588, 0x2584, 0x258C, 0x2590, 0x2580,  // 216
    0x03B1, 0x00DF, 0x0393, 0x03C0, 0x03A3, 0x03C3, 0x00B5, 0x03C4,  // 224
    0x03A6, 0x0398, 0x03A9, 0x03B4, 0x221E, 0x03C6, 0x03B5, 0x2229,  // 232
    0x2261, 0x00B1, 0x2265, 0x2264, 0x2320, 0x2321, 0x00F7, 0x2248,  // 240
    0x00B0, 0x2219, 0x00B7, 0x221A, 0x207F, 0x00B2, 0x25A0, 0x00A0,  // 248
};

void append_utf8(std::string& out, char32_t cp) {
  auto put = [&out](std::uint32_t v) { out.push_back(static_cast<char>(v & 0xFFu)); };
  const auto v = static_cast<std::uint32_t>(cp);
  if (v < 0x80) {
    put(v);
  } else if (v < 0x800) {
    put(0xC0 | (v >> 6));
    put(0x80 | (v & 0x3F));
  } else {
    // Every character of the table lies below U+10000.
    put(0xE0 | (v >> 12));
    put(0x80 | ((v >> 6) & 0x3F));
    put(0x80 | (v & 0x3F));
  }
}

// Decodes one character at `pos` and moves past it. Returns false for a
// malformed sequence (bad lead byte, missing or bad continuation, overlong
// form, surrogate, beyond U+10FFFF); `pos` then moves one byte on, so that
// decoding picks up again at the next byte.
bool decode_utf8(std::string_view s, std::size_t& pos, char32_t& cp) {
  const auto lead = static_cast<unsigned char>(s[pos]);
  int extra = 0;
  std::uint32_t v = 0;
  std::uint32_t min = 0;
  if (lead < 0x80) {
    cp = lead;
    ++pos;
    return true;
  } else if ((lead & 0xE0) == 0xC0) {
    extra = 1;
    v = lead & 0x1Fu;
    min = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    extra = 2;
    v = lead & 0x0Fu;
    min = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    extra = 3;
    v = lead & 0x07u;
    min = 0x10000;
  } else {
    ++pos;  // a stray continuation byte or an invalid lead byte
    return false;
  }
  if (s.size() - pos <= static_cast<std::size_t>(extra)) {
    ++pos;
    return false;
  }
  for (int i = 1; i <= extra; ++i) {
    const auto c = static_cast<unsigned char>(s[pos + static_cast<std::size_t>(i)]);
    if ((c & 0xC0) != 0x80) {
      ++pos;
      return false;
    }
    v = (v << 6) | (c & 0x3Fu);
  }
  if (v < min || v > 0x10FFFF || (v >= 0xD800 && v <= 0xDFFF)) {
    ++pos;
    return false;
  }
  pos += static_cast<std::size_t>(extra) + 1;
  cp = static_cast<char32_t>(v);
  return true;
}

}  // namespace

char32_t cp437_to_unicode(unsigned char byte) {
  return byte < 128 ? static_cast<char32_t>(byte) : kUpperHalf[byte - 128u];
}

int unicode_to_cp437(char32_t cp) {
  if (cp < 128) return static_cast<int>(cp);
  for (std::size_t i = 0; i < kUpperHalf.size(); ++i) {
    if (kUpperHalf[i] == cp) return static_cast<int>(i + 128);
  }
  return -1;
}

std::string utf8_to_cp437(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  std::size_t pos = 0;
  while (pos < utf8.size()) {
    char32_t cp = 0;
    if (!decode_utf8(utf8, pos, cp)) continue;
    const int byte = unicode_to_cp437(cp);
    if (byte >= 0) out.push_back(static_cast<char>(static_cast<unsigned char>(byte)));
  }
  return out;
}

std::string cp437_to_utf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size() * 2);
  for (char ch : bytes) append_utf8(out, cp437_to_unicode(static_cast<unsigned char>(ch)));
  return out;
}

}  // namespace rt
