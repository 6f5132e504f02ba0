// The two ways a program rates tracks without a worker of the page: on a
// thread of its own (the desktop), or on the asking thread when the program
// has no other (a program on one thread, and the tests).
#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>
#include <thread>

#include "levels/track_rating.h"

namespace rt {

// Rates on one thread of its own, the newest question first: a question
// asked while another is being rated replaces any waiting one, so that a
// player who edits quickly is answered about the track as it is now.
class ThreadTrackRater final : public TrackRater {
 public:
  ThreadTrackRater();
  ~ThreadTrackRater() override;
  ThreadTrackRater(const ThreadTrackRater&) = delete;
  ThreadTrackRater& operator=(const ThreadTrackRater&) = delete;

  std::uint64_t ask(const Level& level, float step_interval) override;
  std::optional<TrackRating> answer(std::uint64_t question) override;

 private:
  void work();

  std::mutex mutex_;
  std::condition_variable asked_;
  bool stopping_ = false;
  std::uint64_t asked_number_ = 0;      // the newest question
  std::optional<Level> waiting_level_;  // the newest question, not yet taken
  float waiting_interval_ = 0.0f;
  std::uint64_t answered_number_ = 0;  // the question `answered_` answers
  TrackRating answered_;
  std::thread worker_;  // last, so that it starts after the rest is made
};

// Rates when asked, on the asking thread.
class InlineTrackRater final : public TrackRater {
 public:
  std::uint64_t ask(const Level& level, float step_interval) override;
  std::optional<TrackRating> answer(std::uint64_t question) override;

 private:
  std::uint64_t number_ = 0;
  TrackRating rating_;
};

}  // namespace rt
