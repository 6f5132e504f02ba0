// Text-file fields: arbitrary file bytes read in text mode as numbers, as
// strings and mixed; a number field converted on its own; and the same
// bytes typed into the line input and read back as fields.

#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>

#include "hosts/sim/sim_host.h"
#include "platform/formats/field_reader.h"
#include "platform/keyboard.h"
#include "platform/platform.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

using rt::fuzz::check;

constexpr std::size_t kMaxString = 4096;

// Reads fields until the data is used up; every read takes at least one
// byte, so the number of reads is bounded by the size of the data.
template <typename Read>
void read_all(const std::string& data, Read read) {
  rt::FieldReader reader(data);
  std::size_t reads = 0;
  while (!reader.at_end()) {
    read(reader, reads);
    ++reads;
    check(reads <= data.size() + 1, "every field read moves on");
  }
  // Past the end every read gives the empty value.
  check(reader.read_int() == 0, "a number past the end is 0");
  check(reader.read_string().empty(), "a string past the end is empty");
}

void read_file_fields(const std::string& bytes) {
  const std::string data = rt::text_mode(bytes);
  check(data.size() <= bytes.size(), "text mode never adds bytes");
  check(data.find('\x1a') == std::string::npos, "text mode ends at the end-of-file byte");

  read_all(data, [](rt::FieldReader& r, std::size_t) { r.read_int(); });
  read_all(data, [](rt::FieldReader& r, std::size_t) {
    check(r.read_string().size() <= kMaxString, "a string field has at most 4096 bytes");
  });
  // Names and points of the high-score file alternate this way.
  read_all(data, [](rt::FieldReader& r, std::size_t n) {
    if (n % 2 == 0) {
      check(r.read_string().size() <= kMaxString, "a string field has at most 4096 bytes");
    } else {
      r.read_int();
    }
  });
}

// Plain decimal digits have an exact value to compare with: clamped to the
// 32-bit range.
void convert_number(std::string_view text) {
  const std::int32_t value = rt::convert_number_field(text);
  if (text.empty() || text.size() > 18) return;
  std::int64_t exact = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return;
    exact = exact * 10 + (c - '0');
  }
  const std::int64_t expected =
      std::min<std::int64_t>(exact, std::numeric_limits<std::int32_t>::max());
  check(value == expected, "plain digits convert to their value, clamped");
}

// The bytes as key codes into the line input: byte 0 followed by a byte b
// is the extended code of scan code b (arrows, Home, End, Delete); every
// other byte is its own code. Enter ends the line.
void typed_line(std::string_view bytes) {
  const rt::testing::TempDir& dir = rt::fuzz::work_dir();
  rt::SimHost host;
  rt::Platform platform(host, dir.path());
  double t = 0.01;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    int code = static_cast<std::uint8_t>(bytes[i]);
    if (code == 0) {
      if (++i >= bytes.size()) break;
      code = rt::extended_code(static_cast<std::uint8_t>(bytes[i]));
    }
    if (code == 13 || code == 10) continue;  // only the last key ends the line
    host.type_code(t, code);
    t += 0.01;
  }
  host.type_code(t, rt::keycode::kEnter);
  host.set_time_limit(t + 10.0);
  platform.locate(20, 35);
  try {
    platform.input_line("Namen bitte eingeben");
    for (int i = 0; i < 4; ++i) {
      check(platform.read_string_field().size() <= kMaxString, "a typed field is bounded");
      platform.read_int_field();
    }
  } catch (const rt::SimStop&) {
    check(false, "the line input ends at Enter");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  read_file_fields(bytes);
  convert_number(std::string_view(bytes).substr(0, 67));
  rt::convert_number_field(bytes);
  // The line input holds what fits on the screen; long inputs only slow the
  // run down without reaching anything new.
  typed_line(std::string_view(bytes).substr(0, 600));
  return 0;
}
