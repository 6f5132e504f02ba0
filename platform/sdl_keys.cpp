// Keyboard translation of the desktop host: physical keys, numbered by their
// USB usage as SDL numbers its scancodes, to PC set-1 scan codes and to the
// codes of the key buffer.

#include <array>
#include <cstddef>
#include <cstdint>

#include "platform/cp437.h"
#include "platform/keyboard.h"
#include "platform/sdl_host.h"

namespace rt {
namespace {

// USB usages of the keys that need special treatment.
namespace usb {
constexpr int kEnter = 40;
constexpr int kEscape = 41;
constexpr int kBackspace = 42;
constexpr int kTab = 43;
constexpr int kF1 = 58;
constexpr int kF12 = 69;
constexpr int kInsert = 73;
constexpr int kUp = 82;
constexpr int kKeypadEnter = 88;
constexpr int kKeypad1 = 89;
constexpr int kKeypad5 = 93;
constexpr int kKeypadPeriod = 99;
}  // namespace usb

// Set-1 scan code by USB usage; 0 where the PC keyboard has no such key.
constexpr std::array<std::uint8_t, 232> kSet1 = [] {
  std::array<std::uint8_t, 232> t{};
  // Letters A..Z (usages 4..29) in their places on the PC keyboard.
  constexpr std::array<std::uint8_t, 26> letters = {30, 48, 46, 32, 18, 33, 34, 35, 23,
                                                    36, 37, 38, 50, 49, 24, 25, 16, 19,
                                                    31, 20, 22, 47, 17, 45, 21, 44};
  for (std::size_t i = 0; i < letters.size(); ++i) t[4 + i] = letters[i];
  // Digits 1..9 and 0 (usages 30..39) are 2..11.
  for (std::size_t i = 0; i < 10; ++i) t[30 + i] = static_cast<std::uint8_t>(2 + i);
  t[40] = 28;  // Enter
  t[41] = 1;   // Escape
  t[42] = 14;  // Backspace
  t[43] = 15;  // Tab
  t[44] = 57;  // Space
  t[45] = 12;  // -
  t[46] = 13;  // =
  t[47] = 26;  // [
  t[48] = 27;  // ]
  t[49] = 43;  // backslash
  t[50] = 43;  // the key left of Enter on European keyboards (#')
  t[51] = 39;  // ;
  t[52] = 40;  // '
  t[53] = 41;  // `
  t[54] = 51;  // ,
  t[55] = 52;  // .
  t[56] = 53;  // /
  t[57] = 58;  // Caps Lock
  for (std::size_t i = 0; i < 10; ++i) t[58 + i] = static_cast<std::uint8_t>(59 + i);  // F1..F10
  t[68] = 87;                                                                          // F11
  t[69] = 88;                                                                          // F12
  t[71] = 70;  // Scroll Lock
  t[73] = 82;  // Insert
  t[74] = 71;  // Home
  t[75] = 73;  // Page Up
  t[76] = 83;  // Delete
  t[77] = 79;  // End
  t[78] = 81;  // Page Down
  t[79] = 77;  // Right
  t[80] = 75;  // Left
  t[81] = 80;  // Down
  t[82] = 72;  // Up
  t[83] = 69;  // Num Lock
  t[84] = 53;  // keypad /
  t[85] = 55;  // keypad *
  t[86] = 74;  // keypad -
  t[87] = 78;  // keypad +
  t[88] = 28;  // keypad Enter
  // Keypad 1..9 and 0 share the codes of End, Down, Page Down, Left, the
  // middle key, Right, Home, Up, Page Up and Insert; the point is Delete.
  constexpr std::array<std::uint8_t, 11> keypad = {79, 80, 81, 75, 76, 77, 71, 72, 73, 82, 83};
  for (std::size_t i = 0; i < keypad.size(); ++i) t[89 + i] = keypad[i];
  t[100] = 86;  // the <> key of European keyboards
  t[101] = 93;  // Menu
  t[224] = 29;  // left Ctrl
  t[225] = 42;  // left Shift
  t[226] = 56;  // left Alt
  t[227] = 91;  // left Windows key
  t[228] = 29;  // right Ctrl
  t[229] = 54;  // right Shift
  t[230] = 56;  // right Alt (AltGr)
  t[231] = 92;  // right Windows key
  return t;
}();

}  // namespace

int set1_scan_code(int usb_usage) {
  if (usb_usage < 0 || usb_usage >= static_cast<int>(kSet1.size())) return 0;
  return kSet1[static_cast<std::size_t>(usb_usage)];
}

int key_down_code(int usb_usage, bool num_lock) {
  switch (usb_usage) {
    case usb::kEnter:
    case usb::kKeypadEnter:
      return keycode::kEnter;
    case usb::kEscape:
      return keycode::kEscape;
    case usb::kBackspace:
      return keycode::kBackspace;
    case usb::kTab:
      return keycode::kTab;
    default:
      break;
  }
  // Function keys and the block of Insert, Home, Page Up, Delete, End,
  // Page Down and the arrows.
  if ((usb_usage >= usb::kF1 && usb_usage <= usb::kF12) ||
      (usb_usage >= usb::kInsert && usb_usage <= usb::kUp)) {
    return extended_code(set1_scan_code(usb_usage));
  }
  // The keypad's digits and point type characters while Num Lock is on;
  // otherwise they are the movement keys (the middle key is nothing then).
  if (usb_usage >= usb::kKeypad1 && usb_usage <= usb::kKeypadPeriod && !num_lock &&
      usb_usage != usb::kKeypad5) {
    return extended_code(set1_scan_code(usb_usage));
  }
  return 0;
}

bool KeyTranslator::scan_held(int scan_code) const {
  for (int u = 0; u < kUsbUsages; ++u) {
    if (held_[static_cast<std::size_t>(u)] && set1_scan_code(u) == scan_code) return true;
  }
  return false;
}

void KeyTranslator::key_down(int usb_usage, bool num_lock, std::vector<KeyAction>& out) {
  if (usb_usage < 0 || usb_usage >= kUsbUsages) return;
  const int scan = set1_scan_code(usb_usage);
  held_[static_cast<std::size_t>(usb_usage)] = true;
  if (scan != 0) out.push_back({KeyAction::Kind::Down, scan});
  const int code = key_down_code(usb_usage, num_lock);
  if (code != 0) out.push_back({KeyAction::Kind::Code, code});
}

void KeyTranslator::key_up(int usb_usage, std::vector<KeyAction>& out) {
  if (usb_usage < 0 || usb_usage >= kUsbUsages) return;
  if (!held_[static_cast<std::size_t>(usb_usage)]) return;
  held_[static_cast<std::size_t>(usb_usage)] = false;
  const int scan = set1_scan_code(usb_usage);
  if (scan != 0 && !scan_held(scan)) out.push_back({KeyAction::Kind::Up, scan});
}

void KeyTranslator::text(std::string_view utf8, std::vector<KeyAction>& out) {
  for (char ch : utf8_to_cp437(utf8)) {
    const int code = static_cast<unsigned char>(ch);
    if (code >= 32 && code != 127) out.push_back({KeyAction::Kind::Code, code});
  }
}

void KeyTranslator::close_request(std::vector<KeyAction>& out) {
  out.push_back({KeyAction::Kind::Code, kCloseRequestCode});
}

void KeyTranslator::release_all(std::vector<KeyAction>& out) {
  for (int u = 0; u < kUsbUsages; ++u) {
    if (held_[static_cast<std::size_t>(u)]) key_up(u, out);
  }
}

}  // namespace rt
