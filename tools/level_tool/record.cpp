// Recording solutions: the whole program played on the simulated host from
// plans of slides, every level in turn.
#include "tools/level_tool/record.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>

#include "app/program.h"
#include "app/sim_run.h"
#include "game/assets.h"
#include "hosts/sim/sim_host.h"
#include "levels/play.h"
#include "platform/keyboard.h"
#include "tools/level_tool/read_file.h"

namespace rt::level_tool {
namespace {

// The recorder looks at the game every 5 ms of virtual time.
constexpr double kTick = 0.005;
// The level intro lasts three seconds; the key that starts the level is
// pressed a little after it.
constexpr double kAfterIntro = 3.2;

// The arrow key of a slide.
const SlideKey& key_of(Slide s) {
  for (const SlideKey& k : kSlideKeys) {
    if (k.slide == s) return k;
  }
  return kSlideKeys[0];
}

// A time as the script writes it, and the same time as the runner reads it
// back, so that replaying the script presses the keys at the very same
// moments.
std::string format_time(double t) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%.3f", t);
  return buffer;
}
double script_time(double t) {
  // The nearest millisecond, as "%.3f" and reading it back give, without
  // the text: the recorder asks for it every 5 ms of a whole game. Only a
  // time within a hair of halfway between two milliseconds takes the text's
  // way, so that the rounding is the text's exactly.
  const double ms = t * 1000.0;
  const double whole = std::round(ms);
  if (std::abs(std::abs(ms - whole) - 0.5) < 1e-6 || !(std::abs(ms) < 1e15)) {
    return std::stod(format_time(t));
  }
  return whole / 1000.0;
}

class Recorder {
 public:
  Recorder(SimHost& host, Program& program, const std::vector<std::vector<TimedSlide>>& plans,
           int first_level)
      : host_(host), program_(program), plans_(plans), first_level_(first_level) {
    program_.game.first_level = first_level;
  }

  Recording run() {
    host_.on_sound = [this,
                      next = assets::sound_file(assets::SoundId::Next)](const SimHost::Sound& s) {
      if (s.name == next) level_presented(s.time);
    };
    tap(script_time(0.5), "Enter", scan::kEnter, keycode::kEnter);
    host_.at(script_time(kTick), [this] { tick(script_time(kTick)); });
    const SimEnd end = run_on_sim(host_, program_);
    if (end.how == SimEnd::How::Ended) {
      if (recording_.error.empty()) {
        recording_.error = "the program ended with status " + std::to_string(end.status);
      }
    }
    if (recording_.error.empty() && recording_.levels.size() < plans_.size()) {
      recording_.error = "only " + std::to_string(recording_.levels.size()) + " levels won";
    }
    return recording_;
  }

 private:
  void line(double t, const std::string& command) {
    recording_.script.push_back(format_time(t) + " " + command);
  }
  void tap(double t, const std::string& name, int scan_code, int code) {
    host_.press(t, scan_code, code);
    host_.release(script_time(t + 0.05), scan_code);
    line(t, "tap " + name);
  }

  void level_presented(double t) {
    if (done_) return;
    // A won level goes straight into the next one's presentation.
    if (playing_ && program_.game.level != level_at_start_) level_won(t);
    if (recording_.levels.size() == plans_.size()) {
      // The ten levels are won: the wrap to level 1 has been presented.
      const double shown = script_time(t + kAfterIntro);
      line(shown, "state");
      line(script_time(shown + 0.1), "end");
      host_.at(script_time(shown + 0.1), [] { throw SimStop{}; });
      done_ = true;
      return;
    }
    const double start = script_time(t + kAfterIntro);
    tap(start, "X", 45, 'x');
    playing_ = true;
    next_press_ = script_time(start + 0.1);
    move_ = 0;
    holding_ = false;
    steps_ = 0;
    first_step_ = -1.0;
    last_slide_ = start;
    level_at_start_ = program_.game.level;
    start_ = Level{program_.game.board, program_.game.cursor_x, program_.game.cursor_y};
    made_.clear();
    loco_x_ = program_.game.loco_x;
    loco_y_ = program_.game.loco_y;
  }

  void tick(double now) {
    host_.at(script_time(now + kTick), [this, now] { tick(script_time(now + kTick)); });
    if (done_ || !recording_.error.empty()) return;
    Game& game = program_.game;
    if (game.lives < 3 && game.GameState != state::kGameOver) {
      fail("a locomotive was lost on level " + std::to_string(recording_.levels.size() + 1));
      return;
    }
    if (!playing_) return;
    if (game.level != level_at_start_) {
      level_won(now);
      return;
    }
    if (game.loco_x != loco_x_ || game.loco_y != loco_y_) {
      ++steps_;
      if (first_step_ < 0) first_step_ = now;
      loco_x_ = game.loco_x;
      loco_y_ = game.loco_y;
    }
    if (now < next_press_) return;
    const std::vector<TimedSlide>& plan = plans_[recording_.levels.size()];
    const double at = script_time(now + kTick);
    if (holding_) {
      if (game.cursor_x != cursor_x_ || game.cursor_y != cursor_y_) {
        const SlideKey& made = key_of(plan[move_ - 1].slide);
        made_.push_back({made.slide, steps_});
        host_.release(at, made.scan_code);
        line(at, std::string("release ") + made.name);
        holding_ = false;
        last_slide_ = now;
        next_press_ = script_time(at + kTick);
      } else if (now - pressed_at_ > 0.5) {
        fail("the slide " + slide_key(plan[move_ - 1].slide) + " did not happen on level " +
             std::to_string(recording_.levels.size() + 1));
      }
    } else if (move_ < plan.size()) {
      if (steps_ < plan[move_].after_step) return;
      const SlideKey& next = key_of(plan[move_].slide);
      host_.press(at, next.scan_code, extended_code(next.scan_code));
      line(at, std::string("press ") + next.name);
      cursor_x_ = game.cursor_x;
      cursor_y_ = game.cursor_y;
      pressed_at_ = at;
      holding_ = true;
      ++move_;
    }
  }

