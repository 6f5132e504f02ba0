// Key actions handed to the platform: the one place a windowed host turns
// the translated key events into the platform's key states and key buffer.
#pragma once

#include <vector>

#include "hosts/windowed/key_translation.h"

namespace rt {

class Platform;

// Hands `actions` to the platform in the order they happened.
void deliver_key_actions(Platform& platform, const std::vector<KeyAction>& actions);

}  // namespace rt
