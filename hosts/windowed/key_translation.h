// The keyboard translation every windowed host shares: physical keys, named
// by their USB usage numbers (SDL's scancodes use the same numbers; a
// browser's KeyboardEvent.code names are looked up here), to PC set-1 scan
// codes, to the codes of the key buffer, and typed text to code page 437.
#pragma once

#include <array>
#include <string_view>
#include <vector>

namespace rt {

// What a key event means to the platform: a held state set or cleared, or a
// code for the key buffer.
struct KeyAction {
  // Forget: the player left, presses no poll has seen are forgotten (after
  // the Ups of the keys held then).
  enum class Kind { Down, Up, Code, Forget };
  Kind kind = Kind::Code;
  int value = 0;  // a scan code for Down and Up, a buffer code for Code
  friend bool operator==(const KeyAction&, const KeyAction&) = default;
};

// The PC set-1 scan code of a physical key given as its USB usage number,
// or 0 for a key the PC set lacks.
int set1_scan_code(int usb_usage);

// The USB usage number of a physical key given by the name a browser's
// KeyboardEvent.code gives it ("KeyA", "ArrowUp", "Numpad8", ...), or 0 for
// a name the PC keyboard has no key for.
int usb_usage_of_key_name(std::string_view code_name);

// The key-buffer code a key-down event adds by itself: the keycode:: codes of
// Enter, Escape, Backspace and Tab, and the extended code for keys without a
// character (arrows, Home, End, Insert, Delete, Page Up, Page Down,
// function keys; the keypad's movement keys while Num Lock is off). 0 for
// keys whose character arrives as typed text, and for keys that add nothing
// (Shift, Ctrl, ...).
int key_down_code(int usb_usage, bool num_lock);

// Turns a window system's keyboard events into key actions. Remembers which
// physical keys are held, so that a scan code shared by two keys (the arrow
// and the keypad's 8) stays held until both are up.
class KeyTranslator {
 public:
  static constexpr int kUsbUsages = 512;

  // A key went down. The window system's auto-repeat of a held key comes
  // here again: the state stays held and the key's code is added again.
  void key_down(int usb_usage, bool num_lock, std::vector<KeyAction>& out);
  void key_up(int usb_usage, std::vector<KeyAction>& out);
  // Typed text in UTF-8: each character with a code page 437 byte of 32 or
  // more (DEL excepted) enters the key buffer as that byte.
  void text(std::string_view utf8, std::vector<KeyAction>& out);
  // Ctrl with the letter 'a'..'z' (as the keyboard's layout names the key):
  // its control code, 1 to 26, enters the key buffer (Ctrl+Z is 26).
  void control_letter(char letter, std::vector<KeyAction>& out);
  // The window lost the keyboard: every held key counts as released.
  void release_all(std::vector<KeyAction>& out);

 private:
  bool scan_held(int scan_code) const;
  std::array<bool, kUsbUsages> held_{};
};

}  // namespace rt
