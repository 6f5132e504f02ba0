// The level tool's generate command: the ten levels of a seed written in the
// shipped form, each with its solution script.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace rt::level_tool {

// `generate --seed S [--count N] [--out DIR]`, given the words after
// `generate`: writes lev01.dat to levNN.dat for levels 1 to N (default all
// ten) into DIR (default the current folder), each with levNN.sim, the
// solver's plan as a script for rangiertrubel-sim that starts at that level,
// and prints a table of the levels. Returns the tool's exit status.
int generate_command(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace rt::level_tool
