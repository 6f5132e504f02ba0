// The window system's events on the desktop: keys and game controllers into
// key actions, the screen toggle, focus and minimising, the close request.
#pragma once

#include <SDL.h>

#include <map>
#include <memory>
#include <vector>

#include "hosts/windowed/gamepad_translation.h"
#include "hosts/windowed/key_translation.h"
#include "platform/pointer_input.h"

namespace rt {

class Platform;
class SdlWindow;

// The primary pointer on the picture, in picture pixels, waiting for the
// platform's lock like the key actions.
struct PointerAction {
  enum class Kind { Down, Move, Up } kind = Kind::Down;
  int x = 0;
  int y = 0;
  PointerButton button = PointerButton::Primary;
};

// Hands `actions` to the platform in the order they happened.
void deliver_pointer_actions(Platform& platform, const std::vector<PointerAction>& actions);
class WindowPicture;

class WindowEvents {
 public:
  WindowEvents(SdlWindow& window, WindowPicture& picture) : window_(window), picture_(picture) {}

  bool close_requested() const { return close_requested_; }
  // The player is away: the window lost the keyboard or is minimised.
  bool away() const { return focus_lost_ || minimised_; }
  bool controllers_open() const { return !controllers_.empty(); }

  // Handles one window-system event; key and controller events become key
  // actions, the left mouse button (and a finger, which SDL gives as the
  // left button too) pointer actions.
  void handle(const SDL_Event& event, KeyTranslator& keys, std::vector<KeyAction>& actions,
              std::vector<PointerAction>& pointer);

 private:
  static bool is_screen_toggle(const SDL_Keysym& key);
  void handle_window_event(const SDL_WindowEvent& event, KeyTranslator& keys,
                           std::vector<KeyAction>& actions);
  PointerAction picture_point(PointerAction::Kind kind, int x, int y) const;
  void open_controller(int device_index);
  void close_controller(int instance_id, std::vector<KeyAction>& actions);

  struct ControllerClose {
    void operator()(SDL_GameController* pad) const { SDL_GameControllerClose(pad); }
  };

  SdlWindow& window_;
  WindowPicture& picture_;
  bool close_requested_ = false;
  bool focus_lost_ = false;
  bool minimised_ = false;
  std::map<int, bool> toggles_held_;  // scan codes of F11 / Alt+Enter held
  GamepadTranslator pads_;
  std::map<SDL_JoystickID, std::unique_ptr<SDL_GameController, ControllerClose>> controllers_;
};

}  // namespace rt
