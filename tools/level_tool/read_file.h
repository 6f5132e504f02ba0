// How the level tool reads the files it is given.
#pragma once

#include <iosfwd>
#include <string>

namespace rt::level_tool {

// Reads a level or plans file, as the game reads its files: regular files
// only, at most 1 MiB. An error names the file on `err`.
bool read_file(const std::string& path, std::string& bytes, std::ostream& err);

}  // namespace rt::level_tool
