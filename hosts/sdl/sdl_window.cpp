// The desktop's window, full screen or not, and the pointer in it.
#include "hosts/sdl/sdl_window.h"

#include <algorithm>
#include <cstdlib>

#include "hosts/sdl/sdl_host.h"

namespace rt {
namespace {

bool windowed_wanted() {
  const char* value = std::getenv("RANGIERTRUBEL_WINDOWED");
  return value != nullptr && std::string(value) == "1";
}

}  // namespace

SdlWindow::SdlWindow(const std::string& title, const SdlOptions& options,
                     const PictureLayout& layout)
    : title_(title) {
  window_size_ = best_window_size();
  const bool fullscreen = options.fullscreen.value_or(!windowed_wanted());
  const Uint32 flags = SDL_WINDOW_HIDDEN | SDL_WINDOW_RESIZABLE;
  if (fullscreen) {
    // Made at the desktop's size, so that the window covers the screen
    // even where no window manager enlarges it.
    SDL_DisplayMode mode{};
    if (SDL_GetDesktopDisplayMode(0, &mode) == 0) {
      window_.reset(SDL_CreateWindow(title.c_str(), 0, 0, mode.w, mode.h,
                                     flags | SDL_WINDOW_FULLSCREEN_DESKTOP));
    }
  }
  if (!window_) {
    window_.reset(SDL_CreateWindow(title.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                   window_size_.w, window_size_.h, flags));
  }
  if (!window_) return;
  if (SDL_GetWindowSurface(window_.get()) == nullptr) return;
  ok_ = true;
  SDL_SetWindowMinimumSize(window_.get(), Screen::kWidth / 4, Screen::kHeight / 4);
  // Typed characters come as text input, also for the keys that start a
  // level. Where SDL shows a keyboard on the screen for it, that keyboard
  // comes up only for the name entry.
  if (!SDL_HasScreenKeyboardSupport()) SDL_StartTextInput();
  apply_pointer_rules(layout);
}

SdlWindow::~SdlWindow() {
  if (window_) SDL_SetWindowFullscreen(window_.get(), 0);
}

bool SdlWindow::fullscreen() const {
  return (SDL_GetWindowFlags(window_.get()) & SDL_WINDOW_FULLSCREEN) != 0;
}

void SdlWindow::set_icon(const Image& picture) {
  if (!window_ || picture.pixels.empty()) return;
  SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormatFrom(
      const_cast<Color*>(picture.pixels.data()), picture.width, picture.height, 32,
      picture.width * 4, SDL_PIXELFORMAT_ARGB8888);
  if (surface == nullptr) return;
  SDL_SetWindowIcon(window_.get(), surface);
  SDL_FreeSurface(surface);
}

void SdlWindow::show(const std::string& title) {
  if (title_.empty() && !title.empty()) SDL_SetWindowTitle(window_.get(), title.c_str());
  SDL_ShowWindow(window_.get());
  SDL_RaiseWindow(window_.get());
}

void SdlWindow::set_mouse(const WindowRequests::Mouse& mouse, const PictureLayout& layout) {
  mouse_ = mouse;
  apply_pointer_rules(layout);
  if (fullscreen() && (SDL_GetWindowFlags(window_.get()) & SDL_WINDOW_SHOWN) != 0) {
    // Screen pixels to window coordinates, through the scaling.
    const int wx = layout.left + static_cast<int>(static_cast<long long>(mouse_.x) * layout.width /
                                                  Screen::kWidth);
    const int wy = layout.top + static_cast<int>(static_cast<long long>(mouse_.y) * layout.height /
                                                 Screen::kHeight);
    // The motion this makes is the game's, not the player's.
    warped_x_ = wx;
    warped_y_ = wy;
    SDL_WarpMouseInWindow(window_.get(), wx, wy);
  }
}

void SdlWindow::set_text_input(bool wanted, const PictureLayout& layout) {
  if (wanted) {
    // The picture is where the typing shows.
    SDL_Rect picture{layout.left, layout.top, layout.width, layout.height};
    SDL_SetTextInputRect(&picture);
    SDL_StartTextInput();
  } else if (SDL_HasScreenKeyboardSupport()) {
    SDL_StopTextInput();
  }
}

void SdlWindow::mouse_moved(Uint32 which, int x, int y, const PictureLayout& layout) {
  if (x != warped_x_ || y != warped_y_) mouse_used(which, layout);
  warped_x_ = warped_y_ = -1;
  pointer_over(x, y, layout);
}

void SdlWindow::mouse_used(Uint32 which, const PictureLayout& layout) {
  if (which == SDL_TOUCH_MOUSEID || mouse_shown_) return;
  mouse_shown_ = true;
  apply_pointer_rules(layout);
}

void SdlWindow::key_pressed(const PictureLayout& layout) {
  if (!mouse_shown_) return;
  mouse_shown_ = false;
  apply_pointer_rules(layout);
}

void SdlWindow::toggle_fullscreen(const PictureLayout& layout) {
  SDL_Window* window = window_.get();
  if (fullscreen()) {
    SDL_SetWindowFullscreen(window, 0);
    SDL_SetWindowSize(window, window_size_.w, window_size_.h);
    SDL_SetWindowPosition(window, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
  } else {
    // Full screen at the desktop's own resolution; stays a window if
    // refused. The window is made as large as the screen first, for
    // desktops without a window manager to do it; its size is kept for
    // the way back.
    SDL_GetWindowSize(window, &window_size_.w, &window_size_.h);
    SDL_DisplayMode mode{};
    const int display = std::max(0, SDL_GetWindowDisplayIndex(window));
    if (SDL_GetDesktopDisplayMode(display, &mode) == 0) {
      SDL_Rect bounds{};
      SDL_GetDisplayBounds(display, &bounds);
      SDL_SetWindowPosition(window, bounds.x, bounds.y);
      SDL_SetWindowSize(window, mode.w, mode.h);
    }
    SDL_SetWindowFullscreen(window, SDL_WINDOW_FULLSCREEN_DESKTOP);
  }
  apply_pointer_rules(layout);
}

void SdlWindow::apply_pointer_rules(const PictureLayout& layout) {
  if (!window_) return;
  if (fullscreen()) {
    SDL_SetWindowGrab(window_.get(), mouse_.confine ? SDL_TRUE : SDL_FALSE);
    SDL_ShowCursor(mouse_.visible || mouse_shown_ ? SDL_ENABLE : SDL_DISABLE);
    return;
  }
  SDL_SetWindowGrab(window_.get(), SDL_FALSE);
  int x = 0;
  int y = 0;
  SDL_GetMouseState(&x, &y);
  pointer_over(x, y, layout);
}

void SdlWindow::pointer_over(int x, int y, const PictureLayout& layout) {
  if (fullscreen()) return;
  SDL_ShowCursor(layout.contains(x, y) && !mouse_shown_ ? SDL_DISABLE : SDL_ENABLE);
}

SdlWindow::Size SdlWindow::best_window_size() {
  SDL_Rect usable{};
  if (SDL_GetDisplayUsableBounds(0, &usable) != 0) return {};
  const int factor = std::max(1, std::min(usable.w / Screen::kWidth, usable.h / Screen::kHeight));
  return {Screen::kWidth * factor, Screen::kHeight * factor};
}

}  // namespace rt
