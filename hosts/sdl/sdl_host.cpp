// The desktop host's main thread: SDL started, the window made, the game's
// thread started, and the refresh loop that takes the window's events, hands
// keys to the platform and shows what the game drew.

#include "hosts/sdl/sdl_host.h"

#include <SDL.h>

#include <algorithm>
#include <atomic>
#include <iostream>
#include <mutex>
#include <thread>
#include <vector>

#include "hosts/sdl/desktop.h"
#include "hosts/sdl/game_thread_host.h"
#include "hosts/sdl/sdl_system.h"
#include "hosts/sdl/waker.h"
#include "hosts/windowed/key_delivery.h"
#include "hosts/windowed/key_translation.h"
#include "platform/formats/bmp.h"
#include "platform/os/os.h"
#include "platform/platform.h"

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
constexpr int kControllerPollMs = 10;

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
  GameThreadHost host(audio.is_open() ? &audio : nullptr, waker);
  Platform platform(host, root);
  if (!options.icon_path.empty()) {
    Image picture = platform.create_image(options.icon_size, options.icon_size);
    if (platform.load_bmp(options.icon_path, picture) == kBmpOk) desktop.set_icon(picture);
  }

  std::atomic<bool> finished{false};
  int status = 0;
  // SIGINT and SIGTERM reach the main thread, whose wait for events they end.
  std::thread game_thread = os::start_thread_keeping_stop_signals([&] {
    status = run_to_exit_status(game, platform);
    finished.store(true);
    waker.wake();
  });

  KeyTranslator keys;
  std::vector<KeyAction> actions;  // waiting for the platform's lock
  std::vector<PointerAction> pointer;
  int wait_ms = kRefreshMs;
  while (!finished.load()) {
    SDL_Event event;
    bool got_event = false;
    if (desktop.controllers_open()) {
      // SDL's own wait would look at the controllers every millisecond.
      got_event = SDL_PollEvent(&event) != 0;
      if (!got_event && wait_ms > 0) {
        SDL_Delay(static_cast<Uint32>(std::min(wait_ms, kControllerPollMs)));
        got_event = SDL_PollEvent(&event) != 0;
      }
    } else {
      got_event = SDL_WaitEventTimeout(&event, wait_ms) != 0;
    }
    waker.disarm();
    if (got_event) {
      do {
        desktop.handle(event, keys, actions, pointer);
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
        deliver_key_actions(platform, actions);
        deliver_pointer_actions(platform, pointer);
        handed = !actions.empty() || !pointer.empty();
        actions.clear();
        pointer.clear();
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
    // Armed first, then one more look at the screen, so that rows drawn (or the game
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
