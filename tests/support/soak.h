// Helpers for the reliability tests.
#pragma once

// Helpers for the whole-program reliability tests: level and list files
// written by the test, and runs of the complete program through the runner.

#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "frontend/frontend.h"
#include "tests/support/sim_fixture.h"
#include "tools/sim/runner.h"

namespace rt::testing {

// A list file as the game writes it: the name in quotes, then the points,
// every line ending in CR LF.
inline std::string list_bytes(const HighScoreTable& list) {
  std::string bytes;
  for (const HighScoreEntry& entry : list) {
    bytes += "\"" + entry.name + "\"\r\n" + std::to_string(entry.points) + "\r\n";
  }
  return bytes;
}

// Ten entries named `prefix`1..10 with points falling by 10 from `top`.
inline HighScoreTable make_list(const std::string& prefix, int top) {
  HighScoreTable list;
  for (int i = 0; i < 10; ++i) {
    list[static_cast<std::size_t>(i)] = {prefix + std::to_string(i + 1), top - 10 * i};
  }
  return list;
}

// A level with straight rails along the top row, the station far from them
// and the hole in the bottom-right corner: the locomotive runs right until
// it falls off the field.
inline std::string rail_level_text() {
  std::string file;
  for (int x = 1; x <= 20; ++x) {
    for (int y = 1; y <= 14; ++y) {
      const int code = (y == 1) ? 10 : (x == 10 && y == 10) ? 30 : (x == 20 && y == 14) ? 0 : 1;
      file += std::to_string(code) + (y == 14 ? "\r\n" : ",");
    }
  }
  return file + "20\r\n14\r\n";
}

inline void write_levels(const TempDir& dir, const std::string& text) {
  for (int n = 1; n <= 10; ++n) {
    char name[32];
    std::snprintf(name, sizeof name, "Data/lev%02d.dat", n);
    dir.write(name, text);
  }
}

struct ProgramRun {
  int status = -1;
  std::string out;  // the runner's JSON lines
  std::string err;
};

// Runs the whole program in `dir` from a runner script.
inline ProgramRun run_program(const std::filesystem::path& dir, const std::string& script,
                              double until = 120.0) {
  std::istringstream in(script);
  std::ostringstream out;
  std::ostringstream err;
  ProgramRun run;
  run.status = sim::runner_main({"--dir", dir.string(), "--until", std::to_string(until), "-"}, in,
                                out, err);
  run.out = out.str();
  run.err = err.str();
  return run;
}

// A whole game on the rail level: started from the menu, three locomotives,
// each sped up and then given up with Escape, so that the score earns a place
// on the list; the name "Anna" entered; then "SPIEL BEENDEN". A `state` line
// at 25 s shows the menu with the list in memory.
inline constexpr const char* kGameWithNameScript =
    "0.5 tap Enter\n"
    "4.0 tap X\n"
    "4.3 press Space\n"
    "4.6 release Space\n"
    "6.0 press Esc\n"
    "6.3 release Esc\n"
    "12.0 tap X\n"
    "12.5 press Esc\n"
    "12.8 release Esc\n"
    "18.5 tap X\n"
    "19.0 press Esc\n"
    "19.3 release Esc\n"
    "22.0 type Anna\n"
    "23.0 tap Enter\n"
    "25.0 state\n"
    "26.0 tap Down\n"
    "27.0 tap Enter\n";

// A short game: started, a few slides, the three locomotives given up with
// Escape, then "SPIEL BEENDEN". Should a list with negative points have asked
// for a name, the first Down and Enter end that entry and the second pair
// leaves through the menu.
inline constexpr const char* kShortGameScript =
    "0.5 tap Enter\n"
    "4.0 tap X\n"
    "4.3 press Up\n"
    "4.5 release Up\n"
    "4.7 press Left\n"
    "4.9 release Left\n"
    "5.6 state\n"
    "6.0 press Esc\n"
    "6.3 release Esc\n"
    "12.0 tap X\n"
    "12.5 press Esc\n"
    "12.8 release Esc\n"
    "18.5 tap X\n"
    "19.0 press Esc\n"
    "19.3 release Esc\n"
    "24.0 state\n"
    "25.0 tap Down\n"
    "26.0 tap Enter\n"
    "30.0 tap Down\n"
    "31.0 tap Enter\n";

}  // namespace rt::testing
