// What a browser's key event means to the game: the physical key by its
// KeyboardEvent.code name through the shared key table, the typed character
// from KeyboardEvent.key. No browser is needed to use or test it.
#pragma once

#include <string_view>
#include <vector>

#include "hosts/windowed/key_translation.h"

namespace rt {

struct BrowserKeyEvent {
  std::string_view code;  // the physical key: "KeyA", "ArrowUp", "Numpad8", ...
  std::string_view key;   // what it types ("a", "ä", "8") or its name ("Enter", "Dead")
  bool ctrl = false;
  bool alt = false;
  bool meta = false;
};

// A key went down (or repeats): its held state and codes, and its character
// unless Ctrl or the system key makes it a shortcut (Ctrl with Alt is AltGr
// on some systems and types). Returns whether the page keeps the event from
// the browser: not for shortcuts (Ctrl+R, Ctrl+W, ...) and not for function
// keys (F5 reloads, F11 is full screen, F12 the developer tools), so that
// the browser's own keys keep working.
bool browser_key_down(KeyTranslator& keys, const BrowserKeyEvent& event,
                      std::vector<KeyAction>& out);
void browser_key_up(KeyTranslator& keys, const BrowserKeyEvent& event, std::vector<KeyAction>& out);

}  // namespace rt
