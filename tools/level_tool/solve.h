// The level tool's solve command: a level's fewest slides at its speed.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace rt::level_tool {

// rangiertrubel-levels solve FILE [--level N | --interval SECONDS]
// [--script OUT]; `args` holds what follows "solve". Returns the exit
// status: 0 a plan, 1 no plan, 2 bad arguments, 3 a file that could not be
// read or written.
int solve_command(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace rt::level_tool
