// The game's numbered text files: opened by number, read field by field, and
// the typed line read the same way. They touch neither the screen nor the
// keys, so they need none of the platform's lock.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

#include "platform/formats/field_reader.h"

namespace rt {

// How a numbered file is opened: the game only reads its files that way.
enum class FileMode { Input };

class NumberedFiles {
 public:
  // Reports a file that is there but cannot be used (not a regular file, too
  // big, unreadable), with the reason.
  using Report = std::function<void(const std::filesystem::path&, std::string_view)>;

  // 0 when `file` is open as `file_number` (1..254); 1 for a number out of
  // range or already open; 2 when the file cannot be read, which counts as
  // missing (and is reported unless it is simply not there).
  int open(const std::filesystem::path& file, FileMode mode, int file_number, const Report& report);
  // 0, or 1 for a number out of range or not open. The unread rest goes.
  int close(int file_number);
  // Later fields come from that open file.
  void begin_read(int file_number);
  // Later fields come from this line the player typed.
  void read_typed_line(std::string line);
  // The next field of the current source; 0 or "" when there is none.
  std::int32_t read_int();
  std::string read_string();

 private:
  // The open file `n`, or null.
  FieldReader* open_reader(int n);

  struct Slot {
    bool open = false;
    FieldReader reader;  // the file's data in text mode
  };
  std::array<Slot, 255> slots_{};
  // The field source: a file number, or the last typed line when 0.
  int source_ = 0;
  FieldReader typed_line_;
};

}  // namespace rt
