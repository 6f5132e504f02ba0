// The solve command: reads a level, finds its fewest slides at the speed of
// a level number or a given interval, prints the plan and may record it as
// a runner script.
#include "tools/level_tool/solve.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <optional>
#include <ostream>

#include "game/level_file.h"
#include "levels/solver.h"
#include "tools/level_tool/exit_status.h"
#include "tools/level_tool/plan_script.h"
#include "tools/level_tool/read_file.h"
#include "tools/level_tool/record.h"

namespace rt::level_tool {
namespace {

// Beyond this the level counter and the speed-up have long stopped changing.
constexpr int kLastLevelNumber = 1000;

int usage(std::ostream& err, const std::string& why) {
  err << "rangiertrubel-levels: " << why
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

void print_plan(std::ostream& out, const std::string& file, float interval, const Plan& plan) {
  char line[200];
  std::snprintf(line, sizeof line, "%s: %zu slides at %.2f seconds per step (%d polls per step)\n",
                file.c_str(), plan.slides.size(), static_cast<double>(interval),
                timing_for(interval).polls);
  out << line;
  int n = 0;
  for (const PlannedSlide& s : plan.slides) {
    std::snprintf(line, sizeof line, "  %2d. %-5s after step %d, at the latest after step %d\n",
                  ++n, slide_key(s.slide).c_str(), s.earliest_step, s.latest_step);
    out << line;
  }
  out << "steps to the station: " << plan.steps_to_station << "\n";
  if (plan.slides.empty()) {
    out << "seconds to spare: none needed, the level is won without a slide\n";
    return;
  }
  const PlannedSlide& last = plan.slides.back();
  std::snprintf(line, sizeof line,
                "seconds to spare: %.1f (the last slide may wait from step %d until just before "
                "step %d)\n",
                plan.seconds_to_spare, last.earliest_step, last.latest_step + 1);
  out << line;
}

}  // namespace

int solve_command(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
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
        return usage(err, "bad --level \"" + args[i] + "\"");
      }
      level_number = static_cast<int>(*n);
    } else if (arg == "--interval" && has_value) {
      const auto s = number(args[++i]);
      if (!s || !(*s > 0.0) || *s > 1000.0 || interval_seconds) {
        return usage(err, "bad --interval \"" + args[i] + "\"");
      }
      interval_seconds = *s;
    } else if (arg == "--script" && has_value && script.empty()) {
      script = args[++i];
    } else if (!arg.empty() && arg[0] != '-' && file.empty()) {
      file = arg;
    } else {
      return usage(err, "unexpected \"" + arg + "\"");
    }
  }
  if (file.empty()) return usage(err, "no level file");
  if (level_number && interval_seconds) return usage(err, "--level and --interval together");
  if (interval_seconds && !script.empty()) {
    return usage(err,
                 "--script plays the level at its level's speed: give --level, not --interval");
  }
  const float interval = interval_seconds ? static_cast<float>(*interval_seconds)
                                          : interval_of_level(level_number.value_or(1));

  std::string bytes;
  if (!read_file(file, bytes, err)) return kFileStatus;
  const Level level = read_level(bytes);
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
    out << line;
    return kFaultsStatus;
  }
  print_plan(out, file, interval, *result.plan);
  if (script.empty()) return 0;
  const int number = level_number.value_or(1);
  const std::string title = "Plays level " + std::to_string(number) +
                            " (rangiertrubel-sim --level " + std::to_string(number) +
                            ") and wins it with " + std::to_string(result.plan->slides.size()) +
                            " slides, three locomotives left.";
  const ScriptResult written = write_plan_script(level, number, *result.plan, script, title);
  if (written.status != 0) err << "rangiertrubel-levels: " << written.why << "\n";
  return written.status;
}

}  // namespace rt::level_tool
