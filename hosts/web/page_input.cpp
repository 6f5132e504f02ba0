// The page's pointer, touch buttons and text field handed to the platform.

#include "hosts/web/page_input.h"

#include <cstddef>

#include "platform/formats/cp437.h"
#include "platform/keyboard.h"
#include "platform/platform.h"

namespace rt {

std::size_t apply_page_events(Platform& platform, std::span<const int> numbers) {
  std::size_t i = 0;
  for (; i + page_event::kNumbers <= numbers.size(); i += page_event::kNumbers) {
    const int kind = numbers[i];
    if ((kind == page_event::kCharacter || kind == page_event::kCode || kind == page_event::kKey) &&
        platform.key_buffer_room() == 0) {
      return i;
    }
    const int a = numbers[i + 1];
    const int b = numbers[i + 2];
    switch (kind) {
      case page_event::kDown:
        platform.host_pointer_down(a, b);
        break;
      case page_event::kSecondaryDown:
        platform.host_pointer_down(a, b, PointerButton::Secondary);
        break;
      case page_event::kKey:
        if (is_key_code(a)) platform.host_key_code(a);
        break;
      case page_event::kMove:
        platform.host_pointer_move(a, b);
        break;
      case page_event::kUp:
        platform.host_pointer_up(a, b);
        break;
      case page_event::kButton:
        if (a == 0) platform.host_pointer_button(TouchButton::Tempo);
        if (a == 1) platform.host_pointer_button(TouchButton::Sound);
        if (a == 2) platform.host_pointer_button(TouchButton::GiveUp);
        break;
      case page_event::kCharacter: {
        // A typed character as the keyboard's would be: its code page 437
        // byte, printable ones only.
        const int byte = a >= 0 ? unicode_to_cp437(static_cast<char32_t>(a)) : -1;
        if (byte >= keycode::kSpace && byte != 0x7F) platform.host_key_code(byte);
        break;
      }
      case page_event::kCode:
        if (a == keycode::kEnter || a == keycode::kBackspace) platform.host_key_code(a);
        break;
      default:
        break;
    }
  }
  return numbers.size();
}

}  // namespace rt
