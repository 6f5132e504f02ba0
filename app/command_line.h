// The desktop program's command line: its options and the usage text.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace rt {

// The desktop program's command line.
struct CommandLine {
  enum class Action { Play, Help, Version, Wrong };
  Action action = Action::Play;
  std::optional<bool> fullscreen;  // unset: the default (full screen)
  bool integer_scale = false;
  std::string wrong;  // the option that was not understood
};

// Reads the arguments after the program's name: --fullscreen, --windowed,
// --integer-scale, --help (or -h), --version. The last of --fullscreen and
// --windowed counts; --help and --version win over playing; anything else
// makes the line wrong.
CommandLine parse_command_line(std::span<const std::string_view> args);

// The usage and the keys, in English, for --help and (on standard error)
// for a wrong command line.
std::string usage_text(std::string_view program);

}  // namespace rt
