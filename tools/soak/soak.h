// The random-play soak: the whole program played at random on the simulated
// host for a long virtual time, its state checked throughout.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

namespace rt::soak {

// Where the levels of a soak come from.
enum class LevelSet {
  Shipped,    // the ten level files of the game, copied into the work folder
  Generated,  // ten seeded levels with a short track to the station, so that
              // levels are won, the counter wraps and the speed keeps rising
};

struct SoakOptions {
  std::uint64_t seed = 1;
  // Virtual seconds to play, counted over every program run.
  double virtual_seconds = 600.0;
  // The run's working folder; its Data folder is filled with the levels and
  // any old high-score file there is removed first.
  std::filesystem::path work_dir;
  // Folder with lev01.dat .. lev10.dat (for LevelSet::Shipped).
  std::filesystem::path level_dir;
  LevelSet levels = LevelSet::Shipped;
  // Longest virtual time a running game may go without a keyboard poll,
  // counted from the last poll or from the start of a level (after a loss or
  // a win), whichever came later: an explosion, the level intro and the wait
  // for a key, which the random player ends within a few seconds.
  double poll_gap_limit = 10.0;
  // Longest virtual time the menu or the name entry may last while keys keep
  // coming.
  double menu_limit = 120.0;
  // Real seconds without any progress of the virtual clock after which the
  // process is aborted as hung (0: no watchdog).
  double real_time_limit = 0.0;
};

struct SoakReport {
  bool ok = true;
  std::string failure;  // the first broken rule, with seed and virtual time
  double virtual_seconds = 0.0;
  std::int64_t runs = 0;        // programs started
  std::int64_t games = 0;       // games started
  std::int64_t polls = 0;       // keyboard polls of the game
  std::int64_t checks = 0;      // full checks of the board
  std::int64_t levels_won = 0;  // level counter moved on within a game
  std::int64_t locos_lost = 0;
  std::int64_t names_entered = 0;
  std::int64_t level_wraps = 0;  // back from level 10 to 1 within a game
  std::int32_t best_score = 0;
  // Within a running game, virtual seconds between two polls, or from the
  // start of a level to its first poll.
  double longest_poll_gap = 0.0;
};

// Plays the whole program with seeded random keys for the given virtual
// time, starting it again whenever it ends. Never throws.
SoakReport run_soak(const SoakOptions& options);

// One line of figures for a report.
std::string describe(const SoakReport& report);

}  // namespace rt::soak
