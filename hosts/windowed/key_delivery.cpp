// Key actions into the platform's key states and key buffer.
#include "hosts/windowed/key_delivery.h"

#include "platform/platform.h"

namespace rt {

void deliver_key_actions(Platform& platform, const std::vector<KeyAction>& actions) {
  for (const KeyAction& action : actions) {
    switch (action.kind) {
      case KeyAction::Kind::Down:
        platform.host_key_down(action.value);
        break;
      case KeyAction::Kind::Up:
        platform.host_key_up(action.value);
        break;
      case KeyAction::Kind::Code:
        platform.host_key_code(action.value);
        break;
      case KeyAction::Kind::Forget:
        platform.host_forget_key_presses();
        break;
    }
  }
}

}  // namespace rt
