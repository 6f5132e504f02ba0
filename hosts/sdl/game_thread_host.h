// The desktop host as the game's thread sees it: the clock, the pauses, the
// sounds, and the window requests it leaves for the main thread.
#pragma once

#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>

#include "hosts/sdl/window_requests.h"
#include "hosts/windowed/away_clock.h"
#include "platform/host.h"

namespace rt {

class SdlAudio;
class Waker;

// Its clock is the game's clock: it stands still while the player is away,
// and every pause waits for the player's return.
class GameThreadHost final : public Host {
 public:
  GameThreadHost(SdlAudio* audio, Waker& waker);

  void attach(Platform& platform) override { platform_ = &platform; }
  void open_display(const std::string& title) override;
  // Seconds since the host was made, at program start, less the time away.
  double clock_seconds() override;
  void pause_ms(int ms) override;
  void pause_until(double seconds) override;
  void wait_for_key(double poll_seconds, const std::function<bool()>& arrived,
                    double within_seconds) override;
  void play_sound(const std::string& path) override;
  void beep() override;
  void set_mouse(int x, int y, bool visible, bool confine) override;
  void text_input(bool wanted, std::size_t max_length) override;
  std::string share_track(const std::string& code) override;

  // --- For the main thread ---------------------------------------------------
  WindowRequests take_requests();
  // The player left or came back: the clock stops or goes on.
  void set_away(bool away);
  // Keys were handed to the platform, or the close request was made: a key
  // wait looks again. Never called with the platform's lock held.
  void keys_handed();

 private:
  bool closing() const;
  static double now();
  // The game pauses after it has drawn: the moment to let an idle refresh
  // know that there is something to show.
  void show_drawing();
  // Whether rows wait to be shown; they stay marked for the refresh.
  bool screen_changed();

  SdlAudio* audio_;
  Waker& waker_;
  Platform* platform_ = nullptr;
  std::mutex mutex_;  // guards requests_ (never the platform's lock)
  WindowRequests requests_;

  std::mutex clock_mutex_;  // guards the clock; taken before the platform's lock
  std::condition_variable clock_changed_;
  AwayClock clock_;
};

}  // namespace rt
