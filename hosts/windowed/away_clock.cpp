// The rounding of a key wait to the next whole poll.
#include "hosts/windowed/away_clock.h"

#include <algorithm>
#include <cmath>

namespace rt {

double next_poll(double start, double arrived, double poll) {
  const double polls = std::ceil((arrived - start) / poll - 1e-9);
  return start + std::max(polls, 0.0) * poll;
}

}  // namespace rt
