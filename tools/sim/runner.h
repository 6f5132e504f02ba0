// The scripted runner, as a library for rangiertrubel-sim and the tests.
#pragma once

#include <cstddef>
#include <filesystem>
#include <iosfwd>
#include <string>
#include <vector>

#include "tools/sim/script.h"

namespace rt {
class Program;
}

namespace rt::sim {

// Exit status of a run stopped by `end` or by the time limit.
inline constexpr int kStoppedStatus = 3;
// Exit status for a malformed script or bad arguments (a script or a --dir
// that cannot be read included).
inline constexpr int kUsageStatus = 2;
// Exit status when the output could not be written (standard output closed
// or full).
inline constexpr int kOutputStatus = 4;
// The largest script read.
inline constexpr std::size_t kMaxScriptBytes = std::size_t{16} << 20;

struct RunOptions {
  // The run's working directory, holding Data, Sprites and Waves.
  std::filesystem::path dir = ".";
  // The run stops when the virtual clock passes this many seconds.
  double until = 3600.0;
  // The level a game starts on, its speed as if the levels before it were won.
  int first_level = 1;
  // The track editor instead of the game.
  bool edit = false;
};

// Runs the whole program on the simulated host from its start-up on, doing
// the commands at their virtual times. Writes one JSON line per state, sound
// and the program's end to `out`; problems with shot files go to `err`.
// Returns the program's exit status, or kStoppedStatus.
int run_script(const std::vector<Command>& commands, const RunOptions& options, std::ostream& out,
               std::ostream& err);

// JSON pieces, exposed for the tests.
// Seconds with six decimals.
std::string format_time(double seconds);
// The shortest text that reads back as the same double.
std::string format_double(double value);
// A JSON string literal for code page 437 bytes, converted to UTF-8.
std::string json_string_from_cp437(const std::string& bytes);
// The `state` line of a running program at virtual time `t`.
std::string state_json(double t, const Program& program);

// The command line: [--dir DIR] [--until SECONDS] [--level N] [--edit]
// SCRIPT... ('-' for standard input, once). Several scripts run one after
// another with the same options, each from the program's start; the exit
// status is the last one's.
int runner_main(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
                std::ostream& err);

}  // namespace rt::sim
