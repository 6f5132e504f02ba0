// The rounding of a key wait to the next whole look.
#include "hosts/windowed/away_clock.h"

#include <algorithm>
#include <cmath>

namespace rt {

double next_look(double start, double arrived, double look) {
  const double looks = std::ceil((arrived - start) / look - 1e-9);
  return start + std::max(looks, 0.0) * look;
}

}  // namespace rt
