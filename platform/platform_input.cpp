// Keyboard, pointer, clock, random numbers, mouse and program end. Every access to the
// key states and the key buffer holds the lock, as the host's refresh writes
// them from its own thread; no pause is ever made while holding it.
#include <algorithm>

#include "platform/platform.h"

namespace rt {

namespace {

constexpr int kKeyPollMs = 50;  // how often a sleep looks for a key
constexpr int kWaitKeyPauseMs = 20;

}  // namespace

bool Platform::key_down(int scan_code) {
  std::lock_guard guard(mutex_);
  // Both asked, so that a pointer's press is seen even while the key is
  // held on the keyboard too.
  const bool pointer = pointer_.poll(scan_code);
  return keyboard_.poll(scan_code) || pointer;
}

std::string Platform::inkey() {
  int code = 0;
  {
    std::lock_guard guard(mutex_);
    keyboard_.clear_arrived();
    code = keyboard_.pop();
  }
  if (code <= 0) {
    return {};
  }
  if (code <= keycode::kExtendedPrefix) {
    return std::string(1, static_cast<char>(code));
  }
  // A key without a character: byte 255, then its scan code.
  return std::string{static_cast<char>(keycode::kExtendedPrefix),
                     static_cast<char>((code >> 8) & 0xFF)};
}

int Platform::wait_key() {
  for (;;) {
    int code = 0;
    {
      std::lock_guard guard(mutex_);
      keyboard_.clear_arrived();
      code = keyboard_.pop();
    }
    if (code != 0) {
      host_.pause_ms(kWaitKeyPauseMs);  // also after the poll that found a key
      end_if_close_requested();
      return code;
    }
    // Polls every 20 ms would find the key at the first poll after it came:
    // the host sleeps until a key is there and returns at that moment.
    host_.wait_for_key(
        kWaitKeyPauseMs / 1000.0,
        [this] {
          std::lock_guard guard(mutex_);
          return !keyboard_.empty() || close_requested();
        },
        kNoDeadline);
    end_if_close_requested();
  }
}

void Platform::wait_input() {
  if (input_waiting()) return;
  host_.wait_for_key(
      kWaitKeyPauseMs / 1000.0,
      [this] {
        std::lock_guard guard(mutex_);
        return !keyboard_.empty() || pointer_.has_event() || close_requested();
      },
      kNoDeadline);
  end_if_close_requested();
}

bool Platform::input_waiting() {
  std::lock_guard guard(mutex_);
  return !keyboard_.empty() || pointer_.has_event();
}

std::optional<CanvasEvent> Platform::take_canvas_event() {
  std::lock_guard guard(mutex_);
  return pointer_.take_event();
}

void Platform::sleep_ms(int ms) {
  const auto key_arrived = [this] {
    std::lock_guard guard(mutex_);
    return keyboard_.take_arrived();
  };
  const auto arrived_or_closing = [this] {
    std::lock_guard guard(mutex_);
    return keyboard_.arrived() || close_requested();
  };
  if (ms == -1) {
    // Until a key arrives; the flag is looked at before the first pause, and
    // a poll every 50 ms would notice a key at the next poll after it came.
    if (!key_arrived()) {
      host_.wait_for_key(kKeyPollMs / 1000.0, arrived_or_closing, kNoDeadline);
      end_if_close_requested();
      key_arrived();
    }
    return;
  }
  if (ms >= 100) {
    // A key ends the sleep at the next of the polls every 50 ms from its
    // start while more than 50 ms remain; the last stretch does not poll. The
    // host sleeps until a key comes or the last poll is due, rather than
    // waking for each poll.
    if (key_arrived()) return;
    const int last_poll_ms = (ms - 1) / kKeyPollMs * kKeyPollMs - kKeyPollMs;
    if (last_poll_ms > 0) {
      host_.wait_for_key(kKeyPollMs / 1000.0, arrived_or_closing, last_poll_ms / 1000.0);
      end_if_close_requested();
      if (key_arrived()) return;
    }
    host_.pause_ms(ms - std::max(last_poll_ms, 0));
    end_if_close_requested();
    return;
  }
  if (ms > 0) {
    host_.pause_ms(ms);
    end_if_close_requested();
  }
}

void Platform::sleep_until(double seconds) {
  host_.pause_until(seconds);
  end_if_close_requested();
}

double Platform::timer_seconds() {
  return host_.clock_seconds();
}

double Platform::rnd() {
  return rnd_.next();
}

void Platform::set_mouse(int x, int y, int visible, int confine) {
  host_.set_mouse(std::clamp(x, 0, Screen::kWidth - 1), std::clamp(y, 0, Screen::kHeight - 1),
                  visible != 0, confine != 0);
}

int Platform::key_buffer_room() {
  std::lock_guard guard(mutex_);
  return Keyboard::kSlots - 1 - keyboard_.size();
}

void Platform::host_forget_key_presses() {
  std::lock_guard guard(mutex_);
  keyboard_.forget_presses();
}

void Platform::set_pointer_screen(const PointerScreen& screen) {
  std::lock_guard guard(mutex_);
  if (screen.kind != pointer_.screen().kind) keyboard_.forget_presses();
  push_pointer_code(pointer_.set_screen(screen));
}

void Platform::host_pointer_down(int x, int y, PointerButton button) {
  std::lock_guard guard(mutex_);
  push_pointer_code(pointer_.down(x, y, button));
}

void Platform::host_pointer_move(int x, int y) {
  std::lock_guard guard(mutex_);
  push_pointer_code(pointer_.move(x, y));
}

void Platform::host_pointer_up(int x, int y) {
  std::lock_guard guard(mutex_);
  push_pointer_code(pointer_.up(x, y));
}

void Platform::host_pointer_button(TouchButton which) {
  std::lock_guard guard(mutex_);
  push_pointer_code(pointer_.button(which));
}

void Platform::push_pointer_code(int code) {
  if (code != 0) keyboard_.push(code);
}

void Platform::end_program(int status) {
  release_screen_lock();
  throw ProgramEnd{status};
}

}  // namespace rt
