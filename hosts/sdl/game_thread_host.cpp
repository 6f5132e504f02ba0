// The desktop host's side for the game's thread.
#include "hosts/sdl/game_thread_host.h"

#include <algorithm>
#include <chrono>
#include <thread>
#include <utility>

#include "hosts/sdl/sdl_host.h"
#include "hosts/sdl/waker.h"
#include "platform/platform.h"
#include "platform/screen.h"

namespace rt {

GameThreadHost::GameThreadHost(SdlAudio* audio, Waker& waker)
    : audio_(audio), waker_(waker), clock_(now()) {}

double GameThreadHost::now() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

void GameThreadHost::open_display(const std::string& title) {
  {
    std::lock_guard guard(mutex_);
    requests_.show = true;
    requests_.title = title;
  }
  waker_.wake();
}

double GameThreadHost::clock_seconds() {
  std::lock_guard guard(clock_mutex_);
  return clock_.game_seconds(now());
}

void GameThreadHost::pause_ms(int ms) {
  if (ms <= 0) {
    show_drawing();
    std::this_thread::yield();
    return;
  }
  pause_until(clock_seconds() + ms / 1000.0);
}

void GameThreadHost::pause_until(double seconds) {
  show_drawing();
  std::unique_lock lock(clock_mutex_);
  while (!closing()) {
    if (clock_.away()) {
      clock_changed_.wait(lock);
      continue;
    }
    const double left = seconds - clock_.game_seconds(now());
    if (left <= 0.0) return;
    clock_changed_.wait_for(lock, std::chrono::duration<double>(left));
  }
}

void GameThreadHost::wait_for_key(double poll_seconds, const std::function<bool()>& arrived,
                                  double within_seconds) {
  show_drawing();
  const double start = clock_seconds();
  const double until_seconds = start + within_seconds;
  {
    // `arrived` takes the platform's lock inside this one; the main thread
    // never takes them the other way round.
    std::unique_lock lock(clock_mutex_);
    while (!arrived()) {
      if (within_seconds >= kNoDeadline || clock_.away()) {
        clock_changed_.wait(lock);
        continue;
      }
      const double left = until_seconds - clock_.game_seconds(now());
      if (left <= 0.0) return;
      clock_changed_.wait_for(lock, std::chrono::duration<double>(left));
    }
  }
  if (closing() || poll_seconds <= 0.0) return;
  pause_until(next_poll(start, clock_seconds(), poll_seconds));
}

void GameThreadHost::play_sound(const std::string& path) {
  if (audio_ == nullptr) return;
  std::string problem;
  audio_->play_file(path, &problem);
  // Told as every file the game cannot use is, once.
  if (!problem.empty() && platform_ != nullptr) platform_->report_file_problem(path, problem);
}

void GameThreadHost::beep() {
  if (audio_ != nullptr) audio_->play_beep();
}

void GameThreadHost::set_mouse(int x, int y, bool visible, bool confine) {
  {
    std::lock_guard guard(mutex_);
    requests_.mouse =
        WindowRequests::Mouse{std::clamp(x, 0, Screen::kWidth - 1),
                              std::clamp(y, 0, Screen::kHeight - 1), visible, confine};
  }
  waker_.wake();
}

void GameThreadHost::text_input(bool wanted, std::size_t) {
  {
    std::lock_guard guard(mutex_);
    requests_.text_input = wanted;
  }
  waker_.wake();
}

std::string GameThreadHost::share_track(const std::string& code) {
  Host::share_track(code);
  {
    std::lock_guard guard(mutex_);
    requests_.clipboard = code;
  }
  waker_.wake();
  return "Code kopiert, Link in der Ausgabe.";
}

WindowRequests GameThreadHost::take_requests() {
  std::lock_guard guard(mutex_);
  WindowRequests taken = std::move(requests_);
  requests_ = WindowRequests{};
  return taken;
}

void GameThreadHost::set_away(bool away) {
  {
    std::lock_guard guard(clock_mutex_);
    if (!clock_.set_away(away, now())) return;
  }
  clock_changed_.notify_all();
}

void GameThreadHost::keys_handed() {
  { std::lock_guard guard(clock_mutex_); }
  clock_changed_.notify_all();
}

bool GameThreadHost::closing() const {
  return platform_ != nullptr && platform_->close_requested();
}

void GameThreadHost::show_drawing() {
  if (waker_.armed() && screen_changed()) waker_.wake();
}

bool GameThreadHost::screen_changed() {
  if (platform_ == nullptr) return false;
  std::lock_guard guard(platform_->lock());
  int first = 0;
  int last = 0;
  if (!platform_->screen().take_changed_rows(first, last)) return false;
  platform_->screen().mark_rows(first, last);
  return true;
}

}  // namespace rt
