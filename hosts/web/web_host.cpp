// The browser host: the 800 x 600 screen on the page's canvas, the keyboard
// from the canvas's key events, the pointer, the touch buttons and the
// on-screen keyboard's text from the page's own events, the clock from the page's monotonic clock,
// the sound through Web Audio and the kept folder in IndexedDB. The game
// runs on the page's only thread; every pause of the game hands the thread
// back to the browser until the pause is over, and that is when the page
// handles its events and the host shows what the game drew.

#include "hosts/web/web_host.h"

#include <emscripten.h>
#include <emscripten/html5.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <exception>
#include <filesystem>
#include <functional>
#include <iostream>
#include <span>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "hosts/web/browser_keys.h"
#include "hosts/web/page_calls.h"
#include "hosts/web/page_input.h"
#include "hosts/web/page_layout.h"
#include "hosts/web/page_sounds.h"
#include "hosts/windowed/away_clock.h"
#include "hosts/windowed/key_delivery.h"
#include "hosts/windowed/key_translation.h"
#include "platform/host.h"
#include "platform/platform.h"
#include "platform/screen.h"

namespace rt {
namespace {

constexpr const char* kCanvas = "#screen";
// The text field the on-screen keyboard types into: while it has the
// keyboard, the game has it.
constexpr const char* kTextField = "#typing";
// The page's events taken at a time.
constexpr int kPageEvents = 64;

// Everything the page's events and the game's calls share. Lives for the
// whole run, on the page's one thread.
class WebPage {
 public:
  WebPage() : clock_(now_seconds()) {}

  void attach(Platform& platform) { platform_ = &platform; }

  // --- The clock ---------------------------------------------------------
  // Seconds of the game: time the page spent away (hidden, or the canvas
  // without the keyboard) does not count, so the game stands still then.
  double game_seconds() const { return clock_.game_seconds(now_seconds()); }

  // --- The game's pauses -------------------------------------------------
  // Until the game's clock reads `seconds`. With `yield` the browser gets a
  // turn even when that moment has already come.
  void pause_until(double seconds, bool yield) {
    present();
    for (bool first = true;; first = false) {
      const double left_ms = (seconds - game_seconds()) * 1000.0;
      if (!away() && left_ms <= 0 && !(first && yield)) break;
      // While away the wait lasts until the page is back.
      page::wait(away() ? -1.0 : std::ceil(std::max(left_ms, 0.0)));
      apply_waiting_keys();
      present();
    }
  }

  void pause(int ms) { pause_until(game_seconds() + std::max(ms, 0) / 1000.0, true); }

  // Until `arrived()` holds, then on to the moment a poll every `poll`
  // seconds from now would have noticed it; or until the game's clock reads
  // `within` seconds from now if no key came. Every key handed to the
  // platform wakes the wait.
  void wait_for_key(double poll, const std::function<bool()>& arrived, double within) {
    present();
    const double start = game_seconds();
    const bool deadline = within < kNoDeadline;
    while (!arrived()) {
      const double left_ms = (start + within - game_seconds()) * 1000.0;
      if (deadline && !away() && left_ms <= 0) return;
      page::wait(!deadline || away() ? -1.0 : std::ceil(left_ms));
      apply_waiting_keys();
      present();
    }
    if (poll <= 0) return;
    pause_until(next_poll(start, game_seconds(), poll), false);
  }

  // --- The screen ----------------------------------------------------------
  void open_display() {
    if (shown_) return;
    shown_ = true;
    page::start();
    relayout();
  }

  void relayout() {
    if (!shown_) return;
    const PageLayout l =
        PageLayout::fit(page::width(), page::height(), emscripten_get_device_pixel_ratio());
    page::layout(l.factor, l.left, l.top, l.width, l.height, l.exact);
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
    page::show_rows(rgba_.data(), first, last - first + 1);
  }

  void hide_cursor(bool hidden) {
    if (shown_) page::hide_cursor(hidden);
  }

  void set_typing(bool on, std::size_t max_length) {
    constexpr std::size_t kLongest = 1 << 20;
    if (shown_) page::set_typing(on, static_cast<int>(std::min(max_length, kLongest)));
  }

