// The game's character set and its conversion to and from UTF-8, for hosts
// and tools that speak Unicode.
#pragma once

#include <string>
#include <string_view>

namespace rt {

// Code page 437, the character set of the game's texts and key codes.
// Bytes 0..127 are ASCII; the upper half holds the accented letters, the
// box-drawing pieces and the Greek and mathematical signs of the PC font.

// The byte of a Unicode character, or -1 when code page 437 has none.
int unicode_to_cp437(char32_t cp);

// The Unicode character of a byte as text: bytes below 128 (control bytes
// included) stand for themselves.
char32_t cp437_to_unicode(unsigned char byte);

// Converts UTF-8 text to code page 437 bytes. Characters without a code
// page 437 form and malformed sequences are dropped.
std::string utf8_to_cp437(std::string_view utf8);

// Converts code page 437 bytes to UTF-8. Every byte has a form; bytes below
// 128 (control bytes included) stand for themselves.
std::string cp437_to_utf8(std::string_view bytes);

}  // namespace rt
