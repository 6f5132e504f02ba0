// The level tool's commands for a player's track: a level file as a track
// code and back, and the verdict the editor shows on it.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace rt::level_tool {

// rangiertrubel-levels encode FILE [--speed N]: prints the track code of
// the level file FILE for speed level N (1 to 10, default 1). Returns 0, 1
// when the level cannot be coded (it breaks a track's rules or holds a
// piece the editor lacks), 2 bad arguments, 3 a file that could not be read.
int encode_command(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// rangiertrubel-levels decode CODE --out FILE: writes the track a code
// stands for as a level file, replacing FILE whole, and prints its speed
// level. Returns 0, 1 when the code is refused (the reason on `err`), 2 bad
// arguments, 3 a file that could not be written.
int decode_command(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// rangiertrubel-levels rate FILE [--speed N]: prints the solver's verdict on
// the track in FILE at speed level N (1 to 10, default 1) as the editor
// shows it. Returns 0, 1 when the file breaks a track's rules, 2 bad
// arguments, 3 a file that could not be read.
int rate_command(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace rt::level_tool
