// Shared pieces of the fuzz targets.
#pragma once

// Helpers shared by the fuzz targets: a working folder for the run, a check
// that stops the run on a broken invariant, and a cursor over the input.

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <span>
#include <string>
#include <string_view>
#include <system_error>

namespace rt::fuzz {

// Stops the run with a message: libFuzzer (or the replay program) reports
// the input as a finding.
inline void check(bool ok, const char* what) {
  if (!ok) {
    std::fprintf(stderr, "broken invariant: %s\n", what);
    std::abort();
  }
}

// A folder of this process under the system's temporary directory, made on
// first use and removed when the process ends normally.
class WorkDir {
 public:
  WorkDir()
      : path_(std::filesystem::temp_directory_path() / ("rt-fuzz-" + std::to_string(::getpid()))) {
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_ / "Data");
  }
  ~WorkDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  WorkDir(const WorkDir&) = delete;
  WorkDir& operator=(const WorkDir&) = delete;

  const std::filesystem::path& path() const { return path_; }

  // Replaces the file below the folder with `bytes`.
  void write(const std::string& relative, std::string_view bytes) const {
    std::ofstream out(path_ / relative, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  }
  void remove(const std::string& relative) const {
    std::error_code ec;
    std::filesystem::remove(path_ / relative, ec);
  }

 private:
  std::filesystem::path path_;
};

// The one folder of the process; every input starts by rewriting the files
// it needs, so nothing carries over from one input to the next.
inline const WorkDir& work_dir() {
  static const WorkDir dir;
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
