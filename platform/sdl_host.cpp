// The desktop host: an SDL2 window showing the 800 x 600 screen, the keyboard,
// the clock and the sound. The window, its events and the refresh live on the
// main thread; the game runs on a thread of its own.

#include "platform/sdl_host.h"

#include <SDL.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <exception>
#include <iostream>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/host.h"
#include "platform/platform.h"
#include "platform/screen.h"

namespace rt {
namespace {

constexpr int kRefreshMs = 10;

bool windowed_wanted() {
  const char* value = std::getenv("RANGIERTRUBEL_WINDOWED");
  return value != nullptr && std::string(value) == "1";
}

// Things only the main thread may do with the window, asked for by the game
// thread and carried out by the main loop.
struct WindowRequests {
  bool show = false;
  std::string title;
  struct Mouse {
    int x = 0;
    int y = 0;
    bool visible = false;
    bool confine = false;
  };
  std::optional<Mouse> mouse;
};

class SdlHost final : public Host {
 public:
  explicit SdlHost(SdlAudio* audio) : audio_(audio) {}

  void attach(Platform& /*platform*/) override {}

  void open_display(const std::string& title) override {
    std::lock_guard guard(mutex_);
    requests_.show = true;
    requests_.title = title;
  }

  // Seconds since the host was made, at program start.
  double clock_seconds() override {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
  }

  void pause_ms(int ms) override {
    if (ms > 0) {
      std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    } else {
      std::this_thread::yield();
    }
  }

  void play_sound(const std::string& path) override {
    if (audio_ != nullptr) audio_->play_file(path);
  }

  void beep() override {
    if (audio_ != nullptr) audio_->play_beep();
  }

  void set_mouse(int x, int y, bool visible, bool confine) override {
    std::lock_guard guard(mutex_);
    requests_.mouse =
        WindowRequests::Mouse{std::clamp(x, 0, Screen::kWidth - 1),
                              std::clamp(y, 0, Screen::kHeight - 1), visible, confine};
  }

  WindowRequests take_requests() {
    std::lock_guard guard(mutex_);
    WindowRequests taken = std::move(requests_);
    requests_ = WindowRequests{};
    return taken;
  }

 private:
  SdlAudio* audio_;
  const std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
  std::mutex mutex_;  // guards requests_ (never the platform's lock)
  WindowRequests requests_;
};

// SDL itself, up for the lifetime of the object.
class SdlSystem {
 public:
  SdlSystem() {
    // Ctrl+C in a terminal ends the program as usual instead of turning into
    // a close request; the window's close button is handled as a key code.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "0");  // sharp pixels when scaled
    ok_ = SDL_Init(SDL_INIT_VIDEO) == 0;
  }
  ~SdlSystem() { SDL_Quit(); }
  SdlSystem(const SdlSystem&) = delete;
  SdlSystem& operator=(const SdlSystem&) = delete;

  bool ok() const { return ok_; }

 private:
  bool ok_ = false;
};

// The window with its renderer and the texture holding the shown screen.
class Desktop {
 public:
  explicit Desktop(const std::string& title) : title_(title) {
    const Uint32 hidden = SDL_WINDOW_HIDDEN;
    if (!windowed_wanted()) {
      window_.reset(SDL_CreateWindow(title.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                     Screen::kWidth, Screen::kHeight,
                                     hidden | SDL_WINDOW_FULLSCREEN_DESKTOP));
    }
    if (!window_) {
      window_.reset(SDL_CreateWindow(title.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                     Screen::kWidth, Screen::kHeight, hidden));
    }
    if (!window_) return;
    renderer_.reset(SDL_CreateRenderer(window_.get(), -1, 0));
    if (!renderer_) return;
    // The picture keeps its 4:3 shape; the rest of the screen stays black.
    SDL_RenderSetLogicalSize(renderer_.get(), Screen::kWidth, Screen::kHeight);
    texture_.reset(SDL_CreateTexture(renderer_.get(), SDL_PIXELFORMAT_ARGB8888,
                                     SDL_TEXTUREACCESS_STREAMING, Screen::kWidth, Screen::kHeight));
    if (!texture_) return;
    // The alpha byte of the game's pixels is data, not transparency.
    SDL_SetTextureBlendMode(texture_.get(), SDL_BLENDMODE_NONE);
    SDL_ShowCursor(SDL_DISABLE);
    SDL_EventState(SDL_MOUSEMOTION, SDL_IGNORE);
    SDL_StartTextInput();
  }

