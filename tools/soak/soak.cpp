// The random-play soak: the whole program on the simulated host, started
// again whenever it ends, driven by the random player and watched by the
// checker, and its figures in one line.

#include "tools/soak/soak.h"

#include <array>
#include <atomic>
#include <exception>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <utility>

#include "app/program.h"
#include "app/sim_run.h"
#include "platform/platform.h"
#include "tools/soak/checker.h"
#include "tools/soak/player.h"
#include "tools/soak/soak_host.h"
#include "tools/soak/soak_levels.h"
#include "tools/soak/watchdog.h"

namespace rt::soak {

namespace {

void write_bytes(const std::filesystem::path& file, const std::string& bytes) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string level_file_name(int number) {
  return std::string(kLevelNames[static_cast<std::size_t>(number - 1)]) + ".dat";
}

}  // namespace

SoakReport run_soak(const SoakOptions& options) {
  // The work folder: the levels, and no list left from an earlier soak.
  std::array<LevelContents, 10> levels;
  try {
    const std::filesystem::path data = options.work_dir / "Data";
    std::filesystem::create_directories(data);
    std::filesystem::remove(data / "High.dat");
    std::filesystem::remove(data / "High.dat.tmp");
    for (int n = 1; n <= kLevelCount; ++n) {
      const std::filesystem::path target = data / level_file_name(n);
      if (options.levels == LevelSet::Generated) {
        write_bytes(target, generated_level(options.seed, n));
      } else {
        std::filesystem::copy_file(options.level_dir / level_file_name(n), target,
                                   std::filesystem::copy_options::overwrite_existing);
      }
      levels[static_cast<std::size_t>(n - 1)] = level_contents(target);
    }
  } catch (const std::exception& e) {
    SoakReport report;
    report.ok = false;
    report.failure = std::string("cannot prepare the work folder: ") + e.what();
    return report;
  }

  Checker checker(std::move(levels), options);
  SoakReport& report = checker.report();
  std::mt19937_64 rng(options.seed);
  std::atomic<std::int64_t> beat{0};
  RealTimeWatchdog watchdog(options.real_time_limit, beat);
  HighScoreTable kept{};  // what the file must hold: nothing yet

  try {
    bool done = false;
    while (!done && report.virtual_seconds < options.virtual_seconds) {
      SoakHost host;
      host.set_time_limit(options.virtual_seconds - report.virtual_seconds);
      Platform platform(host, options.work_dir);
      Program program(platform);
      checker.start_run(kept);
      host.observer = [&] {
        checker.observe(program, host.now());
        beat.fetch_add(1, std::memory_order_relaxed);
      };
      Player player(host, program, rng);
      player.start(0.2);
      const SimEnd end = run_on_sim(host, program);
      if (end.how == SimEnd::How::Returned) {
        throw SoakFailure{"the program returned without ending"};
      }
      if (end.how == SimEnd::How::Ended) {
        if (end.status != 0) {
          throw SoakFailure{"the program ended with status " + std::to_string(end.status)};
        }
        kept = program.frontend.high_scores;
      } else {
        done = true;  // the soak's time is up
      }
      host.observer = nullptr;
      report.virtual_seconds += host.now();
    }
  } catch (const SoakFailure& failure) {
    report.ok = false;
    report.failure = failure.message;
  } catch (const std::exception& e) {
    report.ok = false;
    report.failure = std::string("unexpected exception: ") + e.what();
  }
  return report;
}

std::string describe(const SoakReport& r) {
  std::ostringstream s;
  s.setf(std::ios::fixed);
  s.precision(2);
  s << (r.ok ? "ok" : "FAILED") << ": " << r.virtual_seconds / 3600.0 << " virtual h, " << r.runs
    << " runs, " << r.games << " games, " << r.polls << " polls, " << r.checks << " checks, "
    << r.levels_won << " levels won (" << r.level_wraps << " wraps), " << r.locos_lost
    << " locomotives lost, " << r.names_entered << " names, best " << r.best_score
    << ", longest poll gap " << r.longest_poll_gap << " s";
  if (!r.ok) s << "\n  " << r.failure;
  return s.str();
}

}  // namespace rt::soak
