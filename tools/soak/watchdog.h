// The soak's watchdog on real time: it aborts a run whose virtual clock has
// stopped moving.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <thread>

namespace rt::soak {

// Aborts the process when the virtual clock has not moved for too long in
// real time: the program is stuck in a loop that neither reads the clock nor
// pauses.
class RealTimeWatchdog {
 public:
  RealTimeWatchdog(double limit_seconds, const std::atomic<std::int64_t>& beat)
      : limit_(limit_seconds), beat_(beat) {
    if (limit_ > 0.0) thread_ = std::thread([this] { watch(); });
  }
  ~RealTimeWatchdog() {
    {
      std::lock_guard guard(mutex_);
      stop_ = true;
    }
    wake_.notify_all();
    if (thread_.joinable()) thread_.join();
  }
  RealTimeWatchdog(const RealTimeWatchdog&) = delete;
  RealTimeWatchdog& operator=(const RealTimeWatchdog&) = delete;

 private:
  void watch() {
    using Clock = std::chrono::steady_clock;
    std::int64_t last_beat = beat_.load();
    auto last_change = Clock::now();
    std::unique_lock guard(mutex_);
    while (!stop_) {
      wake_.wait_for(guard, std::chrono::milliseconds(200));
      const std::int64_t beat = beat_.load();
      if (beat != last_beat) {
        last_beat = beat;
        last_change = Clock::now();
      } else if (std::chrono::duration<double>(Clock::now() - last_change).count() > limit_) {
        std::fprintf(stderr, "soak: the virtual clock has not moved for %.0f s: hung\n", limit_);
        std::abort();
      }
    }
  }

  double limit_;
  const std::atomic<std::int64_t>& beat_;
  std::mutex mutex_;
  std::condition_variable wake_;
  bool stop_ = false;
  std::thread thread_;
};

}  // namespace rt::soak