  ~Desktop() {
    if (window_) SDL_SetWindowFullscreen(window_.get(), 0);
  }
  Desktop(const Desktop&) = delete;
  Desktop& operator=(const Desktop&) = delete;

  bool ok() const { return texture_ != nullptr; }

  // Handles one window-system event; key events become key actions.
  void handle(const SDL_Event& event, KeyTranslator& keys, std::vector<KeyAction>& actions) {
    switch (event.type) {
      case SDL_KEYDOWN:
        if (event.key.keysym.scancode == SDL_SCANCODE_F11) {
          if (event.key.repeat == 0) toggle_fullscreen();
        } else {
          keys.key_down(event.key.keysym.scancode, (event.key.keysym.mod & KMOD_NUM) != 0, actions);
        }
        break;
      case SDL_KEYUP:
        if (event.key.keysym.scancode != SDL_SCANCODE_F11) {
          keys.key_up(event.key.keysym.scancode, actions);
        }
        break;
      case SDL_TEXTINPUT:
        keys.text(event.text.text, actions);
        break;
      case SDL_QUIT:
        keys.close_request(actions);
        break;
      case SDL_WINDOWEVENT:
        switch (event.window.event) {
          case SDL_WINDOWEVENT_CLOSE:
            keys.close_request(actions);
            break;
          case SDL_WINDOWEVENT_FOCUS_LOST:
            keys.release_all(actions);
            break;
          case SDL_WINDOWEVENT_SHOWN:
          case SDL_WINDOWEVENT_EXPOSED:
          case SDL_WINDOWEVENT_RESIZED:
          case SDL_WINDOWEVENT_SIZE_CHANGED:
          case SDL_WINDOWEVENT_RESTORED:
          case SDL_WINDOWEVENT_MAXIMIZED:
            present_wanted_ = true;
            break;
          default:
            break;
        }
        break;
      case SDL_RENDER_TARGETS_RESET:
      case SDL_RENDER_DEVICE_RESET:
        // The texture's contents may be gone: copy the whole screen again.
        full_copy_wanted_ = true;
        present_wanted_ = true;
        break;
      default:
        break;
    }
  }

  void carry_out(const WindowRequests& requests) {
    if (requests.show) {
      if (title_.empty() && !requests.title.empty()) {
        SDL_SetWindowTitle(window_.get(), requests.title.c_str());
      }
      SDL_ShowWindow(window_.get());
      SDL_RaiseWindow(window_.get());
      present_wanted_ = true;
    }
    if (requests.mouse) {
      const auto& mouse = *requests.mouse;
      SDL_ShowCursor(mouse.visible ? SDL_ENABLE : SDL_DISABLE);
      SDL_SetWindowGrab(window_.get(), mouse.confine ? SDL_TRUE : SDL_FALSE);
      if ((SDL_GetWindowFlags(window_.get()) & SDL_WINDOW_SHOWN) != 0) {
        // Screen pixels to window coordinates, through the scaling.
        int wx = 0;
        int wy = 0;
        SDL_RenderLogicalToWindow(renderer_.get(), static_cast<float>(mouse.x),
                                  static_cast<float>(mouse.y), &wx, &wy);
        SDL_WarpMouseInWindow(window_.get(), wx, wy);
      }
    }
  }

  // Copies the changed rows of the screen into the texture. The caller holds
  // the platform's lock.
  void copy_changed_rows(Screen& screen) {
    int first = 0;
    int last = 0;
    const bool changed = screen.take_changed_rows(first, last);
    if (full_copy_wanted_) {
      first = 0;
      last = Screen::kHeight - 1;
      full_copy_wanted_ = false;
    } else if (!changed) {
      return;
    }
    first = std::clamp(first, 0, Screen::kHeight - 1);
    last = std::clamp(last, first, Screen::kHeight - 1);
    const SDL_Rect rows{0, first, Screen::kWidth, last - first + 1};
    SDL_UpdateTexture(texture_.get(), &rows, screen.row(first),
                      Screen::kWidth * static_cast<int>(sizeof(Color)));
    present_wanted_ = true;
  }

