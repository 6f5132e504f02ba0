// The play of a level as the game times it, without a screen or a clock.
#include "levels/play.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>

namespace rt {

int sure_polls(float interval, double clock_limit) {
  const float clock = static_cast<float>(clock_limit);
  const double grain =
      static_cast<double>(std::nextafter(clock, std::numeric_limits<float>::infinity())) -
      static_cast<double>(clock);
  const double period = kPollPeriod + grain + kPollDrift;
  const double window = static_cast<double>(interval) - 2.0 * (kStepMargin + grain);
  if (!(window > 0.0) || !std::isfinite(window)) return 0;
  // Polls at most `period` apart: an open window holds at least this many.
  return static_cast<int>(std::ceil(window / period)) - 1;
}

PlayTiming timing_for(float interval, double clock_limit) {
  return PlayTiming{interval, sure_polls(interval, clock_limit)};
}

namespace {

// The step table looked up instead of worked through: for each heading and
// each code below kTableCodes, the heading after the step, or -1 for a
// crash. Made from step_rule itself, so the rule stays in one place; no code
// from kTableCodes on takes a locomotive.
constexpr int kTableCodes = 32;
constexpr auto kSteps = [] {
  std::array<std::array<std::int8_t, kTableCodes>, 4> table{};
  for (Heading h = 0; h < 4; ++h) {
    for (TileCode code = 0; code < kTableCodes; ++code) {
      const std::optional<StepResult> rule = step_rule(h, code);
      table[static_cast<std::size_t>(h)][static_cast<std::size_t>(code)] =
          rule && rule->moves ? static_cast<std::int8_t>(rule->new_heading) : std::int8_t{-1};
    }
  }
  return table;
}();
static_assert(!step_rule(heading::kRight, kTableCodes).value().moves);

}  // namespace

StepEnd step_on(const Board& board, Locomotive& loco) {
  if (loco.heading < 0 || loco.heading > 3) return StepEnd::Crashed;
  const Offset o = cell_ahead(loco.heading);
  const TileCode ahead = board.get(loco.x + o.dx, loco.y + o.dy);
  if (ahead < 0 || ahead >= kTableCodes) return StepEnd::Crashed;
  const std::int8_t next =
      kSteps[static_cast<std::size_t>(loco.heading)][static_cast<std::size_t>(ahead)];
  if (next < 0) return StepEnd::Crashed;
  loco.x += o.dx;
  loco.y += o.dy;
  loco.heading = next;
  ++loco.steps;
  const bool won =
      station_beside([&](Offset b) { return board.get(loco.x + b.dx, loco.y + b.dy); });
  return won ? StepEnd::Won : StepEnd::Moved;
}

PlayResult play_level(const Level& level, const PlayTiming& timing,
                      const std::vector<TimedSlide>& slides) {
  Board board = level.board;
  int cursor_x = level.hole_column();
  int cursor_y = level.hole_row();
  Locomotive loco;
  std::size_t next = 0;
  int used = 0;  // polls used since the last step
  for (;;) {
    while (next < slides.size() && slides[next].after_step <= loco.steps) {
      if (used >= timing.polls_after(loco.steps)) {
        // No poll left before the next step: the slide moves on to later.
        break;
      }
      const Offset from = slide_source(slides[next].slide);
      const int x = cursor_x + from.dx;
      const int y = cursor_y + from.dy;
      ++next;
      ++used;
      if (!Board::in_field(x, y) || !is_movable(board.get(x, y))) continue;
      if (x == loco.x && y == loco.y) return {PlayResult::End::UnderLocomotive, loco.steps};
      board.set(cursor_x, cursor_y, board.get(x, y));
      board.set(x, y, tile::kSchwarz);
      cursor_x = x;
      cursor_y = y;
    }
    if (loco.steps >= kStepHorizon) return {PlayResult::End::Endless, loco.steps};
    const StepEnd end = step_on(board, loco);
    if (end == StepEnd::Crashed) return {PlayResult::End::Crashed, loco.steps};
    if (end == StepEnd::Won) return {PlayResult::End::Won, loco.steps};
    used = 0;
  }
}

}  // namespace rt
