// Reading comma- or line-separated numbers and strings from text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace rt {

// Reads comma- or line-separated fields from text data (a file's contents in
// text mode, or a typed line), remembering the position between reads.
class FieldReader {
 public:
  FieldReader() = default;
  explicit FieldReader(std::string data) : data_(std::move(data)) {}

  // At most 67 characters are collected for a number, 4096 for a string.
  std::int32_t read_int();
  std::string read_string();
  bool at_end() const { return pos_ >= data_.size(); }

 private:
  std::string read_field(bool number);

  std::string data_;
  std::size_t pos_ = 0;
};

// Converts a collected number field: "&H"/"&O"/"&B" prefixes, decimal
// floating point rounded half to even, or a signed integer up to its first
// non-digit. Decimal values beyond the 32-bit range are clamped to it;
// "&H", "&O" and "&B" values keep their low 32 bits (two's complement).
std::int32_t convert_number_field(std::string_view text);

// A file's bytes as text mode reads them: CR LF becomes LF, a 0x1A byte ends
// the data.
std::string text_mode(std::string_view bytes);

}  // namespace rt
