// The game thread's way to end the main thread's idle wait for events.
#pragma once

#include <SDL.h>

#include <atomic>

namespace rt {

// The main thread arms it before its last look at the screen ahead of an
// idle wait; the first wake after that posts one event, later ones do
// nothing until it is armed again. While the refresh is busy it stays
// unarmed, so the game's frequent pauses never post anything.
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

}  // namespace rt
