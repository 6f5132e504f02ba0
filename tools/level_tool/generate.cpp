// Generating a seed's levels into a folder: the arguments, the files and the
// table of what was made.
#include "tools/level_tool/generate.h"

#include <charconv>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <ostream>

#include "game/level_file.h"
#include "levels/generator.h"
#include "levels/seed.h"
#include "tools/level_tool/exit_status.h"
#include "tools/level_tool/plan_script.h"

namespace rt::level_tool {
namespace {

struct Options {
  std::uint32_t seed = 0;
  int count = kLevelCount;
  std::filesystem::path out = ".";
};

// A whole number from `low` to `high` written in decimal digits alone.
template <typename Number>
std::optional<Number> number_in(const std::string& text, Number low, Number high) {
  Number value{};
  const char* end = text.data() + text.size();
  if (text.empty() || text[0] == '+' || text[0] == '-') return std::nullopt;
  const auto [rest, error] = std::from_chars(text.data(), end, value);
  if (error != std::errc() || rest != end || value < low || value > high) return std::nullopt;
  return value;
}

std::optional<Options> read_options(const std::vector<std::string>& args, std::ostream& err) {
  Options options;
  bool seeded = false;
  for (std::size_t i = 0; i < args.size(); i += 2) {
    const std::string& name = args[i];
    if (i + 1 >= args.size()) {
      err << "rangiertrubel-levels: generate: " << name << " needs a value\n";
      return std::nullopt;
    }
    const std::string& value = args[i + 1];
    if (name == "--seed") {
      const auto seed = parse_seed(value);
      if (!seed) {
        err << "rangiertrubel-levels: generate: the seed is a number from 0 to 4294967295 or a "
               "word of up to 32 letters and digits\n";
        return std::nullopt;
      }
      options.seed = *seed;
      seeded = true;
    } else if (name == "--count") {
      const auto count = number_in<int>(value, 1, kLevelCount);
      if (!count) {
        err << "rangiertrubel-levels: generate: --count is a number from 1 to " << kLevelCount
            << "\n";
        return std::nullopt;
      }
      options.count = *count;
    } else if (name == "--out") {
      options.out = value;
    } else {
      err << "rangiertrubel-levels: generate: unknown option " << name << "\n";
      return std::nullopt;
    }
  }
  if (!seeded) {
    err << "rangiertrubel-levels: generate: --seed S is needed\n";
    return std::nullopt;
  }
  return options;
}

bool write_file(const std::filesystem::path& path, const std::string& text, std::ostream& err) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file << text;
  file.close();
  if (!file) err << "rangiertrubel-levels: cannot write " << path.string() << "\n";
  return static_cast<bool>(file);
}

}  // namespace

int generate_command(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  const auto options = read_options(args, err);
  if (!options) return kUsageStatus;
  std::error_code ec;
  if (!std::filesystem::is_directory(options->out, ec)) {
    err << "rangiertrubel-levels: " << options->out.string() << " is not a folder\n";
    return kFileStatus;
  }
  out << "| level | seconds per step | slides | steps | seconds to spare |\n"
         "|---|---|---|---|---|\n";
  for (int k = 1; k <= options->count; ++k) {
    const GeneratedLevel made = generate_proven_level(options->seed, k);
    char name[16];
    std::snprintf(name, sizeof name, "lev%02d", k);
    const std::string base = name;
    if (!write_file(options->out / (base + ".dat"), level_file_text(made.level), err)) {
      return kFileStatus;
    }
    const std::string title = "Plays level " + std::to_string(k) + " of seed " +
                              std::to_string(options->seed) + " (rangiertrubel-sim --level " +
                              std::to_string(k) + ") and wins it with " +
                              std::to_string(made.plan.slides.size()) + " slides.";
    const ScriptResult written =
        write_plan_script(made.level, k, made.plan, options->out / (base + ".sim"), title);
    if (written.status != 0) {
      err << "rangiertrubel-levels: " << base << ": " << written.why << "\n";
      return kFileStatus;
    }
    // A level that missed its target says so.
    const std::string off =
        made.on_target ? "" : " (aimed at " + std::to_string(target_slides(k)) + ")";
    char row[160];
    std::snprintf(row, sizeof row, "| %d | %.2f | %zu%s | %d | %.1f |\n", k,
                  static_cast<double>(interval_of_level(k)), made.plan.slides.size(), off.c_str(),
                  made.plan.steps_to_station, made.plan.seconds_to_spare);
    out << row;
  }
  return 0;
}

}  // namespace rt::level_tool