  // Shows the texture when something new is in it or the window was
  // uncovered or resized.
  void present_if_wanted() {
    if (!present_wanted_) return;
    present_wanted_ = false;
    SDL_SetRenderDrawColor(renderer_.get(), 0, 0, 0, 255);
    SDL_RenderClear(renderer_.get());
    SDL_RenderCopy(renderer_.get(), texture_.get(), nullptr, nullptr);
    SDL_RenderPresent(renderer_.get());
  }

 private:
  void toggle_fullscreen() {
    SDL_Window* window = window_.get();
    if ((SDL_GetWindowFlags(window) & SDL_WINDOW_FULLSCREEN) != 0) {
      SDL_SetWindowFullscreen(window, 0);
      SDL_SetWindowSize(window, Screen::kWidth, Screen::kHeight);
      SDL_SetWindowPosition(window, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
    } else {
      // Full screen at the desktop's own resolution; stays a window if refused.
      SDL_SetWindowFullscreen(window, SDL_WINDOW_FULLSCREEN_DESKTOP);
    }
    present_wanted_ = true;
  }

  std::string title_;
  // Destroyed in reverse order: texture, renderer, window.
  std::unique_ptr<SDL_Window, decltype(&SDL_DestroyWindow)> window_{nullptr, &SDL_DestroyWindow};
  std::unique_ptr<SDL_Renderer, decltype(&SDL_DestroyRenderer)> renderer_{nullptr,
                                                                          &SDL_DestroyRenderer};
  std::unique_ptr<SDL_Texture, decltype(&SDL_DestroyTexture)> texture_{nullptr,
                                                                       &SDL_DestroyTexture};
  bool present_wanted_ = false;
  bool full_copy_wanted_ = true;  // the texture starts out undefined
};

void apply(Platform& platform, const KeyAction& action) {
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
  }
}

// Runs the game and turns the way it ended into an exit status.
int run_game(const std::function<void(Platform&)>& game, Platform& platform) {
  try {
    game(platform);
    return 0;
  } catch (const ProgramEnd& end) {
    return end.status;
  } catch (const std::exception& error) {
    std::cerr << "rangiertrubel: " << error.what() << '\n';
    return 1;
  } catch (...) {
    std::cerr << "rangiertrubel: unexpected error\n";
    return 1;
  }
}

}  // namespace

int run_on_sdl(const std::string& title, const std::filesystem::path& root,
               const std::function<void(Platform&)>& game) {
  const SdlSystem sdl;
  if (!sdl.ok()) {
    std::cerr << "rangiertrubel: no display: " << SDL_GetError() << '\n';
    return 1;
  }
  Desktop desktop(title);
  if (!desktop.ok()) {
    std::cerr << "rangiertrubel: no window: " << SDL_GetError() << '\n';
    return 1;
  }
  // The game runs without sound when no audio device can be had.
  SdlAudio audio;
  SdlHost host(audio.is_open() ? &audio : nullptr);
  Platform platform(host, root);

  std::atomic<bool> finished{false};
  int status = 0;
  std::thread game_thread([&] {
    status = run_game(game, platform);
    finished.store(true);
  });

  KeyTranslator keys;
  std::vector<KeyAction> actions;  // waiting for the platform's lock
  while (!finished.load()) {
    SDL_Event event;
    if (SDL_WaitEventTimeout(&event, kRefreshMs) != 0) {
      do {
        desktop.handle(event, keys, actions);
      } while (SDL_PollEvent(&event) != 0);
    }
    desktop.carry_out(host.take_requests());
    // While the game holds the lock (a drawing call, or the title screen
    // between lock_screen and unlock_screen) nothing is shown and the keys
    // wait; the window's events keep being taken meanwhile.
    std::unique_lock lock(platform.lock(), std::try_to_lock);
    if (lock.owns_lock()) {
      for (const KeyAction& action : actions) apply(platform, action);
      actions.clear();
      desktop.copy_changed_rows(platform.screen());
      lock.unlock();
    }
    desktop.present_if_wanted();
  }
  game_thread.join();
  return status;
}

}  // namespace rt
