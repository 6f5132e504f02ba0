// The seeds that name a set of generated levels: a number, or a short word
// turned into one, so that a player can pass a set of levels on by name.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace rt {

// The longest word that is a seed, counted in letters and digits (an
// umlaut is one letter, though two bytes).
inline constexpr int kSeedWordLetters = 32;

// The number a word stands for: FNV-1a, 32 bits, over the word's bytes as
// given (UTF-8): start at 2166136261, and for each byte XOR it in, then
// multiply by 16777619 modulo 2^32. Upper and lower case give different
// numbers ("Jörg" is not "jörg").
std::uint32_t seed_of_word(std::string_view word);

// The seed `text` names, or none:
// - a decimal number from 0 to 4294967295 (digits only, no sign, no spaces;
//   leading zeros allowed) is that number;
// - otherwise a word of 1 to 32 letters and digits is seed_of_word(word).
//   Letters are the ASCII ones and, in UTF-8, the letters of Latin-1 and
//   Latin Extended-A (U+00C0 to U+017F without U+00D7 and U+00F7): the
//   umlauts, ß and the accented letters of the European languages.
// Anything else (empty, too long, punctuation, spaces, other characters,
// bytes that are not UTF-8, a number above 4294967295) is no seed.
std::optional<std::uint32_t> parse_seed(std::string_view text);

// The track of the day: the UTC date as "YYYY-MM-DD" of the moment
// `unix_seconds` (seconds since 1970-01-01 00:00 UTC), and its seed,
// seed_of_word of those ten characters, so that every machine plays the
// same levels on the same day.
std::string utc_date(std::int64_t unix_seconds);
inline std::uint32_t seed_of_day(std::string_view date) {
  return seed_of_word(date);
}

}  // namespace rt
