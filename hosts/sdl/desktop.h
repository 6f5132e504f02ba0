// The desktop as the main thread drives it: the window, the picture in it and
// the window system's events, made together and kept in step.
#pragma once

#include <string>
#include <vector>

#include "hosts/sdl/sdl_host.h"
#include "hosts/sdl/sdl_window.h"
#include "hosts/sdl/window_events.h"
#include "hosts/sdl/window_picture.h"
#include "hosts/sdl/window_requests.h"

namespace rt {

class Desktop {
 public:
  Desktop(const std::string& title, const SdlOptions& options)
      : picture_(options.integer_scale),
        window_(title, options, picture_.layout()),
        events_(window_, picture_) {}

  bool ok() const { return window_.ok(); }
  bool close_requested() const { return events_.close_requested(); }
  bool away() const { return events_.away(); }
  bool controllers_open() const { return events_.controllers_open(); }
  void set_icon(const Image& picture) { window_.set_icon(picture); }

  void handle(const SDL_Event& event, KeyTranslator& keys, std::vector<KeyAction>& actions,
              std::vector<PointerAction>& pointer) {
    events_.handle(event, keys, actions, pointer);
  }
  void carry_out(const WindowRequests& requests) {
    if (requests.show) {
      window_.show(requests.title);
      picture_.want_whole_window();
    }
    if (requests.mouse) window_.set_mouse(*requests.mouse, picture_.layout());
    if (requests.text_input) window_.set_text_input(*requests.text_input, picture_.layout());
    if (requests.clipboard) SDL_SetClipboardText(requests.clipboard->c_str());
  }
  void set_paused(bool paused) { picture_.set_paused(paused); }
  bool copy_changed_rows(Screen& screen) { return picture_.copy_changed_rows(screen); }
  bool present_if_wanted() { return picture_.present_if_wanted(window_); }

 private:
  WindowPicture picture_;  // first: the window's pointer rules read its layout
  SdlWindow window_;
  WindowEvents events_;
};

}  // namespace rt