  void level_won(double now) {
    LevelRecord r;
    r.slides = static_cast<int>(plans_[recording_.levels.size()].size());
    r.steps = steps_;
    r.interval = interval_of_level(first_level_ + static_cast<int>(recording_.levels.size()));
    // The crash the last slide prevented: the level played again without it
    // crashes at the step after the ones it makes.
    std::vector<TimedSlide> before_last = made_;
    if (!before_last.empty()) before_last.pop_back();
    const PlayResult without =
        play_level(start_, timing_for(static_cast<float>(r.interval)), before_last);
    const double crash = first_step_ + without.steps * r.interval;
    r.spare = without.end == PlayResult::End::Won || made_.empty() ? -1.0 : crash - last_slide_;
    r.won_at = now;
    r.script_lines = recording_.script.size();
    recording_.levels.push_back(r);
    playing_ = false;
  }

  void fail(const std::string& why) {
    Game& game = program_.game;
    char where[160];
    std::snprintf(where, sizeof where,
                  " (at %.3f s: level %d, lives %d, locomotive %d,%d, hole %d,%d)", host_.now(),
                  game.level, game.lives, game.loco_x, game.loco_y, game.cursor_x, game.cursor_y);
    recording_.error = why + where;
    host_.at(script_time(host_.now() + kTick), [] { throw SimStop{}; });
  }

  SimHost& host_;
  Program& program_;
  const std::vector<std::vector<TimedSlide>>& plans_;
  const int first_level_;
  Recording recording_;
  Level start_;                   // the level as it was presented
  std::vector<TimedSlide> made_;  // its slides so far, each with its step
  bool playing_ = false;
  bool done_ = false;
  bool holding_ = false;
  std::size_t move_ = 0;
  double next_press_ = 0.0;
  double pressed_at_ = 0.0;
  double last_slide_ = 0.0;
  double first_step_ = -1.0;
  int steps_ = 0;
  int level_at_start_ = 0;
  int cursor_x_ = 0;
  int cursor_y_ = 0;
  int loco_x_ = 0;
  int loco_y_ = 0;
};

}  // namespace

std::string slide_key(Slide s) {
  return key_of(s).name;
}

bool read_slide_word(const std::string& word, TimedSlide& slide) {
  const auto at = word.find('@');
  const std::string name = word.substr(0, at);
  slide.after_step = 0;
  if (at != std::string::npos) {
    const std::string steps = word.substr(at + 1);
    if (steps.empty() || steps.size() > 6 ||
        steps.find_first_not_of("0123456789") != std::string::npos) {
      return false;
    }
    slide.after_step = std::stoi(steps);
  }
  for (const SlideKey& k : kSlideKeys) {
    if (name == k.name) {
      slide.slide = k.slide;
      return true;
    }
  }
  return false;
}

Recording record_solutions(const std::filesystem::path& dir,
                           const std::vector<std::vector<TimedSlide>>& plans, int first_level,
                           std::function<Level(int)> level_source) {
  SimHost host;
  host.set_time_limit(3600.0);
  Platform platform(host, dir);
  Program program(platform);
  if (level_source) program.game.level_source = std::move(level_source);
  Recorder recorder(host, program, plans, first_level);
  Recording recording = recorder.run();
  std::stable_sort(
      recording.script.begin(), recording.script.end(),
      [](const std::string& a, const std::string& b) { return std::stod(a) < std::stod(b); });
  return recording;
}

std::vector<std::string> script_until_won(const Recording& recording, std::size_t index) {
  const LevelRecord& r = recording.levels.at(index);
  std::vector<std::string> lines;
  for (const auto& l : recording.script) {
    if (std::stod(l) < r.won_at) lines.push_back(l);
  }
  lines.push_back(format_time(r.won_at + 0.1) + " state");
  lines.push_back(format_time(r.won_at + 0.2) + " end");
  return lines;
}

bool write_script(const std::filesystem::path& path, const std::string& title,
                  const std::vector<std::string>& lines) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << "# " << title << "\n# Made by rangiertrubel-levels; replay with rangiertrubel-sim.\n";
  for (const auto& l : lines) out << l << "\n";
  out.close();
  return static_cast<bool>(out);
}

}  // namespace rt::level_tool
