// The desktop host: an SDL2 window showing the 800 x 600 screen, the keyboard,
// game controllers, the clock and the sound. The window, its events and the
// refresh live on the main thread; the game runs on a thread of its own.

#include "hosts/sdl/sdl_host.h"

#include <SDL.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <iostream>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "hosts/windowed/gamepad_translation.h"
#include "hosts/windowed/key_translation.h"

#ifndef _WIN32
#include <pthread.h>

#include <csignal>
#endif

#include "hosts/windowed/picture_scaler.h"
#include "platform/formats/bmp.h"
#include "platform/host.h"
#include "platform/platform.h"
#include "platform/screen.h"

namespace rt {
namespace {

// While the game holds the screen's lock, or keys wait for it, the refresh
// looks again after this long. Otherwise the main thread sleeps until an
// event comes, the game draws something (the game thread wakes it), or
// kIdleWaitMs has passed: the idle wake-up lets SDL notice a game controller
// plugged in meanwhile and lets the sound device close once silent.
constexpr int kRefreshMs = 10;
constexpr int kIdleWaitMs = 1000;
// With a game controller plugged in SDL must be asked for its state: the
// main thread then looks this often.
constexpr int kControllerLookMs = 10;

bool windowed_wanted() {
  const char* value = std::getenv("RANGIERTRUBEL_WINDOWED");
  return value != nullptr && std::string(value) == "1";
}

// With RANGIERTRUBEL_TRACE set (to anything), every presented frame is
// reported on standard error as "rangiertrubel: frame N at SECONDS", SECONDS
// being the wall clock (Unix time, microseconds), so that the start-up can be
// measured from outside the process. Nothing is written otherwise.
bool trace_wanted() {
  return std::getenv("RANGIERTRUBEL_TRACE") != nullptr;
}

void trace_frame(long long number) {
  const auto since_epoch = std::chrono::duration_cast<std::chrono::microseconds>(
                               std::chrono::system_clock::now().time_since_epoch())
                               .count();
  std::fprintf(stderr, "rangiertrubel: frame %lld at %lld.%06lld\n", number,
               static_cast<long long>(since_epoch / 1000000),
               static_cast<long long>(since_epoch % 1000000));
}

// Lets the game thread end the main thread's idle wait. The main thread arms
// it before its last look at the screen ahead of an idle wait; the first
// wake after that posts one event, later ones do nothing until it is armed
// again. While the refresh is busy it stays unarmed, so the game's frequent
// pauses never post anything.
class Waker {
 public:
  Waker() : event_type_(SDL_RegisterEvents(1)) {}

  void arm() { armed_.store(true); }
  void disarm() { armed_.store(false); }
  bool armed() const { return armed_.load(); }

  // Any thread.
  void wake() {
    if (event_type_ == static_cast<Uint32>(-1) || !armed_.exchange(false)) return;
    SDL_Event event{};
    event.type = event_type_;
    SDL_PushEvent(&event);
  }

 private:
  const Uint32 event_type_;
  std::atomic<bool> armed_{false};
};

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

// The host as the game thread sees it. Its clock is the game's clock: it
// stands still while the player is away, and every pause waits for the
// player's return.
class SdlHost final : public Host {
 public:
  using Clock = std::chrono::steady_clock;

  SdlHost(SdlAudio* audio, Waker& waker) : audio_(audio), waker_(waker) {}

  void attach(Platform& platform) override { platform_ = &platform; }

  void open_display(const std::string& title) override {
    {
      std::lock_guard guard(mutex_);
      requests_.show = true;
      requests_.title = title;
    }
    waker_.wake();
  }

  // Seconds since the host was made, at program start, less the time away.
  double clock_seconds() override {
    std::lock_guard guard(clock_mutex_);
    return seconds_at(Clock::now());
  }

  void pause_ms(int ms) override {
    if (ms <= 0) {
      show_drawing();
      std::this_thread::yield();
      return;
    }
    pause_until(clock_seconds() + ms / 1000.0);
  }

