// The browser host: the 800 x 600 screen on the page's canvas, the keyboard
// from the canvas's key events, the clock from the page's monotonic clock,
// the sound through Web Audio and the kept folder in IndexedDB. The game
// runs on the page's only thread; every pause of the game hands the thread
// back to the browser until the pause is over, and that is when the page
// handles its events and the host shows what the game drew.

#include "hosts/web/web_host.h"

#include <emscripten.h>
#include <emscripten/html5.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <exception>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <iterator>
#include <map>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "hosts/web/browser_keys.h"
#include "hosts/web/page_layout.h"
#include "hosts/windowed/key_translation.h"
#include "platform/beep.h"
#include "platform/formats/wav.h"
#include "platform/host.h"
#include "platform/platform.h"
#include "platform/screen.h"

namespace rt {
namespace {

// The page's side lives in page.js; these call into it. (Kept as written:
// the C++ formatter would take JavaScript operators apart.)
// clang-format off
EM_JS(void, page_start, (), { Module.rtPage.start(); });
EM_JS(void, page_show_rows, (const std::uint8_t* rgba, int first, int count), {
  Module.rtPage.showRows(rgba, first, count);
});
EM_JS(void, page_layout, (int factor, double left, double top, double width, double height,
                          int exact), {
  Module.rtPage.layout(factor, left, top, width, height, exact);
});
EM_JS(double, page_width, (), { return Module.rtPage.pageWidth(); });
EM_JS(double, page_height, (), { return Module.rtPage.pageHeight(); });
EM_JS(void, page_set_paused, (int paused), { Module.rtPage.setPaused(paused); });
EM_JS(void, page_hide_cursor, (int hidden), { Module.rtPage.hideCursor(hidden); });
EM_JS(void, page_ended, (int status), { Module.rtPage.ended(status); });
EM_JS(void, page_wake, (), { Module.rtPage.wake(); });
EM_JS(void, page_start_audio, (), { Module.rtPage.startAudio(); });
EM_JS(void, page_load_sound, (int number, const std::int16_t* samples, int count, int channels,
                              int rate), {
  Module.rtPage.loadSound(number, samples, count, channels, rate);
});
EM_JS(void, page_play_sound, (int number), { Module.rtPage.playSound(number); });
// The ones the game waits for: the browser runs meanwhile.
EM_ASYNC_JS(void, page_wait, (double ms), { await Module.rtPage.wait(ms); });
EM_ASYNC_JS(int, page_mount_storage, (const char* path), {
  return await Module.rtPage.mountStorage(UTF8ToString(path));
});
EM_ASYNC_JS(int, page_save_storage, (), { return await Module.rtPage.saveStorage(); });
// clang-format on

constexpr const char* kCanvas = "#screen";
constexpr int kBeepNumber = 0;
constexpr int kBeepRate = 44100;

// Everything the page's events and the game's calls share. Lives for the
// whole run, on the page's one thread.
class WebPage {
 public:
  WebPage() : start_ms_(emscripten_get_now()) {}

  void attach(Platform& platform) { platform_ = &platform; }

  // --- The clock ---------------------------------------------------------
  // Seconds of the game: time the page spent away (hidden, or the canvas
  // without the keyboard) does not count, so the game stands still then.
  double game_seconds() const {
    const double now = away() ? away_since_ms_ : emscripten_get_now();
    return (now - start_ms_ - away_total_ms_) / 1000.0;
  }

  // --- The game's pauses -------------------------------------------------
  // Until the game's clock reads `seconds`. With `yield` the browser gets a
  // turn even when that moment has already come.
  void pause_until(double seconds, bool yield) {
    present();
    for (bool first = true;; first = false) {
      const double left_ms = (seconds - game_seconds()) * 1000.0;
      if (!away() && left_ms <= 0 && !(first && yield)) break;
      // While away the wait lasts until the page is back.
      page_wait(away() ? -1.0 : std::ceil(std::max(left_ms, 0.0)));
      apply_waiting_keys();
      present();
    }
  }

  void pause(int ms) { pause_until(game_seconds() + std::max(ms, 0) / 1000.0, true); }

  // Until `arrived()` holds, then on to the moment a look every `look`
  // seconds from now would have noticed it. Every key handed to the
  // platform wakes the wait; nothing else does.
  void wait_for_key(double look, const std::function<bool()>& arrived) {
    present();
    const double start = game_seconds();
    while (!arrived()) {
      page_wait(-1.0);
      apply_waiting_keys();
      present();
    }
    if (look <= 0) return;
    const double looks = std::ceil((game_seconds() - start) / look - 1e-9);
    pause_until(start + std::max(looks, 0.0) * look, false);
  }

  // --- The screen ----------------------------------------------------------
  void open_display() {
    if (shown_) return;
    shown_ = true;
    page_start();
    relayout();
  }

