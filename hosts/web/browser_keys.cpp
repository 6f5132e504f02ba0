// Browser key events through the shared key table.

#include "hosts/web/browser_keys.h"

#include <string_view>

namespace rt {

namespace {

// True when `utf8` is exactly one character (one code point, well formed):
// a typed character rather than a key name such as "Enter" or "Dead".
bool single_character(std::string_view utf8) {
  if (utf8.empty()) return false;
  const auto lead = static_cast<unsigned char>(utf8[0]);
  std::size_t length = 0;
  if (lead < 0x80) {
    length = 1;
  } else if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
  } else {
    return false;
  }
  if (utf8.size() != length) return false;
  for (std::size_t i = 1; i < length; ++i) {
    if ((static_cast<unsigned char>(utf8[i]) & 0xC0) != 0x80) return false;
  }
  return true;
}

bool function_key(std::string_view code) {
  return code.size() >= 2 && code.size() <= 3 && code[0] == 'F' && code[1] >= '1' && code[1] <= '9';
}

}  // namespace

bool browser_key_down(KeyTranslator& keys, const BrowserKeyEvent& event,
                      std::vector<KeyAction>& out) {
  const int usage = usb_usage_of_key_name(event.code);
  const bool typed = single_character(event.key);
  // The keypad types its digits while Num Lock is on; otherwise the browser
  // names the movement key it stands for.
  keys.key_down(usage, typed, out);
  const bool shortcut = event.meta || (event.ctrl && !event.alt);
  if (shortcut && !event.meta && event.key.size() == 1) {
    // Ctrl with a letter is its control code, by the letter the layout
    // types; the page keeps only the editor's Ctrl+Z and Ctrl+Y, undo and
    // redo, from the browser.
    const char letter = static_cast<char>(event.key[0] | 0x20);
    if (letter >= 'a' && letter <= 'z') {
      keys.control_letter(letter, out);
      return letter == 'z' || letter == 'y';
    }
  }
  if (shortcut) return false;
  if (typed) keys.text(event.key, out);
  return !function_key(event.code) && (usage != 0 || typed);
}

void browser_key_up(KeyTranslator& keys, const BrowserKeyEvent& event,
                    std::vector<KeyAction>& out) {
  keys.key_up(usb_usage_of_key_name(event.code), out);
}

}  // namespace rt
