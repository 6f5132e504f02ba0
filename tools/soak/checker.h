// The soak's checker: the rules a running program must keep, looked at
// whenever the game reads the clock or pauses.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "frontend/frontend.h"
#include "tools/soak/soak.h"
#include "tools/soak/soak_levels.h"

namespace rt {
class Program;
}

namespace rt::soak {

// The rules a running program must keep at every moment the game can be
// observed. Call observe() often (at every clock reading and pause); it
// throws SoakFailure when a rule is broken.
class Checker {
 public:
  Checker(std::array<LevelContents, 10> levels, SoakOptions options);

  // Starts watching a fresh program. `expected_list` is the high-score list
  // it must load (the list the previous run ended with).
  void start_run(const HighScoreTable& expected_list);
  void observe(const Program& program, double now);

  // The value rules alone, for the state as it stands: empty when all hold.
  // `loaded` tells that a level has been loaded in this run.
  std::optional<std::string> broken_rule(const Program& program, bool loaded) const;

  SoakReport& report() { return report_; }

 private:
  [[noreturn]] void fail(double now, const std::string& what) const;

  std::array<LevelContents, 10> levels_;
  SoakOptions options_;
  SoakReport report_;
  HighScoreTable expected_list_{};
  bool list_checked_ = false;
  bool loaded_ = false;
  double last_now_ = -1.0;
  std::int64_t calls_without_advance_ = 0;
  float last_poll_value_ = 0.0f;
  bool poll_seen_ = false;
  double last_poll_at_ = 0.0;
  std::int32_t last_state_ = 2;
  double menu_since_ = 0.0;
  std::int32_t last_level_ = 1;
  std::int32_t last_lives_ = 3;
  std::int32_t last_score_ = 0;
};

// Thrown by the checker: a rule was broken.
struct SoakFailure {
  std::string message;
};

}  // namespace rt::soak
