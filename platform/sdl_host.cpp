// The desktop host: an SDL2 window showing the 800 x 600 screen, the keyboard,
// the clock and the sound. The window, its events and the refresh live on the
// main thread; the game runs on a thread of its own.

#include "platform/sdl_host.h"

#include <SDL.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <iostream>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/bmp.h"
#include "platform/host.h"
#include "platform/platform.h"
#include "platform/screen.h"

namespace rt {
namespace {

// While the screen or the keys keep changing, the refresh looks every 10 ms.
// Once a pass finds nothing to do, the main thread sleeps until an event
// comes, the game draws something (the game thread wakes it), or this long
// has passed; an idle menu then costs next to no processor time.
constexpr int kRefreshMs = 10;
constexpr int kIdleWaitMs = 500;

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

class SdlHost final : public Host {
 public:
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

  // Seconds since the host was made, at program start.
  double clock_seconds() override {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
  }

  void pause_ms(int ms) override {
    // The game pauses after it has drawn: the moment to let an idle refresh
    // know that there is something to show.
    if (waker_.armed() && screen_changed()) waker_.wake();
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
    {
      std::lock_guard guard(mutex_);
      requests_.mouse =
          WindowRequests::Mouse{std::clamp(x, 0, Screen::kWidth - 1),
                                std::clamp(y, 0, Screen::kHeight - 1), visible, confine};
    }
    waker_.wake();
  }

  WindowRequests take_requests() {
    std::lock_guard guard(mutex_);
    WindowRequests taken = std::move(requests_);
    requests_ = WindowRequests{};
    return taken;
  }

 private:
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
    // The picture is drawn into the window's own surface, a few changed rows
    // at a time. Left to itself, SDL would back that surface with an OpenGL
    // texture, loading a whole OpenGL stack (tens of megabytes, a slower
    // start, and on machines without a graphics processor drawing in
    // software anyway). The environment variable
    // SDL_FRAMEBUFFER_ACCELERATION still overrides this.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    ok_ = SDL_Init(SDL_INIT_VIDEO) == 0;
  }
  ~SdlSystem() { SDL_Quit(); }
  SdlSystem(const SdlSystem&) = delete;
  SdlSystem& operator=(const SdlSystem&) = delete;

  bool ok() const { return ok_; }

 private:
  bool ok_ = false;
};

// Where the 800 x 600 picture lies in a window of a given size: as large as
// fits with its 4:3 shape kept, centred, the rest black. Scaled by nearest
// pixel: picture row y (counted from the picture's top) shows screen row
// y * 600 / height, so that any span of rows can be drawn on its own and
// meets its neighbours exactly; every row is stretched sideways alike.
struct Layout {
  int window_w = 0;
  int window_h = 0;
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;

  static Layout fit(int w, int h) {
    Layout l;
    l.window_w = std::max(w, 0);
    l.window_h = std::max(h, 0);
    const long long ww = l.window_w;
    const long long wh = l.window_h;
    if (ww * Screen::kHeight <= wh * Screen::kWidth) {
      l.width = l.window_w;
      l.height = static_cast<int>(ww * Screen::kHeight / Screen::kWidth);
    } else {
      l.height = l.window_h;
      l.width = static_cast<int>(wh * Screen::kWidth / Screen::kHeight);
    }
    l.left = (l.window_w - l.width) / 2;
    l.top = (l.window_h - l.height) / 2;
    return l;
  }

  bool empty() const { return width <= 0 || height <= 0; }
  // The first picture row (from the picture's top) showing screen row `row`;
  // row 600 gives the end of the picture.
  int first_row_of(int row) const {
    return static_cast<int>((static_cast<long long>(row) * height + Screen::kHeight - 1) /
                            Screen::kHeight);
  }
  int screen_row(int picture_row) const {
    return static_cast<int>(static_cast<long long>(picture_row) * Screen::kHeight / height);
  }
  int screen_column(int picture_column) const {
    return static_cast<int>(static_cast<long long>(picture_column) * Screen::kWidth / width);
  }
};

// The window and the picture in it. The shown screen is kept in a copy of
// its own, taken row span by row span under the platform's lock, and drawn
// straight into the window's surface; only the rows that changed are drawn
// and sent to the window system, so a blinking locomotive costs a strip of
// rows, not a whole frame.
class Desktop {
 public:
  explicit Desktop(const std::string& title)
      : title_(title), shown_(static_cast<std::size_t>(Screen::kWidth) * Screen::kHeight, 0) {
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
    if (SDL_GetWindowSurface(window_.get()) == nullptr) return;
    ok_ = true;
    SDL_ShowCursor(SDL_DISABLE);
    SDL_EventState(SDL_MOUSEMOTION, SDL_IGNORE);
    SDL_StartTextInput();
  }

