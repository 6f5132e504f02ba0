// The simulated host: virtual clock, scheduled keys and actions, recorded
// sounds and how a run on it ends.
#include "platform/sim_host.h"

#include <algorithm>
#include <cmath>

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
  return now_;
}

void SimHost::pause_ms(int ms) {
  advance(static_cast<std::int64_t>(std::max(ms, 0)) * kStepsPerMs);
}

void SimHost::advance(std::int64_t steps) {
  steps_ += steps;
  now_ = static_cast<double>(steps_) / static_cast<double>(kStepsPerSecond);
  deliver_due();
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

void SimHost::report(const std::string& line) {
  reports_.push_back(line);
  if (on_report) on_report(line);
}

void SimHost::set_mouse(int x, int y, bool visible, bool /*confine*/) {
  mouse_x_ = x;
  mouse_y_ = y;
  mouse_visible_ = visible;
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