  void pause_until(double seconds) override {
    show_drawing();
    std::unique_lock lock(clock_mutex_);
    while (!closing()) {
      if (away_) {
        clock_changed_.wait(lock);
        continue;
      }
      const double left = seconds - seconds_at(Clock::now());
      if (left <= 0.0) return;
      clock_changed_.wait_for(lock, std::chrono::duration<double>(left));
    }
  }

  void wait_for_key(double look_seconds, const std::function<bool()>& arrived) override {
    show_drawing();
    const double start = clock_seconds();
    {
      // `arrived` takes the platform's lock inside this one; the main thread
      // never takes them the other way round.
      std::unique_lock lock(clock_mutex_);
      clock_changed_.wait(lock, [&] { return arrived(); });
    }
    if (closing() || look_seconds <= 0.0) return;
    const double waited = clock_seconds() - start;
    const double looks = std::ceil(waited / look_seconds - 1e-9);
    pause_until(start + std::max(looks, 0.0) * look_seconds);
  }

  void play_sound(const std::string& path) override {
    if (audio_ != nullptr) audio_->play_file(path);
  }

  void beep() override {
    if (audio_ != nullptr) audio_->play_beep();
  }

  void set_mouse(int x, int y, bool visible, bool confine) override {
    {
      std::lock_guard guard(mutex_);
      requests_.mouse =
          WindowRequests::Mouse{std::clamp(x, 0, Screen::kWidth - 1),
                                std::clamp(y, 0, Screen::kHeight - 1), visible, confine};
    }
    waker_.wake();
  }

  // --- For the main thread ---------------------------------------------------
  WindowRequests take_requests() {
    std::lock_guard guard(mutex_);
    WindowRequests taken = std::move(requests_);
    requests_ = WindowRequests{};
    return taken;
  }

  // The player left or came back: the clock stops or goes on.
  void set_away(bool away) {
    {
      std::lock_guard guard(clock_mutex_);
      if (away == away_) return;
      const auto now = Clock::now();
      if (away) {
        away_since_ = now;
      } else {
        time_away_ += now - away_since_;
      }
      away_ = away;
    }
    clock_changed_.notify_all();
  }

  // Keys were handed to the platform, or the close request was made: a key
  // wait looks again. Never called with the platform's lock held.
  void keys_handed() {
    { std::lock_guard guard(clock_mutex_); }
    clock_changed_.notify_all();
  }

 private:
  bool closing() const { return platform_ != nullptr && platform_->close_requested(); }

  double seconds_at(Clock::time_point now) const {
    const Clock::time_point until = away_ ? away_since_ : now;
    return std::chrono::duration<double>(until - start_ - time_away_).count();
  }

  // The game pauses after it has drawn: the moment to let an idle refresh
  // know that there is something to show.
  void show_drawing() {
    if (waker_.armed() && screen_changed()) waker_.wake();
  }

  // Whether rows wait to be shown; they stay marked for the refresh.
  bool screen_changed() {
    if (platform_ == nullptr) return false;
    std::lock_guard guard(platform_->lock());
    int first = 0;
    int last = 0;
    if (!platform_->screen().take_changed_rows(first, last)) return false;
    platform_->screen().mark_rows(first, last);
    return true;
  }

  SdlAudio* audio_;
  Waker& waker_;
  Platform* platform_ = nullptr;
  std::mutex mutex_;  // guards requests_ (never the platform's lock)
  WindowRequests requests_;

