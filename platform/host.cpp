// What a host does when it does not do better: pauses made of short pauses,
// key waits made of polls, reports on standard error.
#include "platform/host.h"

#include <algorithm>
#include <cmath>
#include <iostream>

namespace rt {

void Host::pause_until(double seconds) {
  while (clock_seconds() < seconds) pause_ms(1);
}

void Host::wait_for_key(double poll_seconds, const std::function<bool()>& arrived,
                        double within_seconds) {
  const int poll_ms = std::max(1, static_cast<int>(std::lround(poll_seconds * 1000.0)));
  const double until_seconds = clock_seconds() + within_seconds;
  do {
    const double left_ms = (until_seconds - clock_seconds()) * 1000.0;
    if (left_ms <= 0.0) return;
    pause_ms(left_ms < poll_ms ? std::max(1, static_cast<int>(std::ceil(left_ms))) : poll_ms);
  } while (!arrived());
}

std::string Host::share_track(const std::string& code) {
  std::cout << "rangiertrubel: Strecke zum Teilen: " << code << "\n"
            << "  spielen: rangiertrubel --track " << code << "\n"
            << "  auf der Seite: ?track=" << code << " an ihre Adresse angehängt" << std::endl;
  return "Code steht in der Ausgabe.";
}

void Host::report(const std::string& line) {
  std::cerr << line << std::endl;
}

}  // namespace rt