  void relayout() {
    if (!shown_) return;
    const PageLayout l =
        PageLayout::fit(page_width(), page_height(), emscripten_get_device_pixel_ratio());
    page_layout(l.factor, l.left, l.top, l.width, l.height, l.exact ? 1 : 0);
  }

  // Shows the rows the game changed, unless it holds the screen (it is then
  // building a picture that is to appear at once).
  void present() {
    if (!shown_ || platform_ == nullptr || platform_->screen_locked()) return;
    int first = 0;
    int last = 0;
    Screen& screen = platform_->screen();
    if (!screen.take_changed_rows(first, last)) return;
    first = std::clamp(first, 0, Screen::kHeight - 1);
    last = std::clamp(last, first, Screen::kHeight - 1);
    // The game's pixels are 0xAARRGGBB with the alpha byte as data; the
    // canvas wants opaque R, G, B, A bytes.
    const auto count = static_cast<std::size_t>(last - first + 1) * Screen::kWidth;
    rgba_.resize(count * 4);
    const Color* source = screen.row(first);
    for (std::size_t i = 0; i < count; ++i) {
      const Color c = source[i];
      rgba_[i * 4] = static_cast<std::uint8_t>(c >> 16);
      rgba_[i * 4 + 1] = static_cast<std::uint8_t>(c >> 8);
      rgba_[i * 4 + 2] = static_cast<std::uint8_t>(c);
      rgba_[i * 4 + 3] = 0xFF;
    }
    page_show_rows(rgba_.data(), first, last - first + 1);
  }

  void hide_cursor(bool hidden) {
    if (shown_) page_hide_cursor(hidden ? 1 : 0);
  }

  // --- Keys, focus and visibility -----------------------------------------
  bool key_down(const EmscriptenKeyboardEvent& e) {
    page_start_audio();
    const bool keep = browser_key_down(keys_, to_event(e), waiting_);
    apply_waiting_keys();
    return keep;
  }

  bool key_up(const EmscriptenKeyboardEvent& e) {
    browser_key_up(keys_, to_event(e), waiting_);
    apply_waiting_keys();
    return true;
  }

  void set_focused(bool focused) {
    update_away([&] { focused_ = focused; });
  }
  void set_hidden(bool hidden) {
    update_away([&] { hidden_ = hidden; });
  }

  // --- Sound ---------------------------------------------------------------
  void play_sound(const std::string& path) {
    auto known = sounds_.find(path);
    if (known == sounds_.end()) {
      known = sounds_.emplace(path, load_sound(path)).first;
    }
    if (known->second > 0) page_play_sound(known->second);
  }

  void beep() {
    if (!beep_loaded_) {
      const std::vector<std::int16_t> samples = make_beep(kBeepRate, 1);
      page_load_sound(kBeepNumber, samples.data(), static_cast<int>(samples.size()), 1, kBeepRate);
      beep_loaded_ = true;
    }
    page_play_sound(kBeepNumber);
  }

 private:
  bool away() const { return hidden_ || !focused_; }

  template <typename Change>
  void update_away(Change change) {
    const bool was_away = away();
    change();
    if (away() == was_away) return;
    const double now = emscripten_get_now();
    if (away()) {
      // Keys held when the page went away are released: their releases
      // would go elsewhere.
      away_since_ms_ = now;
      keys_.release_all(waiting_);
      apply_waiting_keys();
    } else {
      away_total_ms_ += now - away_since_ms_;
    }
    page_set_paused(away() && shown_ ? 1 : 0);
    page_wake();
  }

  static BrowserKeyEvent to_event(const EmscriptenKeyboardEvent& e) {
    return BrowserKeyEvent{e.code, e.key, e.ctrlKey != 0, e.altKey != 0, e.metaKey != 0};
  }

  // Key actions reach the platform unless the game holds the screen; they
  // wait for its next pause then, as on the desktop.
  void apply_waiting_keys() {
    if (platform_ == nullptr || platform_->screen_locked() || waiting_.empty()) return;
    for (const KeyAction& action : waiting_) {
      switch (action.kind) {
        case KeyAction::Kind::Down:
          platform_->host_key_down(action.value);
          break;
        case KeyAction::Kind::Up:
          platform_->host_key_up(action.value);
          break;
        case KeyAction::Kind::Code:
          platform_->host_key_code(action.value);
          break;
      }
    }
    waiting_.clear();
    // A wait for a key is over; any other pause just goes on.
    page_wake();
  }

  // The sound's number for the page, or 0 when it plays nothing.
  int load_sound(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return 0;
    const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                          std::istreambuf_iterator<char>());
    const std::optional<WavSound> sound = decode_wav(bytes);
    if (!sound || sound->samples.empty()) return 0;
    const int number = next_sound_++;
    page_load_sound(number, sound->samples.data(), static_cast<int>(sound->samples.size()),
                    sound->channels, sound->sample_rate);
    return number;
  }

