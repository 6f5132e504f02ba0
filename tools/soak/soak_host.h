// The simulated host of the soak: a hook after every clock reading and pause,
// the moments at which the game's state can be looked at.
#pragma once

#include <functional>

#include "hosts/sim/sim_host.h"

namespace rt::soak {

class SoakHost : public SimHost {
 public:
  std::function<void()> observer;

  double clock_seconds() override {
    const double t = SimHost::clock_seconds();
    if (observer) observer();
    return t;
  }
  void pause_ms(int ms) override {
    SimHost::pause_ms(ms);
    if (observer) observer();
  }
  void pause_until(double seconds) override {
    SimHost::pause_until(seconds);
    if (observer) observer();
  }
  void wait_for_key(double poll_seconds, const std::function<bool()>& arrived,
                    double within_seconds) override {
    SimHost::wait_for_key(poll_seconds, arrived, within_seconds);
    if (observer) observer();
  }
};

}  // namespace rt::soak
