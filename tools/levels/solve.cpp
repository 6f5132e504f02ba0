// The solve command: reads a level, finds its fewest slides at the speed of
// a level number or a given interval, prints the plan and may record it as
// a runner script.
#include "tools/levels/solve.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>
#include <system_error>

#include "game/level_file.h"
#include "levels/solver.h"
#include "platform/os/bounded_read.h"
#include "tools/levels/record.h"

namespace rt::levels {
namespace {

constexpr int kNoPlanStatus = 1;
constexpr int kUsageStatus = 2;
constexpr int kFileStatus = 3;
// Beyond this the level counter and the speed-up have long stopped changing.
constexpr int kLastLevelNumber = 1000;

int usage(const std::string& why) {
  std::cerr << "rangiertrubel-levels: " << why
            << "\nusage: rangiertrubel-levels solve FILE [--level N | --interval SECONDS] "
               "[--script OUT]\n";
  return kUsageStatus;
}

std::optional<double> number(const std::string& text) {
  double value = 0.0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size() || !std::isfinite(value)) {
    return std::nullopt;
  }
  return value;
}

const char* slide_name(Slide s) {
  switch (s) {
    case Slide::Up:
      return "Up";
    case Slide::Down:
      return "Down";
    case Slide::Left:
      return "Left";
    case Slide::Right:
      return "Right";
  }
  return "?";
}

void print_plan(const std::string& file, float interval, const rt::Plan& plan) {
  char line[200];
  std::snprintf(line, sizeof line, "%s: %zu slides at %.2f seconds per step (%d looks per step)\n",
                file.c_str(), plan.slides.size(), static_cast<double>(interval),
                timing_for(interval).looks);
  std::cout << line;
  int n = 0;
  for (const PlannedSlide& s : plan.slides) {
    std::snprintf(line, sizeof line, "  %2d. %-5s after step %d, at the latest after step %d\n",
                  ++n, slide_name(s.slide), s.earliest_step, s.latest_step);
    std::cout << line;
  }
  std::cout << "steps to the station: " << plan.steps_to_station << "\n";
  if (plan.slides.empty()) {
    std::cout << "seconds to spare: none needed, the level is won without a slide\n";
    return;
  }
  const PlannedSlide& last = plan.slides.back();
  std::snprintf(line, sizeof line,
                "seconds to spare: %.1f (the last slide may wait from step %d until just before "
                "step %d)\n",
                plan.seconds_to_spare, last.earliest_step, last.latest_step + 1);
  std::cout << line;
}

// A fresh folder for a recording, removed with everything in it.
class ScratchFolder {
 public:
  ScratchFolder() {
    std::error_code ec;
    const std::filesystem::path base = std::filesystem::temp_directory_path(ec);
    for (int n = 0; n < 1000 && !ec; ++n) {
      const auto candidate = base / ("rangiertrubel-solve-" + std::to_string(n));
      if (std::filesystem::create_directory(candidate, ec)) {
        path_ = candidate;
        return;
      }
    }
  }
  ~ScratchFolder() {
    std::error_code ec;
    if (!path_.empty()) std::filesystem::remove_all(path_, ec);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

// Plays the plan through the program on the simulated host, the level file
// standing in for level `number`'s, and writes the key presses as a script
// for rangiertrubel-sim --level `number`.
int write_plan_script(const std::string& out, const std::string& level_bytes, int number,
                      const rt::Plan& plan) {
  ScratchFolder scratch;
  std::error_code ec;
  if (scratch.path().empty() || !std::filesystem::create_directory(scratch.path() / "Data", ec)) {
    std::cerr << "rangiertrubel-levels: cannot make a folder to record the plan in\n";
    return kFileStatus;
  }
  const char* name = kLevelNames[static_cast<std::size_t>(level_counter_of(number) - 1)];
  std::ofstream level_file(scratch.path() / "Data" / (std::string(name) + ".dat"),
                           std::ios::binary);
  level_file << level_bytes;
  level_file.close();
  if (!level_file) {
    std::cerr << "rangiertrubel-levels: cannot write the level to record the plan\n";
    return kFileStatus;
  }
  std::vector<std::string> words;
  for (const PlannedSlide& s : plan.slides) {
    words.push_back(std::string(slide_name(s.slide)) + "@" + std::to_string(s.earliest_step));
  }
  const Recording rec = record_solutions(scratch.path(), {words}, number);
  if (!rec.error.empty()) {
    std::cerr << "rangiertrubel-levels: the plan did not win in the program: " << rec.error << "\n";
    return kNoPlanStatus;
  }
  const std::string title = "Plays level " + std::to_string(number) +
                            " (rangiertrubel-sim --level " + std::to_string(number) +
                            ") and wins it with " + std::to_string(plan.slides.size()) +
                            " slides, three locomotives left.";
  if (!write_script(out, title, script_until_won(rec, 0))) {
    std::cerr << "rangiertrubel-levels: cannot write " << out << "\n";
    return kFileStatus;
  }
  return 0;
}

}  // namespace

int solve_command(const std::vector<std::string>& args) {
  std::string file;
  std::string script;
  std::optional<int> level_number;
  std::optional<double> interval_seconds;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    const bool has_value = i + 1 < args.size();
    if (arg == "--level" && has_value) {
      const auto n = number(args[++i]);
      if (!n || *n != std::floor(*n) || *n < 1 || *n > kLastLevelNumber || level_number) {
        return usage("bad --level \"" + args[i] + "\"");
      }
      level_number = static_cast<int>(*n);
    } else if (arg == "--interval" && has_value) {
      const auto s = number(args[++i]);
      if (!s || !(*s > 0.0) || *s > 1000.0 || interval_seconds) {
        return usage("bad --interval \"" + args[i] + "\"");
      }
      interval_seconds = *s;
    } else if (arg == "--script" && has_value && script.empty()) {
      script = args[++i];
    } else if (!arg.empty() && arg[0] != '-' && file.empty()) {
      file = arg;
    } else {
      return usage("unexpected \"" + arg + "\"");
    }
  }
  if (file.empty()) return usage("no level file");
  if (level_number && interval_seconds) return usage("--level and --interval together");
  if (interval_seconds && !script.empty()) {
    return usage("--script plays the level at its level's speed: give --level, not --interval");
  }
  const float interval = interval_seconds ? static_cast<float>(*interval_seconds)
                                          : interval_of_level(level_number.value_or(1));

  FileBytes read = read_bounded_file(file, kMaxTextFileBytes);
  if (!read.ok()) {
    std::cerr << "rangiertrubel-levels: " << file << " " << read.reason() << "\n";
    return kFileStatus;
  }
  const Level level = read_level(read.bytes);
  const SolveResult result = solve_level(level, interval);
  if (!result.plan) {
    char line[200];
    if (result.why == NoPlanReason::CannotBeSaved) {
      std::snprintf(line, sizeof line,
                    "%s: no plan: the locomotive cannot be saved at %.2f seconds per step\n",
                    file.c_str(), static_cast<double>(interval));
    } else {
      std::snprintf(line, sizeof line,
                    "%s: no plan: the search bound was reached (%d slides, %llu states)\n",
                    file.c_str(), result.bound, static_cast<unsigned long long>(result.nodes));
    }
    std::cout << line;
    return kNoPlanStatus;
  }
  print_plan(file, interval, *result.plan);
  if (script.empty()) return 0;
  return write_plan_script(script, read.bytes, level_number.value_or(1), *result.plan);
}

}  // namespace rt::levels
