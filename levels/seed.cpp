// Reading a seed from what a player typed: a number or a short word.
#include "levels/seed.h"

#include <chrono>
#include <cstdio>

namespace rt {

namespace {

constexpr std::uint32_t kFnvOffset = 2166136261u;
constexpr std::uint32_t kFnvPrime = 16777619u;

bool ascii_digit(unsigned char c) {
  return c >= '0' && c <= '9';
}

bool ascii_letter(unsigned char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// A letter beyond ASCII: U+00C0..U+017F less the signs × and ÷.
bool latin_letter(std::uint32_t code) {
  return code >= 0xC0 && code <= 0x17F && code != 0xD7 && code != 0xF7;
}

// The number `text` spells when it is all decimal digits and fits 32 bits.
std::optional<std::uint32_t> decimal(std::string_view text) {
  if (text.empty()) return std::nullopt;
  std::uint64_t value = 0;
  for (const char ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    if (!ascii_digit(c)) return std::nullopt;
    value = value * 10 + (c - '0');
    if (value > 0xFFFFFFFFu) return std::nullopt;
  }
  return static_cast<std::uint32_t>(value);
}

// True when `text` is 1..kSeedWordLetters letters and digits in UTF-8.
// Only two-byte sequences can hold the letters allowed beyond ASCII.
bool is_seed_word(std::string_view text) {
  int letters = 0;
  for (std::size_t i = 0; i < text.size(); ++letters) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (ascii_digit(c) || ascii_letter(c)) {
      ++i;
      continue;
    }
    if ((c & 0xE0) != 0xC0 || i + 1 >= text.size()) return false;
    const auto next = static_cast<unsigned char>(text[i + 1]);
    if ((next & 0xC0) != 0x80) return false;
    const std::uint32_t code = (static_cast<std::uint32_t>(c & 0x1F) << 6) | (next & 0x3F);
    if (!latin_letter(code)) return false;  // also rejects overlong forms (< 0x80)
    i += 2;
  }
  return letters >= 1 && letters <= kSeedWordLetters;
}

}  // namespace

std::uint32_t seed_of_word(std::string_view word) {
  std::uint32_t hash = kFnvOffset;
  for (const char ch : word) {
    hash ^= static_cast<unsigned char>(ch);
    hash *= kFnvPrime;
  }
  return hash;
}

std::optional<std::uint32_t> parse_seed(std::string_view text) {
  const bool all_digits = !text.empty() && text.find_first_not_of("0123456789") == text.npos;
  if (all_digits) return decimal(text);  // a number too big is no seed, not a word
  if (!is_seed_word(text)) return std::nullopt;
  return seed_of_word(text);
}

std::string utc_date(std::int64_t unix_seconds) {
  using namespace std::chrono;
  const sys_days day = floor<days>(sys_seconds{seconds{unix_seconds}});
  const year_month_day date{day};
  char text[16];
  std::snprintf(text, sizeof text, "%04d-%02u-%02u", static_cast<int>(date.year()),
                static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()));
  return text;
}

}  // namespace rt