  Platform* platform_ = nullptr;
  const double start_ms_;
  double away_since_ms_ = 0;
  double away_total_ms_ = 0;
  bool hidden_ = false;
  bool focused_ = true;
  bool shown_ = false;
  KeyTranslator keys_;
  std::vector<KeyAction> waiting_;
  std::vector<std::uint8_t> rgba_;
  std::map<std::string, int> sounds_;
  int next_sound_ = kBeepNumber + 1;
  bool beep_loaded_ = false;
};

class WebHost final : public Host {
 public:
  explicit WebHost(WebPage& page) : page_(page) {}

  void attach(Platform& platform) override { page_.attach(platform); }
  void open_display(const std::string&) override { page_.open_display(); }
  double clock_seconds() override { return page_.game_seconds(); }
  void pause_ms(int ms) override { page_.pause(ms); }
  void pause_until(double seconds) override { page_.pause_until(seconds, false); }
  void wait_for_key(double look_seconds, const std::function<bool()>& arrived) override {
    page_.wait_for_key(look_seconds, arrived);
  }
  void play_sound(const std::string& path) override { page_.play_sound(path); }
  void beep() override { page_.beep(); }
  // The pointer is the player's: a page can neither move nor confine it, and
  // it is only hidden over the game's picture.
  void set_mouse(int, int, bool visible, bool) override { page_.hide_cursor(!visible); }
  void files_changed() override { page_save_storage(); }

 private:
  WebPage& page_;
};

// --- Page events -------------------------------------------------------------

EM_BOOL on_key_down(int, const EmscriptenKeyboardEvent* e, void* data) {
  return static_cast<WebPage*>(data)->key_down(*e) ? EM_TRUE : EM_FALSE;
}
EM_BOOL on_key_up(int, const EmscriptenKeyboardEvent* e, void* data) {
  return static_cast<WebPage*>(data)->key_up(*e) ? EM_TRUE : EM_FALSE;
}
EM_BOOL on_focus(int, const EmscriptenFocusEvent*, void* data) {
  static_cast<WebPage*>(data)->set_focused(true);
  return EM_FALSE;
}
EM_BOOL on_blur(int, const EmscriptenFocusEvent*, void* data) {
  static_cast<WebPage*>(data)->set_focused(false);
  return EM_FALSE;
}
EM_BOOL on_visibility(int, const EmscriptenVisibilityChangeEvent* e, void* data) {
  static_cast<WebPage*>(data)->set_hidden(e->hidden != 0);
  return EM_FALSE;
}
EM_BOOL on_resize(int, const EmscriptenUiEvent*, void* data) {
  static_cast<WebPage*>(data)->relayout();
  return EM_FALSE;
}

// The page's events reach `page` while the object lives.
class PageEvents {
 public:
  explicit PageEvents(WebPage& page) {
    emscripten_set_keydown_callback(kCanvas, &page, EM_FALSE, on_key_down);
    emscripten_set_keyup_callback(kCanvas, &page, EM_FALSE, on_key_up);
    emscripten_set_focus_callback(kCanvas, &page, EM_FALSE, on_focus);
    emscripten_set_blur_callback(kCanvas, &page, EM_FALSE, on_blur);
    emscripten_set_visibilitychange_callback(&page, EM_FALSE, on_visibility);
    emscripten_set_resize_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, &page, EM_FALSE, on_resize);
    EmscriptenVisibilityChangeEvent visibility{};
    if (emscripten_get_visibility_status(&visibility) == EMSCRIPTEN_RESULT_SUCCESS) {
      page.set_hidden(visibility.hidden != 0);
    }
  }
  ~PageEvents() { emscripten_html5_remove_all_event_listeners(); }
  PageEvents(const PageEvents&) = delete;
  PageEvents& operator=(const PageEvents&) = delete;
};

// Reads the kept folder back from the browser's storage, then copies the
// shipped files into it over any older copies.
void prepare_folders(const WebFolders& folders) {
  const std::filesystem::path kept = folders.root / folders.kept;
  page_mount_storage(kept.string().c_str());
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(folders.shipped, ec)) {
    if (!entry.is_regular_file(ec)) continue;
    std::filesystem::copy_file(entry.path(), kept / entry.path().filename(),
                               std::filesystem::copy_options::overwrite_existing, ec);
    if (ec) std::cerr << "rangiertrubel: " << entry.path().string() << ": " << ec.message() << '\n';
  }
}

}  // namespace

int run_on_web(const WebFolders& folders, const std::function<void(Platform&)>& game) {
  prepare_folders(folders);
  WebPage page;
  int status = 0;
  {
    const PageEvents events(page);
    WebHost host(page);
    Platform platform(host, folders.root);
    status = run_to_exit_status(game, platform);
  }
  page_ended(status);
  return status;
}

}  // namespace rt
