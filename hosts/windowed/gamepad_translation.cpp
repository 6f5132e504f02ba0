// Game controllers as keys: the mapping from buttons and stick to the
// keyboard's held states and buffer codes. Holds no SDL types, so that it is
// tested without a controller.

#include "hosts/windowed/gamepad_translation.h"

#include <vector>

#include "platform/keyboard.h"

namespace rt {

namespace {

struct KeyOf {
  int scan_code = 0;
  int code = 0;  // what enters the key buffer
};

KeyOf key_of_button(int button) {
  switch (button) {
    case GamepadTranslator::kA:
    case GamepadTranslator::kStart:
      return {scan::kEnter, 13};
    case GamepadTranslator::kB:
    case GamepadTranslator::kBack:
      return {scan::kEscape, 27};
    case GamepadTranslator::kX:
      return {scan::kSpace, ' '};
    case GamepadTranslator::kY:
      return {scan::kS, 's'};
    case GamepadTranslator::kDpadUp:
      return {scan::kUp, extended_code(scan::kUp)};
    case GamepadTranslator::kDpadDown:
      return {scan::kDown, extended_code(scan::kDown)};
    case GamepadTranslator::kDpadLeft:
      return {scan::kLeft, extended_code(scan::kLeft)};
    case GamepadTranslator::kDpadRight:
      return {scan::kRight, extended_code(scan::kRight)};
    default:
      return {};
  }
}

// Stick directions as sources, apart from the buttons' numbers.
constexpr int kStickSource = 1000;

}  // namespace

bool GamepadTranslator::scan_held(int scan_code) const {
  for (const auto& [source, held] : held_) {
    if (held == scan_code) return true;
  }
  return false;
}

void GamepadTranslator::hold(Source source, int scan_code, int code, std::vector<KeyAction>& out) {
  if (held_.count(source) != 0) return;
  if (!scan_held(scan_code)) out.push_back({KeyAction::Kind::Down, scan_code});
  held_[source] = scan_code;
  out.push_back({KeyAction::Kind::Code, code});
}

void GamepadTranslator::let_go(Source source, std::vector<KeyAction>& out) {
  const auto found = held_.find(source);
  if (found == held_.end()) return;
  const int scan_code = found->second;
  held_.erase(found);
  if (!scan_held(scan_code)) out.push_back({KeyAction::Kind::Up, scan_code});
}

void GamepadTranslator::button(int pad, int button, bool down, std::vector<KeyAction>& out) {
  const KeyOf key = key_of_button(button);
  if (key.scan_code == 0) return;
  if (down) {
    hold({pad, button}, key.scan_code, key.code, out);
  } else {
    let_go({pad, button}, out);
  }
}

void GamepadTranslator::axis(int pad, int axis, int value, std::vector<KeyAction>& out) {
  if (axis != kLeftX && axis != kLeftY) return;
  const int low_scan = axis == kLeftX ? scan::kLeft : scan::kUp;
  const int high_scan = axis == kLeftX ? scan::kRight : scan::kDown;
  const Source low{pad, kStickSource + 2 * axis};
  const Source high{pad, kStickSource + 2 * axis + 1};
  // Beyond the press threshold the direction holds; inside the release
  // threshold it lets go; in between it stays as it was.
  if (value <= -kStickPress) {
    let_go(high, out);
    hold(low, low_scan, extended_code(low_scan), out);
  } else if (value >= kStickPress) {
    let_go(low, out);
    hold(high, high_scan, extended_code(high_scan), out);
  } else {
    if (value > -kStickRelease) let_go(low, out);
    if (value < kStickRelease) let_go(high, out);
  }
}

void GamepadTranslator::removed(int pad, std::vector<KeyAction>& out) {
  std::vector<Source> sources;
  for (const auto& [source, held] : held_) {
    if (source.first == pad) sources.push_back(source);
  }
  for (const Source& source : sources) let_go(source, out);
}

void GamepadTranslator::release_all(std::vector<KeyAction>& out) {
  while (!held_.empty()) let_go(held_.begin()->first, out);
}

}  // namespace rt