  // --- Keys, focus and visibility -----------------------------------------
  bool key_down(const EmscriptenKeyboardEvent& e) {
    page::start_audio();
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

 private:
  bool away() const { return hidden_ || !focused_; }
  static double now_seconds() { return emscripten_get_now() / 1000.0; }

  template <typename Change>
  void update_away(Change change) {
    const bool was_away = away();
    change();
    if (away() == was_away) return;
    clock_.set_away(away(), now_seconds());
    if (away()) {
      // Keys held when the page went away are released: their releases
      // would go elsewhere.
      keys_.release_all(waiting_);
      waiting_.push_back({KeyAction::Kind::Forget, 0});
      apply_waiting_keys();
    }
    page::set_paused(away() && shown_);
    page::wake();
  }

  static BrowserKeyEvent to_event(const EmscriptenKeyboardEvent& e) {
    return BrowserKeyEvent{e.code, e.key, e.ctrlKey != 0, e.altKey != 0, e.metaKey != 0};
  }

  // Key actions reach the platform unless the game holds the screen; they
  // wait for its next pause then, as on the desktop.
  void apply_waiting_keys() {
    if (platform_ == nullptr || platform_->screen_locked()) return;
    const bool pointed = take_page_events();
    if (waiting_.empty()) {
      if (pointed) page::wake();
      return;
    }
    deliver_key_actions(*platform_, waiting_);
    waiting_.clear();
    // A wait for a key is over; any other pause just goes on.
    page::wake();
  }

  // The page's pointer, touch buttons and typed text; true when there were
  // any. Typed text the key buffer cannot take yet waits in `unapplied_`
  // for the game's next turn.
  bool take_page_events() {
    bool any = !unapplied_.empty();
    std::array<int, kPageEvents * page_event::kNumbers> numbers{};
    for (;;) {
      const int count = std::clamp(page::take_input(numbers.data(), kPageEvents), 0, kPageEvents);
      if (count > 0) any = true;
      unapplied_.insert(
          unapplied_.end(), numbers.begin(),
          numbers.begin() + static_cast<std::ptrdiff_t>(count) * page_event::kNumbers);
      if (count < kPageEvents) break;
    }
    const std::size_t used = rt::apply_page_events(*platform_, unapplied_);
    unapplied_.erase(unapplied_.begin(), unapplied_.begin() + static_cast<std::ptrdiff_t>(used));
    return any;
  }
  std::vector<int> unapplied_;

  Platform* platform_ = nullptr;
  AwayClock clock_;
  bool hidden_ = false;
  bool focused_ = true;
  bool shown_ = false;
  KeyTranslator keys_;
  std::vector<KeyAction> waiting_;
  std::vector<std::uint8_t> rgba_;
};

class WebHost final : public Host {
 public:
  explicit WebHost(WebPage& page) : page_(page) {}

  void attach(Platform& platform) override {
    platform_ = &platform;
    page_.attach(platform);
  }
  void open_display(const std::string&) override { page_.open_display(); }
  double clock_seconds() override { return page_.game_seconds(); }
  void pause_ms(int ms) override { page_.pause(ms); }
  void pause_until(double seconds) override { page_.pause_until(seconds, false); }
  void wait_for_key(double poll_seconds, const std::function<bool()>& arrived,
                    double within_seconds) override {
    page_.wait_for_key(poll_seconds, arrived, within_seconds);
  }
  void play_sound(const std::string& path) override {
    std::string problem;
    sounds_.play(path, problem);
    if (!problem.empty() && platform_ != nullptr) platform_->report_file_problem(path, problem);
  }
  void beep() override { sounds_.beep(); }
  // The pointer is the player's: a page can neither move nor confine it, and
  // it is only hidden over the game's picture.
  void set_mouse(int, int, bool visible, bool) override { page_.hide_cursor(!visible); }
  void text_input(bool wanted, std::size_t max_length) override {
    page_.set_typing(wanted, max_length);
  }
  std::string files_changed() override {
    if (page::save_storage() != 0) return {};
    return "the browser's storage did not keep it (full, cleared or turned off)";
  }
  void read_kept_file(const std::filesystem::path& file) override {
    page::read_kept(file.string().c_str());
  }
  std::string share_track(const std::string& code) override {
    page::share_track(code);
    return "Der Link steht oben.";
  }
  void editor_shown(bool shown) override {
    page::editor_shown(shown);
    // The editor's buttons take room from the picture, or give it back.
    page_.relayout();
  }

 private:
  WebPage& page_;
  Platform* platform_ = nullptr;
  PageSounds sounds_;
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
    emscripten_set_focus_callback(kTextField, &page, EM_FALSE, on_focus);
    emscripten_set_blur_callback(kTextField, &page, EM_FALSE, on_blur);
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
  page::mount_storage(kept.string().c_str());
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
  page::ended(status);
  return status;
}

void show_seed_on_page(std::uint32_t seed, std::string_view refused, std::string_view day) {
  page::show_seed(seed, std::string(refused), std::string(day));
}

void show_track_on_page(std::string_view verdict, std::string_view refused) {
  page::show_track(std::string(verdict), std::string(refused));
}

void make_levels_in_worker(std::uint32_t seed) {
  page::make_levels(seed);
}

int take_level_from_worker(std::uint32_t seed, int number, int* fields) {
  return page::take_level(seed, number, fields);
}

bool ask_worker_rating(std::uint64_t id, const int* fields, float step_interval) {
  return page::ask_rating(id, fields, step_interval);
}

int take_worker_rating(std::uint64_t id, double* out) {
  return page::take_rating(id, out);
}

}  // namespace rt
