// Rating tracks on a thread of its own, or on the asking thread.
#include "levels/track_raters.h"

namespace rt {

ThreadTrackRater::ThreadTrackRater() : worker_([this] { work(); }) {}

ThreadTrackRater::~ThreadTrackRater() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  asked_.notify_all();
  // A rating in progress runs to its end: the search has no way to stop early,
  // and its limits keep it short.
  worker_.join();
}

std::uint64_t ThreadTrackRater::ask(const Level& level, float step_interval) {
  std::uint64_t number = 0;
  {
    std::lock_guard lock(mutex_);
    number = ++asked_number_;
    waiting_level_ = level;
    waiting_interval_ = step_interval;
  }
  asked_.notify_all();
  return number;
}

std::optional<TrackRating> ThreadTrackRater::answer(std::uint64_t question) {
  std::lock_guard lock(mutex_);
  if (question == 0 || answered_number_ != question) return std::nullopt;
  return answered_;
}

void ThreadTrackRater::work() {
  std::unique_lock lock(mutex_);
  for (;;) {
    asked_.wait(lock, [this] { return stopping_ || waiting_level_.has_value(); });
    if (stopping_) return;
    const Level level = std::move(*waiting_level_);
    waiting_level_.reset();
    const float interval = waiting_interval_;
    const std::uint64_t number = asked_number_;
    lock.unlock();
    const TrackRating rating = rate_track(level, interval);
    lock.lock();
    answered_number_ = number;
    answered_ = rating;
  }
}

std::uint64_t InlineTrackRater::ask(const Level& level, float step_interval) {
  rating_ = rate_track(level, step_interval);
  return ++number_;
}

std::optional<TrackRating> InlineTrackRater::answer(std::uint64_t question) {
  if (question == 0 || question != number_) return std::nullopt;
  return rating_;
}

}  // namespace rt
