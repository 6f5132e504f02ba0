// Numbered text files read field by field, and the typed line as a source.
#include "platform/numbered_files.h"

#include <utility>

#include "platform/os/bounded_read.h"

namespace rt {
namespace {

constexpr int kFirstFileNumber = 1;
constexpr int kLastFileNumber = 254;

bool valid_file_number(int n) {
  return n >= kFirstFileNumber && n <= kLastFileNumber;
}

}  // namespace

int NumberedFiles::open(const std::filesystem::path& file, FileMode /*mode*/, int file_number,
                        const Report& report) {
  if (!valid_file_number(file_number)) return 1;
  Slot& slot = slots_[static_cast<std::size_t>(file_number)];
  if (slot.open) return 1;
  // A file that is not a regular file, or too big, counts as missing.
  const FileBytes read = read_bounded_file(file, kMaxTextFileBytes);
  if (!read.ok()) {
    if (read.status != FileBytes::Status::Missing && report) report(file, read.reason());
    return 2;
  }
  slot.reader = FieldReader(text_mode(read.bytes));
  slot.open = true;
  return 0;
}

int NumberedFiles::close(int file_number) {
  if (open_reader(file_number) == nullptr) return 1;
  // The unread rest of the data goes: a closed file gives only empty fields.
  slots_[static_cast<std::size_t>(file_number)] = Slot{};
  return 0;
}

void NumberedFiles::begin_read(int file_number) {
  if (open_reader(file_number) == nullptr) return;
  source_ = file_number;
  typed_line_ = FieldReader();
}

void NumberedFiles::read_typed_line(std::string line) {
  typed_line_ = FieldReader(std::move(line));
  source_ = 0;
}

std::int32_t NumberedFiles::read_int() {
  if (source_ == 0) return typed_line_.read_int();
  FieldReader* reader = open_reader(source_);
  return reader != nullptr ? reader->read_int() : 0;
}

std::string NumberedFiles::read_string() {
  if (source_ == 0) return typed_line_.read_string();
  FieldReader* reader = open_reader(source_);
  return reader != nullptr ? reader->read_string() : std::string();
}

FieldReader* NumberedFiles::open_reader(int n) {
  if (!valid_file_number(n)) return nullptr;
  Slot& slot = slots_[static_cast<std::size_t>(n)];
  return slot.open ? &slot.reader : nullptr;
}

}  // namespace rt
