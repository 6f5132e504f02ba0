// Taps, swipes and touch buttons turned into key presses, each held until
// the game has looked at its key.
#include "platform/pointer_input.h"

#include <algorithm>
#include <cstdlib>

#include "platform/keyboard.h"
#include "platform/screen.h"

namespace rt {

namespace {

// The key a direction of travel stands for, by the larger of the two moves.
int arrow_of(int dx, int dy) {
  if (std::abs(dx) >= std::abs(dy)) return dx < 0 ? scan::kLeft : scan::kRight;
  return dy < 0 ? scan::kUp : scan::kDown;
}

int code_of(int scan_code) {
  switch (scan_code) {
    case scan::kSpace:
      return keycode::kSpace;
    case scan::kEnter:
      return keycode::kEnter;
    case scan::kEscape:
      return keycode::kEscape;
    case scan::kS:
      return 's';
    default:
      return extended_code(scan_code);
  }
}

bool on_picture(int x, int y) {
  return x >= 0 && y >= 0 && x < Screen::kWidth && y < Screen::kHeight;
}

// A host's position far off the picture counts as just beyond its edge, so
// that the distances stay small numbers.
int near_picture(int v) {
  return std::clamp(v, -Screen::kWidth, 2 * Screen::kWidth);
}

}  // namespace

int PointerInput::set_screen(const PointerScreen& screen) {
  if (screen.kind != screen_.kind) {
    waiting_.clear();
    events_.clear();
    canvas_down_ = false;
    held_ = 0;
    touching_ = false;
  }
  screen_ = screen;
  described_ = true;
  return start_next();
}

int PointerInput::down(int x, int y, PointerButton button) {
  if (keep(CanvasEvent{CanvasEvent::Kind::Down, x, y, button})) return 0;
  if (button != PointerButton::Primary) return 0;
  touching_ = on_picture(x, y);
  touch_x_ = x;
  touch_y_ = y;
  return 0;
}

int PointerInput::move(int x, int y) {
  if (keep(CanvasEvent{CanvasEvent::Kind::Move, x, y, PointerButton::Primary})) return 0;
  if (!touching_) return 0;
  const int dx = near_picture(x) - touch_x_;
  const int dy = near_picture(y) - touch_y_;
  if (std::abs(dx) < kSwipeDistance && std::abs(dy) < kSwipeDistance) return 0;
  // Far enough: a swipe at once; the rest of this touch means nothing.
  touching_ = false;
  Gesture swipe;
  swipe.kind = Gesture::Kind::Swipe;
  swipe.x = touch_x_;
  swipe.y = touch_y_;
  swipe.arrow = arrow_of(dx, dy);
  return add(swipe);
}

int PointerInput::up(int x, int y) {
  if (keep(CanvasEvent{CanvasEvent::Kind::Up, x, y, PointerButton::Primary})) return 0;
  if (!touching_) return 0;
  const int code = move(x, y);
  if (!touching_) return code;
  touching_ = false;
  Gesture tap;
  tap.x = touch_x_;
  tap.y = touch_y_;
  return add(tap);
}

int PointerInput::button(TouchButton which) {
  Gesture gesture;
  gesture.kind = Gesture::Kind::Button;
  gesture.button = which;
  return add(gesture);
}

bool PointerInput::poll(int scan_code) {
  if (held_ == 0 || held_ != scan_code) return false;
  held_ = 0;
  // The next gesture waits for the screen the game shows after this key.
  described_ = false;
  return true;
}

bool PointerInput::keep(const CanvasEvent& event) {
  if (screen_.kind != PointerScreen::Kind::Canvas) return false;
  // Only what happens from a press on the picture to its release: moves of
  // a mouse with no button down, and the release of a press begun off the
  // picture, say nothing.
  if (event.kind == CanvasEvent::Kind::Down) {
    if (!on_picture(event.x, event.y)) return true;
    canvas_down_ = true;
  } else if (!canvas_down_) {
    return true;
  } else if (event.kind == CanvasEvent::Kind::Up) {
    canvas_down_ = false;
  }
  // A move replaces a move still waiting, so that a storm of moves never
  // crowds out the presses; past a bound the oldest events go.
  if (event.kind == CanvasEvent::Kind::Move && !events_.empty() &&
      events_.back().kind == CanvasEvent::Kind::Move) {
    events_.back() = event;
    return true;
  }
  constexpr std::size_t kMostEvents = 64;
  if (events_.size() >= kMostEvents) events_.pop_front();
  events_.push_back(
      CanvasEvent{event.kind, near_picture(event.x), near_picture(event.y), event.button});
  return true;
}

bool PointerInput::keep_key(int code) {
  if (screen_.kind != PointerScreen::Kind::Canvas) return false;
  constexpr std::size_t kMostEvents = 64;
  if (events_.size() >= kMostEvents) events_.pop_front();
  CanvasEvent event;
  event.kind = CanvasEvent::Kind::Key;
  event.code = code;
  events_.push_back(event);
  return true;
}

std::optional<CanvasEvent> PointerInput::take_event() {
  if (events_.empty()) return std::nullopt;
  const CanvasEvent event = events_.front();
  events_.pop_front();
  return event;
}

int PointerInput::add(const Gesture& gesture) {
  if (screen_.kind == PointerScreen::Kind::Nothing ||
      screen_.kind == PointerScreen::Kind::TextEntry ||
      screen_.kind == PointerScreen::Kind::Canvas) {
    return 0;
  }
  // Kept short: a player drumming on the screen faster than the game polls
  // does not queue up presses for seconds to come.
  constexpr std::size_t kMostWaiting = 4;
  if (waiting_.size() >= kMostWaiting) return 0;
  waiting_.push_back(gesture);
  return start_next();
}

int PointerInput::start_next() {
  while (held_ == 0 && described_ && !waiting_.empty()) {
    bool done = true;
    const Press press = press_for(waiting_.front(), done);
    if (done) waiting_.pop_front();
    if (press.code == 0) continue;  // a gesture that means nothing here
    held_ = press.scan_code;
    // A code alone (a key for a wait) is over at once; the next gesture
    // still waits for the screen to be described anew.
    described_ = false;
    return press.code;
  }
  return 0;
}

PointerInput::Press PointerInput::press_for(Gesture& gesture, bool& done) const {
  done = true;
  switch (screen_.kind) {
    case PointerScreen::Kind::Field:
      return field_press(gesture);
    case PointerScreen::Kind::Menu:
      return menu_press(gesture, done);
    case PointerScreen::Kind::AnyKey:
      // Any tap or swipe, and the Tempo button, is a key; the wait takes its
      // code and no key stays held for what follows.
      if (gesture.kind == Gesture::Kind::Button && gesture.button != TouchButton::Tempo) return {};
      return Press{0, keycode::kEnter};
    case PointerScreen::Kind::Nothing:
    case PointerScreen::Kind::TextEntry:
    case PointerScreen::Kind::Canvas:
      break;
  }
  return {};
}

PointerInput::Press PointerInput::field_press(const Gesture& gesture) const {
  const PointerScreen& s = screen_;
  const auto press = [](int scan_code) { return Press{scan_code, code_of(scan_code)}; };
  switch (gesture.kind) {
    case Gesture::Kind::Button:
      switch (gesture.button) {
        case TouchButton::Tempo:
          return press(scan::kSpace);
        case TouchButton::Sound:
          return press(scan::kS);
        case TouchButton::GiveUp:
          return press(scan::kEscape);
      }
      return {};
    case Gesture::Kind::Swipe:
      return press(gesture.arrow);
    case Gesture::Kind::Tap:
      break;
  }
  for (int i = 0; i < s.zone_count && i < PointerScreen::kMaxZones; ++i) {
    const PointerScreen::TapZone& zone = s.zones[static_cast<std::size_t>(i)];
    if (zone.rect.contains(gesture.x, gesture.y)) return press(zone.scan_code);
  }
  return {};
}

PointerInput::Press PointerInput::menu_press(Gesture& gesture, bool& done) const {
  const PointerScreen& s = screen_;
  const auto press = [](int scan_code) { return Press{scan_code, code_of(scan_code)}; };
  int target = -1;
  switch (gesture.kind) {
    case Gesture::Kind::Swipe:
      // Up and down move the selection, as the arrow keys do.
      if (gesture.arrow == scan::kUp || gesture.arrow == scan::kDown) return press(gesture.arrow);
      return {};
    case Gesture::Kind::Button:
      if (gesture.button == TouchButton::Tempo) return press(scan::kSpace);
      if (gesture.button != TouchButton::Sound) return {};
      target = s.sound_item;
      break;
    case Gesture::Kind::Tap:
      for (int i = 0; i < s.item_count && i < PointerScreen::kMaxItems; ++i) {
        if (s.items[static_cast<std::size_t>(i)].contains(gesture.x, gesture.y)) target = i;
      }
      break;
  }
  if (target < 0) return {};
  // The selection moves one item per press, then Enter chooses. A menu
  // that does not follow its keys gets no more presses than it has items.
  if (target != s.selected && gesture.presses < s.item_count) {
    ++gesture.presses;
    done = false;
    return press(target > s.selected ? scan::kDown : scan::kUp);
  }
  return target == s.selected ? press(scan::kEnter) : Press{};
}

}  // namespace rt
