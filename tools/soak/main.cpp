// rangiertrubel-soak: plays the whole program for hours of virtual time with
// seeded random keys and checks the game's rules all the while.
#include <unistd.h>

#include <charconv>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <iostream>
#include <string>
#include <system_error>
#include <vector>

#include "tools/soak/soak.h"

namespace {

constexpr const char* kUsage =
    "usage: rangiertrubel-soak [--seeds FIRST-LAST | --seed N] [--hours H] [--minutes M]\n"
    "                          [--levels shipped|generated|mixed] [--source DIR] [--dir DIR]\n"
    "  Plays H virtual hours per seed (default 10). With mixed levels (the\n"
    "  default) odd seeds play the shipped levels, even seeds generated ones.\n"
    "  Exit status 0 when every seed passed, 1 on a broken rule (or a work folder\n"
    "  that cannot be made), 2 on bad arguments, 3 when the output cannot be written.\n";

bool parse_u64(const std::string& text, std::uint64_t& value) {
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  return ec == std::errc() && end == text.data() + text.size();
}

bool parse_positive(const std::string& text, double& value) {
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  return ec == std::errc() && end == text.data() + text.size() && value > 0.0 && value < 1e7;
}

}  // namespace

int main(int argc, char** argv) {
  std::uint64_t first = 1;
  std::uint64_t last = 4;
  double seconds = 10.0 * 3600.0;
  std::string levels = "mixed";
  std::filesystem::path source = RT_SOAK_LEVEL_DIR;
  std::filesystem::path dir;

  std::vector<std::string> args(argv + 1, argv + argc);
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (i + 1 >= args.size()) {
      std::cerr << "rangiertrubel-soak: " << arg << " needs a value\n" << kUsage;
      return 2;
    }
    const std::string& value = args[++i];
    bool ok = true;
    if (arg == "--seed") {
      ok = parse_u64(value, first);
      last = first;
    } else if (arg == "--seeds") {
      const auto dash = value.find('-');
      ok = dash != std::string::npos && parse_u64(value.substr(0, dash), first) &&
           parse_u64(value.substr(dash + 1), last) && first <= last && last - first < 1000;
    } else if (arg == "--hours" || arg == "--minutes") {
      ok = parse_positive(value, seconds);
      seconds *= (arg == "--hours") ? 3600.0 : 60.0;
    } else if (arg == "--levels") {
      levels = value;
      ok = levels == "shipped" || levels == "generated" || levels == "mixed";
    } else if (arg == "--source") {
      source = value;
    } else if (arg == "--dir") {
      dir = value;
    } else {
      ok = false;
    }
    if (!ok) {
      std::cerr << "rangiertrubel-soak: bad argument " << arg << " " << value << "\n" << kUsage;
      return 2;
    }
  }

  std::error_code ec;
  if (levels != "generated" && !std::filesystem::is_directory(source, ec)) {
    std::cerr << "rangiertrubel-soak: --source " << source.string() << " is not a folder\n";
    return 2;
  }

  // Without --dir the runs work in a fresh temporary folder, removed after.
  const bool own_dir = dir.empty();
  if (own_dir) {
    dir = std::filesystem::temp_directory_path() /
          ("rangiertrubel-soak-" + std::to_string(::getpid()));
  }

  bool all_ok = true;
  for (std::uint64_t seed = first; seed <= last; ++seed) {
    rt::soak::SoakOptions options;
    options.seed = seed;
    options.virtual_seconds = seconds;
    options.work_dir = dir / ("seed-" + std::to_string(seed));
    options.level_dir = source;
    options.levels = (levels == "generated" || (levels == "mixed" && seed % 2 == 0))
                         ? rt::soak::LevelSet::Generated
                         : rt::soak::LevelSet::Shipped;
    options.real_time_limit = 60.0;

    const auto start = std::chrono::steady_clock::now();
    const rt::soak::SoakReport report = rt::soak::run_soak(options);
    const double real =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::cout << "seed " << seed << " ("
              << (options.levels == rt::soak::LevelSet::Generated ? "generated" : "shipped")
              << " levels, " << static_cast<int>(real) << " s real): " << rt::soak::describe(report)
              << std::endl;
    all_ok = all_ok && report.ok;
  }

  if (own_dir) std::filesystem::remove_all(dir, ec);
  std::cout.flush();
  if (!std::cout) {
    std::cerr << "rangiertrubel-soak: cannot write the output\n";
    return 3;
  }
  return all_ok ? 0 : 1;
}
