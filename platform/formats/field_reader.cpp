// Reading the fields of level and list files and of typed lines the way the
// game's file input does.
#include "platform/formats/field_reader.h"

#include <cmath>
#include <cstdlib>
#include <limits>

namespace rt {

namespace {

constexpr std::size_t kNumberFieldMax = 67;
constexpr std::size_t kStringFieldMax = 4096;
constexpr char kEndOfData = 0x1A;

bool is_blank(char c) {
  return c == ' ' || c == '\t';
}
bool is_digit(char c) {
  return c >= '0' && c <= '9';
}

std::int32_t clamp_to_int32(double value) {
  constexpr double kMax = std::numeric_limits<std::int32_t>::max();
  constexpr double kMin = std::numeric_limits<std::int32_t>::min();
  if (value >= kMax) {
    return std::numeric_limits<std::int32_t>::max();
  }
  if (value <= kMin) {
    return std::numeric_limits<std::int32_t>::min();
  }
  return static_cast<std::int32_t>(value);
}

// Nearest integer, halves to the even neighbour, without touching the
// floating-point environment.
double round_half_even(double value) {
  const double low = std::floor(value);
  const double diff = value - low;
  if (diff > 0.5) {
    return low + 1.0;
  }
  if (diff < 0.5) {
    return low;
  }
  return std::fmod(low, 2.0) == 0.0 ? low : low + 1.0;
}

// "&H", "&O", "&B" numbers: digits of the base up to the first other
// character; only the low 32 bits are kept.
std::int32_t convert_based(std::string_view digits, unsigned base) {
  std::uint32_t value = 0;
  for (char c : digits) {
    unsigned digit = base;
    if (is_digit(c)) {
      digit = static_cast<unsigned>(c - '0');
    } else if (c >= 'a' && c <= 'f') {
      digit = static_cast<unsigned>(c - 'a' + 10);
    } else if (c >= 'A' && c <= 'F') {
      digit = static_cast<unsigned>(c - 'A' + 10);
    }
    if (digit >= base) {
      break;
    }
    value = value * base + digit;  // unsigned: wraps to the low 32 bits
  }
  return static_cast<std::int32_t>(value);
}

// A decimal floating-point number: the longest prefix of the form
// [sign] digits [. digits] [E|e|D|d [sign] digits], rounded to an integer.
std::int32_t convert_float(std::string_view text) {
  std::string normal;
  std::size_t i = 0;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    if (text[i] == '-') {
      normal += '-';
    }
    ++i;
  }
  bool any_digit = false;
  std::string mantissa;
  while (i < text.size() && is_digit(text[i])) {
    mantissa += text[i++];
    any_digit = true;
  }
  if (i < text.size() && text[i] == '.') {
    mantissa += '.';
    ++i;
    while (i < text.size() && is_digit(text[i])) {
      mantissa += text[i++];
      any_digit = true;
    }
  }
  if (!any_digit) {
    return 0;
  }
  normal += mantissa;
  if (i < text.size() && (text[i] == 'E' || text[i] == 'e' || text[i] == 'D' || text[i] == 'd')) {
    std::string exponent = "e";
    std::size_t j = i + 1;
    if (j < text.size() && (text[j] == '+' || text[j] == '-')) {
      exponent += text[j++];
    }
    bool exponent_digits = false;
    while (j < text.size() && is_digit(text[j])) {
      exponent += text[j++];
      exponent_digits = true;
    }
    if (exponent_digits) {
      normal += exponent;
    }
  }
  // The text is built from digits only, so strtod sees no "inf", "nan" or
  // hexadecimal forms; out-of-range values come back as +-HUGE_VAL or 0.
  const double value = std::strtod(normal.c_str(), nullptr);
  return clamp_to_int32(round_half_even(value));
}

// An optionally signed decimal integer up to its first non-digit, clamped to
// the 32-bit range.
std::int32_t convert_integer(std::string_view text) {
  std::size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  constexpr std::int64_t kCap = std::int64_t{1} << 32;  // beyond either bound
  std::int64_t value = 0;
  while (i < text.size() && is_digit(text[i])) {
    value = value * 10 + (text[i] - '0');
    if (value > kCap) {
      value = kCap;
    }
    ++i;
  }
  return clamp_to_int32(static_cast<double>(negative ? -value : value));
}

}  // namespace

std::int32_t convert_number_field(std::string_view text) {
  std::size_t start = 0;
  while (start < text.size() && text[start] == ' ') {
    ++start;
  }
  text.remove_prefix(start);
  if (text.empty()) {
    return 0;
  }
  if (text.size() >= 2 && text[0] == '&') {
    switch (text[1]) {
      case 'H':
      case 'h':
        return convert_based(text.substr(2), 16);
      case 'O':
      case 'o':
        return convert_based(text.substr(2), 8);
      case 'B':
      case 'b':
        return convert_based(text.substr(2), 2);
      default:
        break;
    }
  }
  if (text.find_first_of(".EeDd") != std::string_view::npos) {
    return convert_float(text);
  }
  return convert_integer(text);
}

std::string text_mode(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const char c = bytes[i];
    if (c == kEndOfData) {
      break;
    }
    if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') {
      continue;  // the line feed that follows stands for both
    }
    out += c;
  }
  return out;
}

std::int32_t FieldReader::read_int() {
  return convert_number_field(read_field(true));
}

std::string FieldReader::read_string() {
  return read_field(false);
}

std::string FieldReader::read_field(bool number) {
  const std::size_t limit = number ? kNumberFieldMax : kStringFieldMax;
  std::string field;
  const auto keep = [&](char c) {
    if (field.size() < limit) {
      field += c;  // characters past the limit are read but dropped
    }
  };
  const auto peek = [this]() { return data_[pos_]; };
  // A line end is a line feed, or a carriage return with an optional line
  // feed after it; consumes it when it comes next.
  const auto take_line_end = [this]() {
    if (at_end()) {
      return false;
    }
    if (data_[pos_] == '\n') {
      ++pos_;
      return true;
    }
    if (data_[pos_] == '\r') {
      ++pos_;
      if (!at_end() && data_[pos_] == '\n') {
        ++pos_;
      }
      return true;
    }
    return false;
  };

  while (!at_end() && is_blank(peek())) {
    ++pos_;
  }
  if (at_end()) {
    return field;
  }

  bool quoted = false;  // inside the quoted part
  if (peek() == '"') {
    quoted = true;
    ++pos_;
  }

  bool settle = false;  // ended at a closing quote or a blank: tidy up after
  while (!at_end()) {
    const char c = peek();
    if (c == ',' && !quoted) {
      ++pos_;
      break;
    }
    if (take_line_end()) {
      break;
    }
    if (c == '"' && quoted) {
      ++pos_;
      quoted = false;
      if (!number) {
        settle = true;
        break;
      }
      continue;  // a number goes on collecting after its quoted part
    }
    if (number && !quoted && is_blank(c)) {
      settle = true;
      break;
    }
    keep(c);
    ++pos_;
  }

  if (settle) {
    while (!at_end() && is_blank(peek())) {
      ++pos_;
    }
    if (!at_end() && peek() == ',') {
      ++pos_;
    } else {
      take_line_end();
    }
  }
  return field;
}

}  // namespace rt
