// The desktop's window: made full screen or as a window, switched between
// the two, its icon, and the pointer's rules in it.
#pragma once

#include <SDL.h>

#include <memory>
#include <string>

#include "hosts/sdl/window_requests.h"
#include "hosts/windowed/picture_scaler.h"
#include "platform/formats/image.h"
#include "platform/screen.h"

namespace rt {

struct SdlOptions;

class SdlWindow {
 public:
  // `layout` is where the picture is in the window, for the pointer's rules.
  SdlWindow(const std::string& title, const SdlOptions& options, const PictureLayout& layout);
  ~SdlWindow();
  SdlWindow(const SdlWindow&) = delete;
  SdlWindow& operator=(const SdlWindow&) = delete;

  bool ok() const { return ok_; }
  SDL_Window* get() const { return window_.get(); }
  bool fullscreen() const;

  // Shows `picture` (0xAARRGGBB pixels) as the window's icon.
  void set_icon(const Image& picture);
  // Shows and raises the window, titled `title` when it was made without one.
  void show(const std::string& title);
  // The game's wishes for the pointer; in full screen it is also moved there.
  void set_mouse(const WindowRequests::Mouse& mouse, const PictureLayout& layout);
  // F11 or Alt+Enter: full screen at the desktop's own resolution, or back to
  // the window's last size.
  void toggle_fullscreen(const PictureLayout& layout);
  // In a window the pointer is the player's: never moved or held in, hidden
  // only over the picture. In full screen the game's wishes apply.
  // The pointer shows over the picture too while the player uses the mouse
  // (a finger does not count, nor the game moving the pointer), until a key
  // is pressed.
  void apply_pointer_rules(const PictureLayout& layout);
  void pointer_over(int x, int y, const PictureLayout& layout);
  void mouse_moved(Uint32 which, int x, int y, const PictureLayout& layout);
  void mouse_used(Uint32 which, const PictureLayout& layout);
  void key_pressed(const PictureLayout& layout);
  // The game wants a typed line (SDL's text input, and a keyboard on the
  // screen where SDL has one), or is done with it.
  void set_text_input(bool wanted, const PictureLayout& layout);

 private:
  struct Size {
    int w = Screen::kWidth;
    int h = Screen::kHeight;
  };
  // The largest whole multiple of the picture that fits the desktop's usable
  // area (without panels), at least the picture's own size.
  static Size best_window_size();

  std::string title_;
  std::unique_ptr<SDL_Window, decltype(&SDL_DestroyWindow)> window_{nullptr, &SDL_DestroyWindow};
  bool ok_ = false;
  Size window_size_;  // the size of the window when not full screen
  WindowRequests::Mouse mouse_{Screen::kWidth / 2, Screen::kHeight / 2, false, false};
  bool mouse_shown_ = false;  // the player uses the mouse: it stays in sight
  int warped_x_ = -1;         // where the game last put the pointer
  int warped_y_ = -1;
};

}  // namespace rt
