// The explosion shown when a locomotive is lost.

#include "game/game.h"

namespace rt {

namespace {
constexpr int kFrameMs = 150;
// The animation ends with the first pass that begins later than this.
constexpr double kDuration = 2.0;
}  // namespace

void Game::explode_locomotive() {
  const float start = clock_reading();
  bool second_frame = false;
  for (;;) {
    // The end test uses the time the pass began, so the pass that begins
    // just after the two seconds still shows its picture and waits.
    const float pass = clock_reading();
    put_on_cell(loco_x, loco_y, second_frame ? sprites.Explo2 : sprites.Explo1);
    p_.sleep_ms(kFrameMs);
    second_frame = !second_frame;
    if (static_cast<double>(pass) - static_cast<double>(start) > kDuration) break;
  }
}

}  // namespace rt
