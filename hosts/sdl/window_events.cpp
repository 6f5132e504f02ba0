// The desktop's window-system events into key actions and window changes.
#include "hosts/sdl/window_events.h"

#include "hosts/sdl/sdl_window.h"
#include "hosts/sdl/window_picture.h"
#include "platform/platform.h"

namespace rt {

void deliver_pointer_actions(Platform& platform, const std::vector<PointerAction>& actions) {
  for (const PointerAction& action : actions) {
    switch (action.kind) {
      case PointerAction::Kind::Down:
        platform.host_pointer_down(action.x, action.y, action.button);
        break;
      case PointerAction::Kind::Move:
        platform.host_pointer_move(action.x, action.y);
        break;
      case PointerAction::Kind::Up:
        platform.host_pointer_up(action.x, action.y);
        break;
    }
  }
}

void WindowEvents::handle(const SDL_Event& event, KeyTranslator& keys,
                          std::vector<KeyAction>& actions, std::vector<PointerAction>& pointer) {
  switch (event.type) {
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
      if ((event.button.button == SDL_BUTTON_LEFT || event.button.button == SDL_BUTTON_RIGHT) &&
          !away()) {
        window_.mouse_used(event.button.which, picture_.layout());
        PointerAction action = picture_point(
            event.type == SDL_MOUSEBUTTONDOWN ? PointerAction::Kind::Down : PointerAction::Kind::Up,
            event.button.x, event.button.y);
        if (event.button.button == SDL_BUTTON_RIGHT) action.button = PointerButton::Secondary;
        pointer.push_back(action);
      }
      break;
    case SDL_KEYDOWN:
      // Back at the keyboard: the pointer goes out of sight again.
      window_.key_pressed(picture_.layout());
      if (is_screen_toggle(event.key.keysym)) {
        // F11 or Alt+Enter: neither reaches the game, up or down.
        toggles_held_[event.key.keysym.scancode] = true;
        if (event.key.repeat == 0) {
          window_.toggle_fullscreen(picture_.layout());
          picture_.want_whole_window();
        }
      } else {
        keys.key_down(event.key.keysym.scancode, (event.key.keysym.mod & KMOD_NUM) != 0, actions);
        // Ctrl with a letter types no text: its control code, by the letter
        // the layout puts on the key (Ctrl+Z is Z on any keyboard).
        const SDL_Keycode letter = event.key.keysym.sym;
        if ((event.key.keysym.mod & KMOD_CTRL) != 0 && (event.key.keysym.mod & KMOD_ALT) == 0 &&
            letter >= SDLK_a && letter <= SDLK_z) {
          keys.control_letter(static_cast<char>(letter), actions);
        }
      }
      break;
    case SDL_KEYUP:
      if (toggles_held_.erase(event.key.keysym.scancode) == 0 &&
          event.key.keysym.scancode != SDL_SCANCODE_F11) {
        keys.key_up(event.key.keysym.scancode, actions);
      }
      break;
    case SDL_TEXTINPUT:
      keys.text(event.text.text, actions);
      break;
    case SDL_MOUSEMOTION:
      window_.mouse_moved(event.motion.which, event.motion.x, event.motion.y, picture_.layout());
      if ((event.motion.state & SDL_BUTTON_LMASK) != 0 && !away()) {
        pointer.push_back(picture_point(PointerAction::Kind::Move, event.motion.x, event.motion.y));
      }
      break;
    case SDL_QUIT:
      close_requested_ = true;
      break;
    case SDL_CONTROLLERDEVICEADDED:
      open_controller(event.cdevice.which);
      break;
    case SDL_CONTROLLERDEVICEREMOVED:
      close_controller(event.cdevice.which, actions);
      break;
    case SDL_CONTROLLERBUTTONDOWN:
    case SDL_CONTROLLERBUTTONUP:
      if (!away()) {
        pads_.button(event.cbutton.which, event.cbutton.button,
                     event.type == SDL_CONTROLLERBUTTONDOWN, actions);
      }
      break;
    case SDL_CONTROLLERAXISMOTION:
      if (!away()) pads_.axis(event.caxis.which, event.caxis.axis, event.caxis.value, actions);
      break;
    case SDL_WINDOWEVENT:
      handle_window_event(event.window, keys, actions);
      break;
    default:
      break;
  }
}

PointerAction WindowEvents::picture_point(PointerAction::Kind kind, int x, int y) const {
  PointerAction action;
  action.kind = kind;
  picture_.layout().to_picture(x, y, action.x, action.y);
  return action;
}

bool WindowEvents::is_screen_toggle(const SDL_Keysym& key) {
  if (key.scancode == SDL_SCANCODE_F11) return true;
  const bool enter = key.scancode == SDL_SCANCODE_RETURN || key.scancode == SDL_SCANCODE_KP_ENTER;
  return enter && (key.mod & KMOD_ALT) != 0;
}

void WindowEvents::handle_window_event(const SDL_WindowEvent& event, KeyTranslator& keys,
                                       std::vector<KeyAction>& actions) {
  switch (event.event) {
    case SDL_WINDOWEVENT_CLOSE:
      close_requested_ = true;
      break;
    case SDL_WINDOWEVENT_FOCUS_LOST:
      focus_lost_ = true;
      keys.release_all(actions);
      pads_.release_all(actions);
      actions.push_back({KeyAction::Kind::Forget, 0});
      break;
    case SDL_WINDOWEVENT_FOCUS_GAINED:
      focus_lost_ = false;
      break;
    case SDL_WINDOWEVENT_MINIMIZED:
    case SDL_WINDOWEVENT_HIDDEN:
      // Minimised, or hidden (another virtual desktop): away as well.
      minimised_ = true;
      keys.release_all(actions);
      pads_.release_all(actions);
      actions.push_back({KeyAction::Kind::Forget, 0});
      break;
    case SDL_WINDOWEVENT_SHOWN:
    case SDL_WINDOWEVENT_RESTORED:
    case SDL_WINDOWEVENT_MAXIMIZED:
      minimised_ = false;
      picture_.want_whole_window();
      break;
    case SDL_WINDOWEVENT_EXPOSED:
    case SDL_WINDOWEVENT_RESIZED:
    case SDL_WINDOWEVENT_SIZE_CHANGED:
      picture_.want_whole_window();
      break;
    default:
      break;
  }
}

void WindowEvents::open_controller(int device_index) {
  if (SDL_IsGameController(device_index) == SDL_FALSE) return;
  SDL_GameController* pad = SDL_GameControllerOpen(device_index);
  if (pad == nullptr) return;
  const SDL_JoystickID id = SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(pad));
  auto& slot = controllers_[id];
  if (slot) {
    SDL_GameControllerClose(pad);  // already open: SDL counts the opens
    return;
  }
  slot.reset(pad);
}

void WindowEvents::close_controller(int instance_id, std::vector<KeyAction>& actions) {
  pads_.removed(instance_id, actions);
  controllers_.erase(instance_id);
}

}  // namespace rt