  ~Desktop() {
    if (window_) SDL_SetWindowFullscreen(window_.get(), 0);
  }
  Desktop(const Desktop&) = delete;
  Desktop& operator=(const Desktop&) = delete;

  bool ok() const { return ok_; }

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
            whole_window_wanted_ = true;
            break;
          default:
            break;
        }
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
      const auto& mouse = *requests.mouse;
      SDL_ShowCursor(mouse.visible ? SDL_ENABLE : SDL_DISABLE);
      SDL_SetWindowGrab(window_.get(), mouse.confine ? SDL_TRUE : SDL_FALSE);
      if ((SDL_GetWindowFlags(window_.get()) & SDL_WINDOW_SHOWN) != 0) {
        // Screen pixels to window coordinates, through the scaling.
        int w = 0;
        int h = 0;
        SDL_GetWindowSize(window_.get(), &w, &h);
        const Layout l = Layout::fit(w, h);
        const int wx =
            l.left + static_cast<int>(static_cast<long long>(mouse.x) * l.width / Screen::kWidth);
        const int wy =
            l.top + static_cast<int>(static_cast<long long>(mouse.y) * l.height / Screen::kHeight);
        SDL_WarpMouseInWindow(window_.get(), wx, wy);
      }
    }
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
    if (surface != surface_ || surface->w != layout_.window_w || surface->h != layout_.window_h) {
      surface_ = surface;
      layout_ = Layout::fit(surface->w, surface->h);
      columns_.resize(static_cast<std::size_t>(std::max(layout_.width, 0)));
      for (int x = 0; x < layout_.width; ++x) {
        columns_[static_cast<std::size_t>(x)] = layout_.screen_column(x);
      }
      scaled_row_.assign(columns_.size(), 0);
      whole_window_wanted_ = true;
    }
    int first = waiting_first_;
    int last = waiting_last_;
    if (whole_window_wanted_) {
      first = 0;
      last = Screen::kHeight - 1;
      SDL_FillRect(surface, nullptr, SDL_MapRGB(surface->format, 0, 0, 0));
    }
    SDL_Rect sent{0, 0, surface->w, surface->h};
    if (!layout_.empty()) {
      const int begin = layout_.first_row_of(first);
      const int end = layout_.first_row_of(last + 1);
      draw_rows(*surface, begin, end);
      if (!whole_window_wanted_)
        sent = SDL_Rect{layout_.left, layout_.top + begin, layout_.width, end - begin};
    }
    whole_window_wanted_ = false;
    waiting_first_ = Screen::kHeight;
    waiting_last_ = -1;
    if (sent.w > 0 && sent.h > 0) SDL_UpdateWindowSurfaceRects(window_.get(), &sent, 1);
    if (trace_) trace_frame(++frames_);
    return true;
  }

 private:
  // Picture rows [begin, end) from the shown copy into the surface. The
  // alpha byte of the game's pixels is data, not transparency: a surface
  // with alpha gets them opaque.
  void draw_rows(SDL_Surface& surface, int begin, int end) {
    const bool must_lock = SDL_MUSTLOCK(&surface);
    if (must_lock && SDL_LockSurface(&surface) != 0) return;
    const Uint32 format = surface.format->format;
    const bool direct = format == SDL_PIXELFORMAT_RGB888 || format == SDL_PIXELFORMAT_ARGB8888;
    const Color opaque = format == SDL_PIXELFORMAT_ARGB8888 ? 0xFF000000u : 0u;
    const int width = layout_.width;
    const int* columns = columns_.data();
    auto* pixels = static_cast<Uint8*>(surface.pixels);
    const std::ptrdiff_t pitch = surface.pitch;
    const std::ptrdiff_t left_bytes =
        static_cast<std::ptrdiff_t>(layout_.left) * surface.format->BytesPerPixel;
    const std::size_t row_bytes = static_cast<std::size_t>(width) * surface.format->BytesPerPixel;
    int previous_source = -1;
    for (int y = begin; y < end; ++y) {
      const int source_row = layout_.screen_row(y);
      Uint8* target = pixels + (layout_.top + y) * pitch + left_bytes;
      if (source_row == previous_source) {
        // Enlarged: the row above shows the same screen row.
        std::memcpy(target, target - pitch, row_bytes);
        continue;
      }
      previous_source = source_row;
      if (format == SDL_PIXELFORMAT_RGB888 && width != Screen::kWidth && shown_surface_) {
        // Stretched sideways by SDL's own nearest-pixel code, which stays
        // fast even in a build without optimisation.
        SDL_Rect from{0, source_row, Screen::kWidth, 1};
        SDL_Rect to{layout_.left, layout_.top + y, width, 1};
        if (SDL_SoftStretch(shown_surface_.get(), &from, &surface, &to) == 0) continue;
      }
      const Color* source =
          shown_.data() + static_cast<std::ptrdiff_t>(source_row) * Screen::kWidth;
      Color* row = direct ? reinterpret_cast<Color*>(target) : scaled_row_.data();
      if (width == Screen::kWidth && opaque == 0) {
        std::memcpy(row, source, sizeof(Color) * Screen::kWidth);
      } else if (width == Screen::kWidth) {
        for (int x = 0; x < width; ++x) row[x] = source[x] | opaque;
      } else {
        for (int x = 0; x < width; ++x) row[x] = source[columns[x]] | opaque;
      }
      if (!direct) {
        SDL_ConvertPixels(width, 1, SDL_PIXELFORMAT_RGB888, row,
                          width * static_cast<int>(sizeof(Color)), format, target, surface.pitch);
      }
    }
    if (must_lock) SDL_UnlockSurface(&surface);
  }

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
    whole_window_wanted_ = true;
  }

  std::string title_;
  std::unique_ptr<SDL_Window, decltype(&SDL_DestroyWindow)> window_{nullptr, &SDL_DestroyWindow};
  bool ok_ = false;
  std::vector<Color> shown_;             // the screen as last taken from the game
  int waiting_first_ = Screen::kHeight;  // rows of shown_ not yet drawn
  int waiting_last_ = -1;
  bool full_copy_wanted_ = true;  // nothing has been taken yet
  bool whole_window_wanted_ = false;
  SDL_Surface* surface_ = nullptr;  // the window's surface the layout was made for
  Layout layout_;
  // shown_ seen as a surface (its alpha bytes ignored), for stretching.
  std::unique_ptr<SDL_Surface, decltype(&SDL_FreeSurface)> shown_surface_{
      SDL_CreateRGBSurfaceWithFormatFrom(shown_.data(), Screen::kWidth, Screen::kHeight, 32,
                                         Screen::kWidth* static_cast<int>(sizeof(Color)),
                                         SDL_PIXELFORMAT_RGB888),
      &SDL_FreeSurface};
  std::vector<int> columns_;       // screen column of each picture column
  std::vector<Color> scaled_row_;  // one picture row, for surfaces of another format
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
               const std::function<void(Platform&)>& game, const WindowIcon& icon) {
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
  Waker waker;
  SdlHost host(audio.is_open() ? &audio : nullptr, waker);
  Platform platform(host, root);
  if (!icon.path.empty()) {
    Image picture = platform.create_image(icon.size, icon.size);
    if (platform.load_bmp(icon.path, picture) == kBmpOk) desktop.set_icon(picture);
  }

  std::atomic<bool> finished{false};
  int status = 0;
  std::thread game_thread([&] {
    status = run_game(game, platform);
    finished.store(true);
    waker.wake();
  });

  KeyTranslator keys;
  std::vector<KeyAction> actions;  // waiting for the platform's lock
  bool busy = true;
  while (!finished.load()) {
    SDL_Event event;
    const bool got_event = SDL_WaitEventTimeout(&event, busy ? kRefreshMs : kIdleWaitMs) != 0;
    waker.disarm();
    if (got_event) {
      do {
        desktop.handle(event, keys, actions);
      } while (SDL_PollEvent(&event) != 0);
    }
    const WindowRequests requests = host.take_requests();
    busy = got_event || requests.show || requests.mouse.has_value();
    desktop.carry_out(requests);
    // While the game holds the lock (a drawing call, or the title screen
    // between lock_screen and unlock_screen) nothing is shown and the keys
    // wait; the window's events keep being taken meanwhile.
    {
      std::unique_lock lock(platform.lock(), std::try_to_lock);
      if (lock.owns_lock()) {
        for (const KeyAction& action : actions) apply(platform, action);
        actions.clear();
        if (desktop.copy_changed_rows(platform.screen())) busy = true;
      } else {
        busy = true;
      }
    }
    if (desktop.present_if_wanted()) busy = true;
    if (!busy) {
      // Armed first, then one more look, so that rows drawn (or the game
      // ended) after the looks above are either seen here or wake the wait.
      waker.arm();
      std::unique_lock lock(platform.lock(), std::try_to_lock);
      int first = 0;
      int last = 0;
      if (!lock.owns_lock() || platform.screen().take_changed_rows(first, last) ||
          finished.load()) {
        if (lock.owns_lock()) platform.screen().mark_rows(first, last);
        waker.disarm();
        busy = true;
      }
    }
  }
  game_thread.join();
  return status;
}

}  // namespace rt
