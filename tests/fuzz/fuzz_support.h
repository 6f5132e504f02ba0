// Shared pieces of the fuzz targets.
#pragma once

// Helpers shared by the fuzz targets: a working folder for the run, a check
// that stops the run on a broken invariant, and a cursor over the input.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <span>
#include <string>

#include "tests/support/temp_dir.h"

namespace rt::fuzz {

// Stops the run with a message: libFuzzer (or the replay program) reports
// the input as a finding.
inline void check(bool ok, const char* what) {
  if (!ok) {
    std::fprintf(stderr, "broken invariant: %s\n", what);
    std::abort();
  }
}

// The one folder of the process, with its Data folder; every input starts
// by rewriting the files it needs, so nothing carries over from one input to
// the next.
inline const testing::TempDir& work_dir() {
  static const testing::TempDir dir;
  static const bool data = std::filesystem::create_directories(dir.path() / "Data");
  (void)data;
  return dir;
}

// Takes bytes from the front of the input; 0 once it is used up.
class Input {
 public:
  Input(const std::uint8_t* data, std::size_t size) : bytes_(data, size) {}

  std::uint8_t byte() {
    if (pos_ >= bytes_.size()) return 0;
    return bytes_[pos_++];
  }
  std::uint32_t u32() {
    std::uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v |= static_cast<std::uint32_t>(byte()) << (8 * i);
    return v;
  }
  // The last `n` bytes (fewer when the input is shorter), taken off the end.
  std::string take_back(std::size_t n) {
    n = std::min(n, remaining());
    const auto tail = bytes_.subspan(bytes_.size() - n);
    bytes_ = bytes_.first(bytes_.size() - n);
    return std::string(tail.begin(), tail.end());
  }
  // Everything not taken yet.
  std::string rest() {
    const auto tail = bytes_.subspan(std::min(pos_, bytes_.size()));
    pos_ = bytes_.size();
    return std::string(tail.begin(), tail.end());
  }
  std::size_t remaining() const { return pos_ < bytes_.size() ? bytes_.size() - pos_ : 0; }

 private:
  std::span<const std::uint8_t> bytes_;
  std::size_t pos_ = 0;
};

}  // namespace rt::fuzz
