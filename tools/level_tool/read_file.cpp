// Reading the level tool's input files, bounded as the game's own reads.
#include "tools/level_tool/read_file.h"

#include <ostream>
#include <string>
#include <utility>

#include "platform/os/bounded_read.h"

namespace rt::level_tool {

bool read_file(const std::string& path, std::string& bytes, std::ostream& err) {
  FileBytes read = read_bounded_file(path, kMaxTextFileBytes);
  if (!read.ok()) {
    err << "rangiertrubel-levels: " << path << " " << read.reason() << "\n";
    return false;
  }
  bytes = std::move(read.bytes);
  return true;
}

}  // namespace rt::level_tool
