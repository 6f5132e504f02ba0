// What the game thread asks of the window, carried out by the main thread.
#pragma once

#include <optional>
#include <string>

namespace rt {

// Things only the main thread may do with the window, asked for by the game
// thread and carried out by the main loop.
struct WindowRequests {
  bool show = false;
  std::string title;
  // The pointer: where it is (in screen pixels), whether it shows, and
  // whether it is held inside the window.
  struct Mouse {
    int x = 0;
    int y = 0;
    bool visible = false;
    bool confine = false;
  };
  std::optional<Mouse> mouse;
  std::optional<bool> text_input;        // the game wants a typed line, or is done with it
  std::optional<std::string> clipboard;  // text to put on the clipboard
};

}  // namespace rt
