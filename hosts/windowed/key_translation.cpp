// Keyboard translation shared by the windowed hosts: physical keys, numbered
// by their USB usage (as SDL numbers its scancodes; a browser's key names are
// looked up in the same table), to PC set-1 scan codes and to the codes of
// the key buffer.

#include "hosts/windowed/key_translation.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/formats/cp437.h"
#include "platform/keyboard.h"

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

// One row per physical key of the PC keyboard: its USB usage number, its
// set-1 scan code and the name a browser gives it (KeyboardEvent.code).
struct KeyName {
  int usb;
  std::uint8_t set1;
  std::string_view name;
};

constexpr std::array<KeyName, 104> kKeys = {{
    // Letters A..Z in their places on the PC keyboard.
    {4, 30, "KeyA"},
    {5, 48, "KeyB"},
    {6, 46, "KeyC"},
    {7, 32, "KeyD"},
    {8, 18, "KeyE"},
    {9, 33, "KeyF"},
    {10, 34, "KeyG"},
    {11, 35, "KeyH"},
    {12, 23, "KeyI"},
    {13, 36, "KeyJ"},
    {14, 37, "KeyK"},
    {15, 38, "KeyL"},
    {16, 50, "KeyM"},
    {17, 49, "KeyN"},
    {18, 24, "KeyO"},
    {19, 25, "KeyP"},
    {20, 16, "KeyQ"},
    {21, 19, "KeyR"},
    {22, 31, "KeyS"},
    {23, 20, "KeyT"},
    {24, 22, "KeyU"},
    {25, 47, "KeyV"},
    {26, 17, "KeyW"},
    {27, 45, "KeyX"},
    {28, 21, "KeyY"},
    {29, 44, "KeyZ"},
    // Digits 1..9 and 0.
    {30, 2, "Digit1"},
    {31, 3, "Digit2"},
    {32, 4, "Digit3"},
    {33, 5, "Digit4"},
    {34, 6, "Digit5"},
    {35, 7, "Digit6"},
    {36, 8, "Digit7"},
    {37, 9, "Digit8"},
    {38, 10, "Digit9"},
    {39, 11, "Digit0"},
    {40, 28, "Enter"},
    {41, 1, "Escape"},
    {42, 14, "Backspace"},
    {43, 15, "Tab"},
    {44, 57, "Space"},
    {45, 12, "Minus"},
    {46, 13, "Equal"},
    {47, 26, "BracketLeft"},
    {48, 27, "BracketRight"},
    {49, 43, "Backslash"},
    // The key left of Enter on European keyboards (#'); browsers call it
    // Backslash as well, so it has no name of its own here.
    {50, 43, ""},
    {51, 39, "Semicolon"},
    {52, 40, "Quote"},
    {53, 41, "Backquote"},
    {54, 51, "Comma"},
    {55, 52, "Period"},
    {56, 53, "Slash"},
    {57, 58, "CapsLock"},
    {58, 59, "F1"},
    {59, 60, "F2"},
    {60, 61, "F3"},
    {61, 62, "F4"},
    {62, 63, "F5"},
    {63, 64, "F6"},
    {64, 65, "F7"},
    {65, 66, "F8"},
    {66, 67, "F9"},
    {67, 68, "F10"},
    {68, 87, "F11"},
    {69, 88, "F12"},
    {71, 70, "ScrollLock"},
    {73, 82, "Insert"},
    {74, 71, "Home"},
    {75, 73, "PageUp"},
    {76, 83, "Delete"},
    {77, 79, "End"},
    {78, 81, "PageDown"},
    {79, 77, "ArrowRight"},
    {80, 75, "ArrowLeft"},
    {81, 80, "ArrowDown"},
    {82, 72, "ArrowUp"},
    {83, 69, "NumLock"},
    {84, 53, "NumpadDivide"},
    {85, 55, "NumpadMultiply"},
    {86, 74, "NumpadSubtract"},
    {87, 78, "NumpadAdd"},
    {88, 28, "NumpadEnter"},
    // Keypad 1..9 and 0 share the codes of End, Down, Page Down, Left, the
    // middle key, Right, Home, Up, Page Up and Insert; the point is Delete.
    {89, 79, "Numpad1"},
    {90, 80, "Numpad2"},
    {91, 81, "Numpad3"},
    {92, 75, "Numpad4"},
    {93, 76, "Numpad5"},
    {94, 77, "Numpad6"},
    {95, 71, "Numpad7"},
    {96, 72, "Numpad8"},
    {97, 73, "Numpad9"},
    {98, 82, "Numpad0"},
    {99, 83, "NumpadDecimal"},
    {100, 86, "IntlBackslash"},  // the <> key of European keyboards
    {101, 93, "ContextMenu"},
    {224, 29, "ControlLeft"},
    {225, 42, "ShiftLeft"},
    {226, 56, "AltLeft"},
    {227, 91, "MetaLeft"},
    {228, 29, "ControlRight"},
    {229, 54, "ShiftRight"},
    {230, 56, "AltRight"},  // AltGr
    {231, 92, "MetaRight"},
}};

// Set-1 scan code by USB usage, made from the table; 0 where the PC keyboard
// has no such key.
constexpr std::array<std::uint8_t, 232> kSet1 = [] {
  std::array<std::uint8_t, 232> t{};
  for (const KeyName& key : kKeys) t[static_cast<std::size_t>(key.usb)] = key.set1;
  return t;
}();

}  // namespace

int set1_scan_code(int usb_usage) {
  if (usb_usage < 0 || usb_usage >= static_cast<int>(kSet1.size())) return 0;
  return kSet1[static_cast<std::size_t>(usb_usage)];
}

int usb_usage_of_key_name(std::string_view code_name) {
  if (code_name.empty()) return 0;
  for (const KeyName& key : kKeys) {
    if (key.name == code_name) return key.usb;
  }
  return 0;
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

void KeyTranslator::control_letter(char letter, std::vector<KeyAction>& out) {
  if (letter >= 'a' && letter <= 'z') out.push_back({KeyAction::Kind::Code, letter - 'a' + 1});
}

void KeyTranslator::release_all(std::vector<KeyAction>& out) {
  for (int u = 0; u < kUsbUsages; ++u) {
    if (held_[static_cast<std::size_t>(u)]) key_up(u, out);
  }
}

}  // namespace rt
