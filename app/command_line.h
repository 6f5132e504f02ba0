// The desktop program's command line: its options and the usage text.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "levels/track_code.h"

namespace rt {

// The desktop program's command line.
struct CommandLine {
  enum class Action { Play, Help, Version, Wrong };
  Action action = Action::Play;
  std::optional<bool> fullscreen;  // unset: the default (full screen)
  bool integer_scale = false;
  // --seed: the levels generated from this seed instead of the shipped
  // ones; `random_seed` asks for a seed chosen at random.
  std::optional<std::uint32_t> seed;
  bool random_seed = false;
  // --seed heute: the track of the day, the seed of today's UTC date.
  bool day_seed = false;
  // --track CODE: a player's track, read from its code (already checked).
  std::optional<DecodedTrack> track;
  // --level N: every game starts on level N (1 to 10), as if the levels
  // before it had been won; for tests and the benchmark.
  std::optional<int> first_level;
  // --edit [FILE]: the editor instead of the game, on FILE when given.
  bool edit = false;
  std::optional<std::string> edit_file;
  std::string wrong;  // the option that was not understood
  // Why a --track code was refused (German, for the player); empty otherwise.
  std::string track_refused;
  // Why the line is wrong, for the message: the option is unknown (empty),
  // or what is wrong with its value.
  std::string wrong_because;
};

// Reads the arguments after the program's name: --fullscreen, --windowed,
// --integer-scale, --seed S (a seed as parse_seed reads it, or "random"),
// --track CODE, --edit [FILE] (a file unless the next argument is an option),
// --help (or -h), --version. The last of --fullscreen and --windowed
// counts, as does the last --seed; --help and --version win over playing;
// anything else, a --seed without a value or with one that is no seed,
// makes the line wrong.
CommandLine parse_command_line(std::span<const std::string_view> args);

// The usage and the keys, in English, for --help and (on standard error)
// for a wrong command line.
std::string usage_text(std::string_view program);

// Writes the answer to --help or --version to `out` and flushes it: 0 when
// it was written; 1, with a message on `err`, when the output could not take
// it (a full disk, a closed pipe), so that a failed write is never reported
// as success.
int write_answer(std::ostream& out, std::ostream& err, std::string_view text);

}  // namespace rt