  std::mutex clock_mutex_;  // guards the time away; taken before the platform's lock
  std::condition_variable clock_changed_;
  const Clock::time_point start_ = Clock::now();
  bool away_ = false;
  Clock::time_point away_since_;
  Clock::duration time_away_{};
};

// Whether this SDL was built with the video driver `name`.
bool has_video_driver(std::string_view name) {
  for (int i = 0; i < SDL_GetNumVideoDrivers(); ++i) {
    const char* driver = SDL_GetVideoDriver(i);
    if (driver != nullptr && name == driver) return true;
  }
  return false;
}

// SDL itself, up for the lifetime of the object.
class SdlSystem {
 public:
  SdlSystem() {
    // SDL turns SIGINT and SIGTERM into its quit event, which ends the
    // program like the window's close button.
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    // The picture is drawn into the window's own surface, a few changed rows
    // at a time. Left to itself, SDL would back that surface with an OpenGL
    // texture, loading a whole OpenGL stack (tens of megabytes, a slower
    // start, and on machines without a graphics processor drawing in
    // software anyway). The environment variable
    // SDL_FRAMEBUFFER_ACCELERATION still overrides this.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    // Without a Wayland display or the runtime folder that holds its socket,
    // Wayland cannot be reached, and trying would only print the Wayland
    // library's complaint above the game's own message. Only an SDL that has
    // a Wayland driver is steered so; elsewhere (Windows) these variables
    // mean nothing and SDL's own choice stands.
    if (std::getenv("SDL_VIDEODRIVER") == nullptr && std::getenv("WAYLAND_DISPLAY") == nullptr &&
        std::getenv("XDG_RUNTIME_DIR") == nullptr && has_video_driver("wayland")) {
      SDL_SetHint(SDL_HINT_VIDEODRIVER, "x11,kmsdrm");
    }
    ok_ = SDL_Init(SDL_INIT_VIDEO) == 0;
    if (ok_) controllers_ = SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) == 0;
  }
  ~SdlSystem() { SDL_Quit(); }
  SdlSystem(const SdlSystem&) = delete;
  SdlSystem& operator=(const SdlSystem&) = delete;

  bool ok() const { return ok_; }

 private:
  bool ok_ = false;
  bool controllers_ = false;
};

// Whether SDL settled on a video driver that shows nothing (its off-screen or
// dummy driver) without the environment asking for it by name.
bool invisible_driver_chosen() {
  const char* driver = SDL_GetCurrentVideoDriver();
  if (driver == nullptr) return true;
  const std::string name = driver;
  if (name != "offscreen" && name != "dummy") return false;
  const char* wanted = std::getenv("SDL_VIDEODRIVER");
  return wanted == nullptr || SDL_strcasestr(wanted, name.c_str()) == nullptr;
}

// The window and the picture in it. The shown screen is kept in a copy of
// its own, taken row span by row span under the platform's lock, scaled and
// drawn straight into the window's surface; only the rows that changed are
// drawn and sent to the window system, so a blinking locomotive costs a strip
// of rows, not a whole frame.
class Desktop {
 public:
  Desktop(const std::string& title, const SdlOptions& options)
      : title_(title),
        integer_scale_(options.integer_scale),
        shown_(static_cast<std::size_t>(Screen::kWidth) * Screen::kHeight, 0) {
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
    SDL_StartTextInput();
    apply_pointer_rules();
  }

  ~Desktop() {
    if (window_) SDL_SetWindowFullscreen(window_.get(), 0);
  }
  Desktop(const Desktop&) = delete;
  Desktop& operator=(const Desktop&) = delete;

  bool ok() const { return ok_; }
  bool close_requested() const { return close_requested_; }
  // The player is away: the window lost the keyboard or is minimised.
  bool away() const { return focus_lost_ || minimised_; }
  bool controllers_open() const { return !controllers_.empty(); }

  // Shows `picture` (0xAARRGGBB pixels) as the window's icon.
  void set_icon(const Image& picture) {
    if (!window_ || picture.pixels.empty()) return;
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormatFrom(
        const_cast<Color*>(picture.pixels.data()), picture.width, picture.height, 32,
        picture.width * 4, SDL_PIXELFORMAT_ARGB8888);
    if (surface == nullptr) return;
    SDL_SetWindowIcon(window_.get(), surface);
    SDL_FreeSurface(surface);
  }

