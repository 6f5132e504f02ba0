// The held-key states and the 16-slot key ring behind the platform's input
// calls.
#include "platform/keyboard.h"

namespace rt {

namespace {

bool valid_scan(int scan_code) {
  return scan_code >= 0 && scan_code < 128;
}

}  // namespace

void Keyboard::set_down(int scan_code, bool down) {
  if (valid_scan(scan_code)) {
    down_[static_cast<std::size_t>(scan_code)] = down;
    if (down) pressed_[static_cast<std::size_t>(scan_code)] = true;
  }
}

bool Keyboard::poll(int scan_code) {
  if (!valid_scan(scan_code)) return false;
  const auto i = static_cast<std::size_t>(scan_code);
  const bool seen = down_[i] || pressed_[i];
  pressed_[i] = false;
  return seen;
}

bool Keyboard::is_down(int scan_code) const {
  return valid_scan(scan_code) && down_[static_cast<std::size_t>(scan_code)];
}

void Keyboard::push(int code) {
  if (!is_key_code(code)) {
    return;
  }
  // One slot always stays free, so a full ring holds 15 codes; a 16th pushes
  // the oldest out.
  if (size() == kSlots - 1) {
    head_ = (head_ + 1) % kSlots;
  }
  ring_[static_cast<std::size_t>(tail_)] = code;
  tail_ = (tail_ + 1) % kSlots;
  arrived_ = true;
}

int Keyboard::pop() {
  if (empty()) {
    return 0;
  }
  const int code = ring_[static_cast<std::size_t>(head_)];
  head_ = (head_ + 1) % kSlots;
  return code;
}

bool Keyboard::take_arrived() {
  const bool was = arrived_;
  arrived_ = false;
  return was;
}

}  // namespace rt
