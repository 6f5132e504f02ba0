// The simulated host: virtual clock, scheduled keys and actions, recorded
// sounds and how a run on it ends.
#include "hosts/sim/sim_host.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "platform/platform.h"

namespace rt {

namespace {

// One clock-read step is 10 microseconds; a millisecond is 100 of them.
constexpr std::int64_t kStepsPerSecond = 100000;
constexpr std::int64_t kStepsPerMs = kStepsPerSecond / 1000;

// The file name of a host path, without its folders.
std::string file_name(const std::string& path) {
  const auto slash = path.find_last_of("/\\");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The time of the nearest clock-read step, as the clock shows it there.
double on_grid(double time) {
  const double steps = time * static_cast<double>(kStepsPerSecond);
  if (!(std::fabs(steps) < 9e18)) {
    return time;  // far beyond any run (or not a number): left as it is
  }
  return static_cast<double>(std::llround(steps)) / static_cast<double>(kStepsPerSecond);
}

}  // namespace

void SimHost::attach(Platform& platform) {
  platform_ = &platform;
}

void SimHost::open_display(const std::string& title) {
  display_open_ = true;
  display_title_ = title;
}

double SimHost::clock_seconds() {
  advance(1);
  return static_cast<double>(steps_ - away_steps_) / static_cast<double>(kStepsPerSecond);
}

double SimHost::time_away() const {
  return static_cast<double>(away_steps_) / static_cast<double>(kStepsPerSecond);
}

void SimHost::pause_ms(int ms) {
  advance(static_cast<std::int64_t>(std::max(ms, 0)) * kStepsPerMs);
}

std::int64_t SimHost::step_at(double time) {
  const double scaled = std::ceil(time * static_cast<double>(kStepsPerSecond));
  if (!(scaled < 9e18)) return std::numeric_limits<std::int64_t>::max();
  if (!(scaled > 0.0)) return 0;
  auto step = static_cast<std::int64_t>(scaled);
  // The product may round: settle on the first step whose time reaches it.
  while (static_cast<double>(step) / static_cast<double>(kStepsPerSecond) < time) ++step;
  while (step > 0 && static_cast<double>(step - 1) / static_cast<double>(kStepsPerSecond) >= time) {
    --step;
  }
  return step;
}

void SimHost::pause_until(double seconds) {
  const std::int64_t target = step_at(seconds);
  const std::int64_t game_steps = steps_ - away_steps_;
  if (target > game_steps) advance(target - game_steps);
}

void SimHost::wait_for_key(double poll_seconds, const std::function<bool()>& arrived,
                           double within_seconds) {
  const std::int64_t poll = std::max<std::int64_t>(1, std::llround(poll_seconds * kStepsPerSecond));
  const std::int64_t start = steps_ - away_steps_;
  const bool deadline = within_seconds < kNoDeadline;
  const std::int64_t until = deadline ? start + std::llround(within_seconds * kStepsPerSecond) : 0;
  while (!arrived()) {
    if (deadline && steps_ - away_steps_ >= until) return;
    // Nothing happens before the next event: straight on to it (or to the
    // deadline), unless the run ends first.
    if (!deadline && (events_.empty() || events_.begin()->first.first > limit_)) stop_at_limit();
    std::int64_t move = deadline ? until - (steps_ - away_steps_) : 0;
    if (!events_.empty()) {
      const std::int64_t to_event =
          std::max<std::int64_t>(1, step_at(events_.begin()->first.first) - steps_);
      move = deadline ? std::min(move, to_event) : to_event;
    }
    advance(move);
    // A close request ends the wait at once, as the interface promises.
    if (platform_ != nullptr && platform_->close_requested()) return;
  }
  const std::int64_t waited = steps_ - away_steps_ - start;
  const std::int64_t to_poll = (poll - waited % poll) % poll;
  if (to_poll > 0) advance(to_poll);
}

void SimHost::set_steps(std::int64_t steps) {
  steps_ = steps;
  now_ = static_cast<double>(steps_) / static_cast<double>(kStepsPerSecond);
}

void SimHost::stop_at_limit() {
  const std::int64_t past = step_at(limit_);
  if (past == std::numeric_limits<std::int64_t>::max()) throw SimStop{limit_};
  if (past + 1 > steps_) {
    if (away_) away_steps_ += past + 1 - steps_;
    set_steps(past + 1);
  }
  throw SimStop{now_};
}

void SimHost::advance(std::int64_t steps) {
  std::int64_t left = steps;
  for (;;) {
    // Most clock readings find nothing due: only then the full delivery.
    if (!events_.empty() && events_.begin()->first.first <= now_) deliver_due();
    // A pause returns at once when the program is asked to close, as every
    // host's pauses do.
    if (platform_ != nullptr && platform_->close_requested()) return;
    if (away_) {
      // The game's clock stands still until an event brings the player back.
      if (events_.empty() || events_.begin()->first.first > limit_) stop_at_limit();
      const std::int64_t next = std::max(step_at(events_.begin()->first.first), steps_ + 1);
      away_steps_ += next - steps_;
      set_steps(next);
      continue;
    }
    if (left == 0) break;
    std::int64_t move = left;
    // Only an event within the move splits it (most pauses have none).
    if (!events_.empty() &&
        events_.begin()->first.first <= static_cast<double>(steps_ + left) / kStepsPerSecond) {
      move =
          std::min(move, std::max<std::int64_t>(1, step_at(events_.begin()->first.first) - steps_));
    }
    set_steps(steps_ + move);
    left -= move;
  }
  if (now_ > limit_) {
    throw SimStop{now_};
  }
}

void SimHost::schedule(double time, Event event) {
  events_.emplace(std::make_pair(time, sequence_++), std::move(event));
}

void SimHost::repeat_later(const Event& repeat) {
  Event next = repeat;
  next.repeat = repeat.repeat + 1;
  // Each repeat time is counted from the press and put on the step grid, so
  // repeats neither drift nor miss the clock reading that reaches them.
  const double time = next.press_time + kRepeatDelay + kRepeatPeriod * next.repeat;
  schedule(on_grid(time), std::move(next));
}

void SimHost::deliver_due() {
  while (!events_.empty() && events_.begin()->first.first <= now_) {
    // Taken out before it runs: an action may schedule events, read the clock
    // or throw.
    auto node = events_.extract(events_.begin());
    const double time = node.key().first;
    Event& event = node.mapped();
    switch (event.kind) {
      case Event::Kind::Press: {
        const std::uint64_t hold = sequence_++;
        held_[event.scan_code] = hold;
        if (platform_ != nullptr) {
          platform_->host_key_down(event.scan_code);
          if (event.code != 0) {
            platform_->host_key_code(event.code);
          }
        }
        if (event.code != 0) {
          Event repeat{Event::Kind::Repeat, event.scan_code, event.code, hold, time, 0, {}};
          schedule(on_grid(time + kRepeatDelay), std::move(repeat));
        }
        break;
      }
      case Event::Kind::Release:
        held_.erase(event.scan_code);
        if (platform_ != nullptr) {
          platform_->host_key_up(event.scan_code);
        }
        break;
      case Event::Kind::Repeat: {
        const auto held = held_.find(event.scan_code);
        if (held == held_.end() || held->second != event.hold) {
          break;  // released or pressed anew since: this chain is over
        }
        if (platform_ != nullptr) {
          platform_->host_key_code(event.code);
        }
        repeat_later(event);
        break;
      }
      case Event::Kind::Code:
        if (platform_ != nullptr) {
          platform_->host_key_code(event.code);
        }
        break;
      case Event::Kind::Action:
        if (event.action) {
          event.action();
        }
        break;
    }
  }
}

void SimHost::play_sound(const std::string& path) {
  sounds_.push_back({now_, file_name(path)});
  if (on_sound) {
    const Sound sound = sounds_.back();  // the handler may record more sounds
    on_sound(sound);
  }
}

void SimHost::beep() {
  sounds_.push_back({now_, "beep"});
  if (on_sound) {
    const Sound sound = sounds_.back();  // the handler may record more sounds
    on_sound(sound);
  }
}

std::string SimHost::share_track(const std::string& code) {
  shared_.push_back(code);
  return "Code geteilt.";
}

void SimHost::report(const std::string& line) {
  reports_.push_back(line);
  if (on_report) on_report(line);
}

void SimHost::set_mouse(int x, int y, bool visible, bool /*confine*/) {
  mouse_x_ = x;
  mouse_y_ = y;
  mouse_visible_ = visible;
}

void SimHost::blur(double time) {
  at(time, [this] {
    away_ = true;
    // Held keys go up, and their repeats end with their holds.
    for (const auto& [scan_code, hold] : held_) {
      if (platform_ != nullptr) platform_->host_key_up(scan_code);
    }
    held_.clear();
    if (platform_ != nullptr) platform_->host_forget_key_presses();
  });
}

void SimHost::focus(double time) {
  // Keys scripted while away reach no real window: none of them counts.
  at(time, [this] {
    away_ = false;
    if (platform_ != nullptr) platform_->host_forget_key_presses();
  });
}

void SimHost::close_request(double time) {
  at(time, [this] {
    if (platform_ != nullptr) platform_->host_close_request();
  });
}

void SimHost::press(double time, int scan_code, int code) {
  schedule(time, Event{Event::Kind::Press, scan_code, code, 0, 0.0, 0, {}});
}

void SimHost::release(double time, int scan_code) {
  schedule(time, Event{Event::Kind::Release, scan_code, 0, 0, 0.0, 0, {}});
}

void SimHost::type_code(double time, int code) {
  schedule(time, Event{Event::Kind::Code, 0, code, 0, 0.0, 0, {}});
}

void SimHost::at(double time, std::function<void()> action) {
  schedule(time, Event{Event::Kind::Action, 0, 0, 0, 0.0, 0, std::move(action)});
}

SimEnd run_until_end(const SimHost& host, const std::function<void()>& body) {
  try {
    body();
    return {SimEnd::How::Returned, 0, host.now()};
  } catch (const ProgramEnd& end) {
    return {SimEnd::How::Ended, end.status, host.now()};
  } catch (const SimStop&) {
    return {SimEnd::How::Stopped, 0, host.now()};
  }
}

}  // namespace rt