  // Handles one window-system event; key and controller events become key
  // actions.
  void handle(const SDL_Event& event, KeyTranslator& keys, std::vector<KeyAction>& actions) {
    switch (event.type) {
      case SDL_KEYDOWN:
        if (is_screen_toggle(event.key.keysym)) {
          // F11 or Alt+Enter: neither reaches the game, up or down.
          toggles_held_[event.key.keysym.scancode] = true;
          if (event.key.repeat == 0) toggle_fullscreen();
        } else {
          keys.key_down(event.key.keysym.scancode, (event.key.keysym.mod & KMOD_NUM) != 0, actions);
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
        pointer_over(event.motion.x, event.motion.y);
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

  void carry_out(const WindowRequests& requests) {
    if (requests.show) {
      if (title_.empty() && !requests.title.empty()) {
        SDL_SetWindowTitle(window_.get(), requests.title.c_str());
      }
      SDL_ShowWindow(window_.get());
      SDL_RaiseWindow(window_.get());
      whole_window_wanted_ = true;
    }
    if (requests.mouse) {
      mouse_ = *requests.mouse;
      apply_pointer_rules();
      if (fullscreen() && (SDL_GetWindowFlags(window_.get()) & SDL_WINDOW_SHOWN) != 0) {
        // Screen pixels to window coordinates, through the scaling.
        const PictureLayout& l = scaler_.layout();
        const int wx =
            l.left + static_cast<int>(static_cast<long long>(mouse_.x) * l.width / Screen::kWidth);
        const int wy =
            l.top + static_cast<int>(static_cast<long long>(mouse_.y) * l.height / Screen::kHeight);
        SDL_WarpMouseInWindow(window_.get(), wx, wy);
      }
    }
  }

  // While away the picture is shown dimmed with "PAUSE" over it.
  void set_paused(bool paused) {
    if (paused == paused_) return;
    paused_ = paused;
    if (paused_) {
      paused_picture_.resize(shown_.size());
      draw_paused_picture(shown_.data(), paused_picture_.data());
    }
    whole_window_wanted_ = true;
  }

  // Takes the changed rows of the screen into the shown copy; false when
  // there were none. The caller holds the platform's lock.
  bool copy_changed_rows(Screen& screen) {
    int first = 0;
    int last = 0;
    const bool changed = screen.take_changed_rows(first, last);
    if (full_copy_wanted_) {
      first = 0;
      last = Screen::kHeight - 1;
      full_copy_wanted_ = false;
    } else if (!changed) {
      return false;
    }
    first = std::clamp(first, 0, Screen::kHeight - 1);
    last = std::clamp(last, first, Screen::kHeight - 1);
    const auto offset = static_cast<std::size_t>(first) * Screen::kWidth;
    const auto count = static_cast<std::size_t>(last - first + 1) * Screen::kWidth;
    std::copy_n(screen.row(first), count, shown_.begin() + static_cast<std::ptrdiff_t>(offset));
    if (paused_) {
      draw_paused_picture(shown_.data(), paused_picture_.data());
      whole_window_wanted_ = true;
    }
    waiting_first_ = std::min(waiting_first_, first);
    waiting_last_ = std::max(waiting_last_, last);
    return true;
  }

  // Draws what waits to be shown (changed rows, or the whole window when it
  // was shown, uncovered or resized) and hands it to the window system;
  // false when nothing was shown.
  bool present_if_wanted() {
    if (!whole_window_wanted_ && waiting_first_ > waiting_last_) return false;
    SDL_Surface* surface = SDL_GetWindowSurface(window_.get());
    if (surface == nullptr) return false;  // tried again at the next pass
    const PictureLayout& now = scaler_.layout();
    if (surface != surface_ || surface->w != now.window_w || surface->h != now.window_h) {
      surface_ = surface;
      scaler_.set_layout(PictureLayout::fit(surface->w, surface->h, integer_scale_));
      apply_pointer_rules();
      whole_window_wanted_ = true;
    }
    const PictureLayout& layout = scaler_.layout();
    int begin = 0;
    int end = 0;
    if (whole_window_wanted_) {
      SDL_FillRect(surface, nullptr, SDL_MapRGB(surface->format, 0, 0, 0));
      end = layout.height;
    } else {
      scaler_.rows_showing(waiting_first_, waiting_last_, begin, end);
    }
    SDL_Rect sent{0, 0, surface->w, surface->h};
    if (!layout.empty() && begin < end) {
      draw_rows(*surface, begin, end);
      if (!whole_window_wanted_)
        sent = SDL_Rect{layout.left, layout.top + begin, layout.width, end - begin};
    } else if (!whole_window_wanted_) {
      sent = SDL_Rect{};
    }
    whole_window_wanted_ = false;
    waiting_first_ = Screen::kHeight;
    waiting_last_ = -1;
    if (sent.w > 0 && sent.h > 0) SDL_UpdateWindowSurfaceRects(window_.get(), &sent, 1);
    if (trace_) trace_frame(++frames_);
    return true;
  }

 private:
  struct Size {
    int w = Screen::kWidth;
    int h = Screen::kHeight;
  };

  // The largest whole multiple of the picture that fits the desktop's usable
  // area (without panels), at least the picture's own size.
  static Size best_window_size() {
    SDL_Rect usable{};
    if (SDL_GetDisplayUsableBounds(0, &usable) != 0) return {};
    const int factor = std::max(1, std::min(usable.w / Screen::kWidth, usable.h / Screen::kHeight));
    return {Screen::kWidth * factor, Screen::kHeight * factor};
  }

  static bool is_screen_toggle(const SDL_Keysym& key) {
    if (key.scancode == SDL_SCANCODE_F11) return true;
    const bool enter = key.scancode == SDL_SCANCODE_RETURN || key.scancode == SDL_SCANCODE_KP_ENTER;
    return enter && (key.mod & KMOD_ALT) != 0;
  }

  void handle_window_event(const SDL_WindowEvent& event, KeyTranslator& keys,
                           std::vector<KeyAction>& actions) {
    switch (event.event) {
      case SDL_WINDOWEVENT_CLOSE:
        close_requested_ = true;
        break;
      case SDL_WINDOWEVENT_FOCUS_LOST:
        focus_lost_ = true;
        keys.release_all(actions);
        pads_.release_all(actions);
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
        break;
      case SDL_WINDOWEVENT_SHOWN:
      case SDL_WINDOWEVENT_RESTORED:
      case SDL_WINDOWEVENT_MAXIMIZED:
        minimised_ = false;
        whole_window_wanted_ = true;
        break;
      case SDL_WINDOWEVENT_EXPOSED:
      case SDL_WINDOWEVENT_RESIZED:
      case SDL_WINDOWEVENT_SIZE_CHANGED:
        whole_window_wanted_ = true;
        break;
      default:
        break;
    }
  }

  bool fullscreen() const {
    return (SDL_GetWindowFlags(window_.get()) & SDL_WINDOW_FULLSCREEN) != 0;
  }

  // In a window the pointer is the player's: never moved or held in, hidden
  // only over the picture. In full screen the game's wishes apply.
  void apply_pointer_rules() {
    if (!window_) return;
    if (fullscreen()) {
      SDL_SetWindowGrab(window_.get(), mouse_.confine ? SDL_TRUE : SDL_FALSE);
      SDL_ShowCursor(mouse_.visible ? SDL_ENABLE : SDL_DISABLE);
      return;
    }
    SDL_SetWindowGrab(window_.get(), SDL_FALSE);
    int x = 0;
    int y = 0;
    SDL_GetMouseState(&x, &y);
    pointer_over(x, y);
  }

  void pointer_over(int x, int y) {
    if (fullscreen()) return;
    const bool over = scaler_.layout().contains(x, y);
    SDL_ShowCursor(over ? SDL_DISABLE : SDL_ENABLE);
  }

  void open_controller(int device_index) {
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

  void close_controller(int instance_id, std::vector<KeyAction>& actions) {
    pads_.removed(instance_id, actions);
    controllers_.erase(instance_id);
  }

  // Picture rows [begin, end) from the shown copy into the surface. The
  // alpha byte of the game's pixels is data, not transparency: a surface
  // with alpha gets them opaque.
  void draw_rows(SDL_Surface& surface, int begin, int end) {
    const bool must_lock = SDL_MUSTLOCK(&surface);
    if (must_lock && SDL_LockSurface(&surface) != 0) return;
    const Uint32 format = surface.format->format;
    const bool direct = format == SDL_PIXELFORMAT_RGB888 || format == SDL_PIXELFORMAT_ARGB8888;
    const Color opaque = format == SDL_PIXELFORMAT_ARGB8888 ? 0xFF000000u : 0u;
    const PictureLayout& layout = scaler_.layout();
    const Color* picture = paused_ ? paused_picture_.data() : shown_.data();
    auto* pixels = static_cast<Uint8*>(surface.pixels);
    Uint8* top_left = pixels + static_cast<std::ptrdiff_t>(layout.top) * surface.pitch +
                      static_cast<std::ptrdiff_t>(layout.left) * surface.format->BytesPerPixel;
    if (direct && surface.pitch % static_cast<int>(sizeof(Color)) == 0) {
      scaler_.draw(picture, begin, end, reinterpret_cast<Color*>(top_left),
                   surface.pitch / static_cast<std::ptrdiff_t>(sizeof(Color)), opaque);
    } else {
      // Another pixel format: drawn aside, then converted.
      converted_.resize(static_cast<std::size_t>(layout.width) *
                        static_cast<std::size_t>(layout.height));
      scaler_.draw(picture, begin, end, converted_.data(), layout.width, 0);
      SDL_ConvertPixels(layout.width, end - begin, SDL_PIXELFORMAT_RGB888,
                        converted_.data() + static_cast<std::ptrdiff_t>(begin) * layout.width,
                        layout.width * static_cast<int>(sizeof(Color)), format,
                        top_left + static_cast<std::ptrdiff_t>(begin) * surface.pitch,
                        surface.pitch);
    }
    if (must_lock) SDL_UnlockSurface(&surface);
  }

  void toggle_fullscreen() {
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
    apply_pointer_rules();
    whole_window_wanted_ = true;
  }

  struct ControllerClose {
    void operator()(SDL_GameController* pad) const { SDL_GameControllerClose(pad); }
  };

  std::string title_;
  const bool integer_scale_;
  std::unique_ptr<SDL_Window, decltype(&SDL_DestroyWindow)> window_{nullptr, &SDL_DestroyWindow};
  bool ok_ = false;
  Size window_size_;  // the size of the window when not full screen
  bool close_requested_ = false;
  bool focus_lost_ = false;
  bool minimised_ = false;
  bool paused_ = false;
  std::map<int, bool> toggles_held_;  // scan codes of F11 / Alt+Enter held
  WindowRequests::Mouse mouse_{Screen::kWidth / 2, Screen::kHeight / 2, false, false};
  GamepadTranslator pads_;
  std::map<SDL_JoystickID, std::unique_ptr<SDL_GameController, ControllerClose>> controllers_;
  std::vector<Color> shown_;             // the screen as last taken from the game
  std::vector<Color> paused_picture_;    // shown_ dimmed, with "PAUSE"
  int waiting_first_ = Screen::kHeight;  // rows of shown_ not yet drawn
  int waiting_last_ = -1;
  bool full_copy_wanted_ = true;  // nothing has been taken yet
  bool whole_window_wanted_ = false;
  SDL_Surface* surface_ = nullptr;  // the window's surface the layout was made for
  PictureScaler scaler_;
  std::vector<Color> converted_;  // the picture, for surfaces of another format
  const bool trace_ = trace_wanted();
  long long frames_ = 0;
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

// Starts the game's thread with SIGINT and SIGTERM blocked in it, so that
// they reach the main thread, whose wait for events they end.
std::thread start_game_thread(const std::function<void()>& body) {
#ifndef _WIN32
  sigset_t blocked;
  sigset_t before;
  sigemptyset(&blocked);
  sigaddset(&blocked, SIGINT);
  sigaddset(&blocked, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &blocked, &before);
  std::thread thread(body);
  pthread_sigmask(SIG_SETMASK, &before, nullptr);
  return thread;
#else
  return std::thread(body);
#endif
}

}  // namespace

const char* const kNoDisplayMessage =
    "rangiertrubel: no display: the game needs a graphical desktop (X11 or Wayland); "
    "start it from one, or set DISPLAY (for a virtual one, run it under xvfb-run)";

int run_on_sdl(const std::string& title, const std::filesystem::path& root,
               const std::function<void(Platform&)>& game, const SdlOptions& options) {
  const SdlSystem sdl;
  if (!sdl.ok() || invisible_driver_chosen()) {
    std::cerr << kNoDisplayMessage << '\n';
    return 1;
  }
  Desktop desktop(title, options);
  if (!desktop.ok()) {
    std::cerr << "rangiertrubel: no window: " << SDL_GetError() << '\n';
    return 1;
  }
  // The game runs without sound when no audio device can be had.
  SdlAudio audio;
  Waker waker;
  SdlHost host(audio.is_open() ? &audio : nullptr, waker);
  Platform platform(host, root);
  if (!options.icon_path.empty()) {
    Image picture = platform.create_image(options.icon_size, options.icon_size);
    if (platform.load_bmp(options.icon_path, picture) == kBmpOk) desktop.set_icon(picture);
  }

  std::atomic<bool> finished{false};
  int status = 0;
  std::thread game_thread = start_game_thread([&] {
    status = run_to_exit_status(game, platform);
    finished.store(true);
    waker.wake();
  });

  KeyTranslator keys;
  std::vector<KeyAction> actions;  // waiting for the platform's lock
  int wait_ms = kRefreshMs;
  while (!finished.load()) {
    SDL_Event event;
    bool got_event = false;
    if (desktop.controllers_open()) {
      // SDL's own wait would look at the controllers every millisecond.
      got_event = SDL_PollEvent(&event) != 0;
      if (!got_event && wait_ms > 0) {
        SDL_Delay(static_cast<Uint32>(std::min(wait_ms, kControllerLookMs)));
        got_event = SDL_PollEvent(&event) != 0;
      }
    } else {
      got_event = SDL_WaitEventTimeout(&event, wait_ms) != 0;
    }
    waker.disarm();
    if (got_event) {
      do {
        desktop.handle(event, keys, actions);
      } while (SDL_PollEvent(&event) != 0);
    }
    if (desktop.close_requested() && !platform.close_requested()) {
      platform.host_close_request();
      host.keys_handed();
    }
    // Leaving stops the game's clock; the keys were released above.
    host.set_away(desktop.away());
    desktop.set_paused(desktop.away());
    desktop.carry_out(host.take_requests());
    // While the game holds the lock (a drawing call, or the title screen
    // between lock_screen and unlock_screen) nothing is shown and the keys
    // wait; the window's events keep being taken meanwhile.
    bool busy = false;
    bool handed = false;
    {
      std::unique_lock lock(platform.lock(), std::try_to_lock);
      if (lock.owns_lock()) {
        for (const KeyAction& action : actions) apply(platform, action);
        handed = !actions.empty();
        actions.clear();
        desktop.copy_changed_rows(platform.screen());
      } else {
        busy = true;
      }
    }
    if (handed) host.keys_handed();
    desktop.present_if_wanted();
    audio.close_when_silent();
    if (busy) {
      wait_ms = kRefreshMs;
      continue;
    }
    // Armed first, then one more look, so that rows drawn (or the game
    // ended) after the looks above are either seen here or wake the wait.
    waker.arm();
    std::unique_lock lock(platform.lock(), std::try_to_lock);
    int first = 0;
    int last = 0;
    if (!lock.owns_lock() || platform.screen().take_changed_rows(first, last) || finished.load()) {
      if (lock.owns_lock()) platform.screen().mark_rows(first, last);
      waker.disarm();
      wait_ms = lock.owns_lock() ? 0 : kRefreshMs;
    } else {
      wait_ms = kIdleWaitMs;
    }
  }
  game_thread.join();
  return status;
}

}  // namespace rt
