// The game's clock on a windowed host: it stands still while the player is
// away (the window lost the keyboard or is hidden), and a wait for a key
// ends on the next whole poll.
#pragma once

namespace rt {

// Readings of the host's own monotonic clock, in seconds, go in; the game's
// seconds since `start` come out, less every stretch spent away.
class AwayClock {
 public:
  explicit AwayClock(double start) : start_(start) {}

  double game_seconds(double now) const {
    const double until = away_ ? away_since_ : now;
    return until - start_ - time_away_;
  }
  bool away() const { return away_; }
  // The player left or came back at `now`; false when nothing changed.
  bool set_away(bool away, double now) {
    if (away == away_) return false;
    if (away) {
      away_since_ = now;
    } else {
      time_away_ += now - away_since_;
    }
    away_ = away;
    return true;
  }

 private:
  double start_;
  bool away_ = false;
  double away_since_ = 0.0;
  double time_away_ = 0.0;
};

// The moment a poll every `poll` seconds from `start` would first have found
// what arrived at `arrived`: `start` plus the next whole number of polls
// (a poll that lands on the moment itself counts, up to rounding).
double next_poll(double start, double arrived, double poll);

}  // namespace rt
