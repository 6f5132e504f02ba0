// Code page 437 to UTF-8 and back.
#include "platform/formats/cp437.h"

#include <gtest/gtest.h>

#include <string>

namespace rt {
namespace {

std::string all_bytes() {
  std::string s;
  for (int b = 0; b < 256; ++b) s.push_back(static_cast<char>(b));
  return s;
}

TEST(Cp437, GermanLettersHaveTheirPcCodes) {
  EXPECT_EQ(unicode_to_cp437(U'ä'), 132);
  EXPECT_EQ(unicode_to_cp437(U'ö'), 148);
  EXPECT_EQ(unicode_to_cp437(U'ü'), 129);
  EXPECT_EQ(unicode_to_cp437(U'Ä'), 142);
  EXPECT_EQ(unicode_to_cp437(U'Ö'), 153);
  EXPECT_EQ(unicode_to_cp437(U'Ü'), 154);
  EXPECT_EQ(unicode_to_cp437(U'ß'), 225);
  EXPECT_EQ(unicode_to_cp437(U'é'), 130);
  // First and last of the upper half, and a few from the middle rows.
  EXPECT_EQ(unicode_to_cp437(U'Ç'), 128);
  EXPECT_EQ(unicode_to_cp437(U'\u00A0'), 255);
  EXPECT_EQ(unicode_to_cp437(U'█'), 219);
  EXPECT_EQ(unicode_to_cp437(U'═'), 205);
  EXPECT_EQ(unicode_to_cp437(U'±'), 241);
}

TEST(Cp437, AsciiStandsForItselfAndForeignCharactersHaveNoByte) {
  for (char32_t c = 0; c < 128; ++c) EXPECT_EQ(unicode_to_cp437(c), static_cast<int>(c));
  EXPECT_EQ(unicode_to_cp437(U'€'), -1);
  EXPECT_EQ(unicode_to_cp437(U'ł'), -1);
  EXPECT_EQ(unicode_to_cp437(U'\U0001F682'), -1);  // a locomotive emoji
  EXPECT_EQ(unicode_to_cp437(static_cast<char32_t>(0xFFFFFFFF)), -1);
}

TEST(Cp437, EveryByteSurvivesTheRoundTripThroughUtf8) {
  const std::string bytes = all_bytes();
  const std::string text = cp437_to_utf8(bytes);
  EXPECT_EQ(utf8_to_cp437(text), bytes);
  // The upper half takes two or three UTF-8 bytes per character.
  EXPECT_GT(text.size(), bytes.size() + 128);
  // Each byte on its own maps to a character that maps back to the byte.
  for (int b = 0; b < 256; ++b) {
    const std::string one(1, static_cast<char>(b));
    EXPECT_EQ(utf8_to_cp437(cp437_to_utf8(one)), one) << "byte " << b;
  }
}

TEST(Cp437, ConvertsTextBothWays) {
  EXPECT_EQ(utf8_to_cp437("Grüße"),
            "Gr\x81\xE1"
            "e");
  EXPECT_EQ(cp437_to_utf8("Gr\x81\xE1"
                          "e"),
            "Grüße");
  EXPECT_EQ(cp437_to_utf8("\x84\x94\x8E"), "äöÄ");
  EXPECT_EQ(cp437_to_utf8("\xC9\xCD\xBB"), "╔═╗");
  EXPECT_EQ(utf8_to_cp437(""), "");
  EXPECT_EQ(cp437_to_utf8(""), "");
}

TEST(Cp437, CharactersWithoutAPcFormAreDropped) {
  EXPECT_EQ(utf8_to_cp437("5 €, ä"), "5 , \x84");
  EXPECT_EQ(utf8_to_cp437("\xF0\x9F\x9A\x82x"), "x");  // a four-byte character
}

TEST(Cp437, MalformedUtf8IsSkippedWithoutLosingWhatFollows) {
  // A stray continuation byte and invalid lead bytes.
  EXPECT_EQ(utf8_to_cp437("a\x80"
                          "b"),
            "ab");
  EXPECT_EQ(utf8_to_cp437("a\xFF\xFE"
                          "b"),
            "ab");
  // A sequence cut off by the end of the text, and one cut off by a letter.
  EXPECT_EQ(utf8_to_cp437("ab\xC3"), "ab");
  EXPECT_EQ(utf8_to_cp437("ab\xE2\x95"), "ab");
  EXPECT_EQ(utf8_to_cp437("\xC3"
                          "a\xC3\xA4"),
            "a\x84");
  // Overlong forms, surrogates and values beyond U+10FFFF are not characters.
  EXPECT_EQ(utf8_to_cp437("\xC0\xC1"), "");
  EXPECT_EQ(utf8_to_cp437("\xC1\x81"), "");  // overlong 'A'
  EXPECT_EQ(utf8_to_cp437("\xE0\x81\x81"
                          "z"),
            "z");  // overlong 'A'
  EXPECT_EQ(utf8_to_cp437("\xED\xA0\x80"
                          "z"),
            "z");  // a surrogate
  EXPECT_EQ(utf8_to_cp437("\xF4\x90\x80\x80"
                          "z"),
            "z");
  // After a broken sequence, a character right behind it still counts.
  EXPECT_EQ(utf8_to_cp437("\xE2\xC3\xA4"), "\x84");
}

TEST(Cp437, ArbitraryBytesNeverBreakTheDecoder) {
  // Every two-byte combination, with and without a tail: only checks that
  // decoding stays inside the text and yields at most one byte per input byte.
  for (int a = 0; a < 256; ++a) {
    for (int b = 0; b < 256; ++b) {
      std::string s{static_cast<char>(a), static_cast<char>(b)};
      EXPECT_LE(utf8_to_cp437(s).size(), 2u);
      s.push_back('\x80');
      EXPECT_LE(utf8_to_cp437(s).size(), 3u);
    }
  }
}

}  // namespace
}  // namespace rt
