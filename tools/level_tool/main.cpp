// rangiertrubel-levels: checks, shows and solves level files.
//
// Exit status: 0 all well; 1 a level file has faults; 2 bad arguments; 3 a
// file or folder could not be read or written (each named on standard error).
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <sstream>
#include <string>
#include <system_error>
#include <vector>

#include "game/level_file.h"
#include "levels/level_check.h"
#include "levels/level_text.h"
#include "tools/level_tool/exit_status.h"
#include "tools/level_tool/generate.h"
#include "tools/level_tool/read_file.h"
#include "tools/level_tool/record.h"
#include "tools/level_tool/solve.h"
#include "tools/level_tool/track_code_command.h"

namespace {

using rt::level_tool::kFaultsStatus;
using rt::level_tool::kFileStatus;
using rt::level_tool::kUsageStatus;
using rt::level_tool::read_file;

constexpr const char* kUsage =
    "usage: rangiertrubel-levels check FILE...\n"
    "       rangiertrubel-levels show FILE\n"
    "       rangiertrubel-levels record DIR PLANS OUTDIR\n"
    "       rangiertrubel-levels solve FILE [--level N | --interval SECONDS] "
    "[--script OUT]\n"
    "       rangiertrubel-levels generate --seed S [--count N] [--out DIR]\n"
    "       rangiertrubel-levels encode FILE [--speed N]\n"
    "       rangiertrubel-levels decode CODE --out FILE\n"
    "       rangiertrubel-levels rate FILE [--speed N]\n"
    "       rangiertrubel-levels --help | --version\n";

int usage() {
  std::cerr << kUsage;
  return kUsageStatus;
}

// The status after the output has been written: a standard output that
// could not take it is an error too.
int finish(int status) {
  std::cout.flush();
  if (!std::cout) {
    std::cerr << "rangiertrubel-levels: cannot write the output\n";
    return kFileStatus;
  }
  return status;
}

void report(const std::string& file, const rt::LevelProblem& p) {
  std::cout << file << ": ";
  if (p.column != 0) std::cout << "column " << p.column << ", row " << p.row << ": ";
  std::cout << p.message << "\n";
}

int check(const std::vector<std::string>& files) {
  int faults = 0;
  bool unreadable = false;
  for (const auto& file : files) {
    std::string bytes;
    if (!read_file(file, bytes, std::cerr)) {
      unreadable = true;
      continue;
    }
    std::vector<rt::LevelProblem> problems;
    const rt::Level level = rt::read_level(bytes, problems);
    for (auto& p : rt::check_level(level)) problems.push_back(p);
    for (const auto& p : problems) report(file, p);
    faults += static_cast<int>(problems.size());
    if (problems.empty()) std::cout << file << ": ok\n";
  }
  if (unreadable) return kFileStatus;
  return faults == 0 ? 0 : kFaultsStatus;
}

int show(const std::string& file) {
  std::string bytes;
  if (!read_file(file, bytes, std::cerr)) return kFileStatus;
  std::vector<rt::LevelProblem> problems;
  const rt::Level level = rt::read_level(bytes, problems);
  std::cout << file << "  (hole at column " << level.cursor_x << ", row " << level.cursor_y
            << ")\n";
  std::cout << rt::level_text(level);
  std::cout << "- | track  J L 7 F curves \u2518 \u2514 \u2510 \u250c  . grass  T tree  H house  S "
               "station  o hole\n";
  return 0;
}

// Plans: one line per level, "lev03: Right Up Up Left Left@4"; # starts a
// comment. A word that names no slide is reported and refuses the file.
bool read_plans(const std::string& file, const std::string& bytes,
                std::vector<std::vector<rt::TimedSlide>>& plans) {
  std::istringstream in(bytes);
  std::string text;
  while (std::getline(in, text)) {
    if (text.empty() || text[0] == '#') continue;
    const auto colon = text.find(':');
    std::istringstream keys(colon == std::string::npos ? text : text.substr(colon + 1));
    std::vector<rt::TimedSlide> plan;
    for (std::string key; keys >> key;) {
      rt::TimedSlide slide;
      if (!rt::level_tool::read_slide_word(key, slide)) {
        std::cerr << "rangiertrubel-levels: " << file << ": unknown slide " << key << "\n";
        return false;
      }
      plan.push_back(slide);
    }
    plans.push_back(plan);
  }
  if (plans.empty()) std::cerr << "rangiertrubel-levels: " << file << " holds no plans\n";
  return !plans.empty();
}

int record(const std::string& dir, const std::string& plans_file, const std::string& outdir) {
  for (const std::string& folder : {dir, outdir}) {
    std::error_code ec;
    if (!std::filesystem::is_directory(folder, ec)) {
      std::cerr << "rangiertrubel-levels: " << folder << " is not a folder\n";
      return kFileStatus;
    }
  }
  std::vector<std::vector<rt::TimedSlide>> plans;
  std::string bytes;
  if (!read_file(plans_file, bytes, std::cerr)) return kFileStatus;
  if (!read_plans(plans_file, bytes, plans)) return kFaultsStatus;
  rt::level_tool::Recording rec = rt::level_tool::record_solutions(dir, plans);
  if (!rec.error.empty()) {
    std::cerr << "rangiertrubel-levels: recording failed: " << rec.error << "\n";
    return kFaultsStatus;
  }
  bool written = true;
  const auto write = [&written](const std::string& path, const std::string& title,
                                const std::vector<std::string>& lines) {
    if (rt::level_tool::write_script(path, title, lines)) return;
    std::cerr << "rangiertrubel-levels: cannot write " << path << "\n";
    written = false;
  };
  std::cout << "| level | seconds per step | slides | steps | seconds to spare |\n"
               "|---|---|---|---|---|\n";
  for (std::size_t k = 0; k < rec.levels.size(); ++k) {
    const auto& r = rec.levels[k];
    char name[64];
    std::snprintf(name, sizeof name, "/level%02zu.sim", k + 1);
    write(outdir + name,
          "Plays levels 1 to " + std::to_string(k + 1) + " and wins level " +
              std::to_string(k + 1) + " with three locomotives left.",
          rt::level_tool::script_until_won(rec, k));
    char row[160];
    if (r.spare < 0) {
      std::snprintf(row, sizeof row, "| %zu | %.2f | %d | %d | last slide not needed |\n", k + 1,
                    r.interval, r.slides, r.steps);
    } else {
      std::snprintf(row, sizeof row, "| %zu | %.2f | %d | %d | %.1f |\n", k + 1, r.interval,
                    r.slides, r.steps, r.spare);
    }
    std::cout << row;
  }
  write(outdir + "/all-levels.sim",
        "Plays all ten levels in a row, then shows the wrap to level 1.", rec.script);
  return written ? 0 : kFileStatus;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && std::string(argv[1]) == "--help") return finish((std::cout << kUsage, 0));
  if (argc == 2 && std::string(argv[1]) == "--version") {
    return finish((std::cout << "rangiertrubel-levels " RT_VERSION "\n", 0));
  }
  if (argc < 3) return usage();
  const std::string command = argv[1];
  std::vector<std::string> files(argv + 2, argv + argc);
  if (command == "check") return finish(check(files));
  if (command == "solve") return finish(rt::level_tool::solve_command(files, std::cout, std::cerr));
  if (command == "generate")
    return finish(rt::level_tool::generate_command(files, std::cout, std::cerr));
  if (command == "show" && files.size() == 1) return finish(show(files[0]));
  if (command == "encode")
    return finish(rt::level_tool::encode_command(files, std::cout, std::cerr));
  if (command == "decode")
    return finish(rt::level_tool::decode_command(files, std::cout, std::cerr));
  if (command == "rate") return finish(rt::level_tool::rate_command(files, std::cout, std::cerr));
  if (command == "record" && files.size() == 3) {
    return finish(record(files[0], files[1], files[2]));
  }
  return usage();
}
