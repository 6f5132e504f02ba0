// Recording a plan as a script: the level in a scratch folder of its own,
// each slide's arrow key pressed after the locomotive's step the plan makes
// it at.
#include "tools/level_tool/plan_script.h"

#include <system_error>
#include <vector>

#include "tools/level_tool/exit_status.h"
#include "tools/level_tool/record.h"

namespace rt::level_tool {

namespace {

// A fresh folder under the system's temporary folder, removed with all in it.
class Scratch {
 public:
  Scratch() {
    std::error_code ec;
    const auto base = std::filesystem::temp_directory_path(ec);
    for (int n = 0; n < 1000 && !ec; ++n) {
      const auto candidate = base / ("rangiertrubel-levels-" + std::to_string(n));
      if (std::filesystem::create_directory(candidate, ec)) {
        path_ = candidate;
        return;
      }
    }
  }
  ~Scratch() {
    std::error_code ec;
    if (!path_.empty()) std::filesystem::remove_all(path_, ec);
  }
  Scratch(const Scratch&) = delete;
  Scratch& operator=(const Scratch&) = delete;
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

}  // namespace

ScriptResult write_plan_script(const Level& level, int number, const Plan& plan,
                               const std::filesystem::path& script, const std::string& title) {
  // The program runs in an empty folder of its own and gets the level from
  // the plan's level source, as seeded play gets its levels.
  Scratch scratch;
  if (scratch.path().empty()) return {kFileStatus, "cannot make a folder to record the plan in"};
  std::vector<TimedSlide> slides;
  for (const PlannedSlide& s : plan.slides) slides.push_back({s.slide, s.earliest_step});
  const Recording rec =
      record_solutions(scratch.path(), {slides}, number, [level](int) { return level; });
  if (!rec.error.empty())
    return {kFaultsStatus, "the plan did not win in the program: " + rec.error};
  if (!write_script(script, title, script_until_won(rec, 0))) {
    return {kFileStatus, "cannot write " + script.string()};
  }
  return {};
}

}  // namespace rt::level_tool
