// The play of a level as the game times it, without a screen or a clock.
#include "levels/play.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace rt {

int sure_looks(float interval, double clock_limit) {
  const float clock = static_cast<float>(clock_limit);
  const double grain =
      static_cast<double>(std::nextafter(clock, std::numeric_limits<float>::infinity())) -
      static_cast<double>(clock);
  const double period = kPollPeriod + grain + kLookDrift;
  const double window = static_cast<double>(interval) - 2.0 * (kStepMargin + grain);
  if (!(window > 0.0) || !std::isfinite(window)) return 0;
  // Looks at most `period` apart: an open window holds at least this many.
  return static_cast<int>(std::ceil(window / period)) - 1;
}

PlayTiming timing_for(float interval, double clock_limit) {
  return PlayTiming{interval, sure_looks(interval, clock_limit)};
}

StepEnd step_on(const Board& board, Locomotive& loco) {
  const Offset o = cell_ahead(loco.heading);
  const auto rule = step_rule(loco.heading, board.get(loco.x + o.dx, loco.y + o.dy));
  if (!rule || !rule->moves) return StepEnd::Crashed;
  loco.x += o.dx;
  loco.y += o.dy;
  loco.heading = rule->new_heading;
  ++loco.steps;
  const bool won =
      station_beside([&](Offset b) { return board.get(loco.x + b.dx, loco.y + b.dy); });
  return won ? StepEnd::Won : StepEnd::Moved;
}

PlayResult play_level(const Level& level, const PlayTiming& timing,
                      const std::vector<TimedSlide>& slides) {
  Board board = level.board;
  // The game moves a hole given outside the field to its nearest cell.
  int hole_x = Board::nearest_column(level.hole_x);
  int hole_y = Board::nearest_row(level.hole_y);
  Locomotive loco;
  std::size_t next = 0;
  int used = 0;  // looks used since the last step
  for (;;) {
    while (next < slides.size() && slides[next].after_step <= loco.steps) {
      if (used >= timing.looks_after(loco.steps)) {
        // No look left before the next step: the slide moves on to later.
        break;
      }
      const Offset from = slide_source(slides[next].slide);
      const int x = hole_x + from.dx;
      const int y = hole_y + from.dy;
      ++next;
      ++used;
      if (!Board::in_field(x, y) || !is_movable(board.get(x, y))) continue;
      if (x == loco.x && y == loco.y) return {PlayResult::End::UnderLocomotive, loco.steps};
      board.set(hole_x, hole_y, board.get(x, y));
      board.set(x, y, tile::kSchwarz);
      hole_x = x;
      hole_y = y;
    }
    if (loco.steps >= kStepHorizon) return {PlayResult::End::Endless, loco.steps};
    const StepEnd end = step_on(board, loco);
    if (end == StepEnd::Crashed) return {PlayResult::End::Crashed, loco.steps};
    if (end == StepEnd::Won) return {PlayResult::End::Won, loco.steps};
    used = 0;
  }
}

}  // namespace rt
