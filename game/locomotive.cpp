// One step of the locomotive along the track.

#include <cstdint>

#include "game/game.h"

namespace rt {

TileCode Game::code_beside_locomotive(Offset o) const {
  // Widened, so that even a locomotive placed far off cannot overflow; the
  // board reads 0 beyond its edges, like the border.
  const std::int64_t x = static_cast<std::int64_t>(loco_x) + o.dx;
  const std::int64_t y = static_cast<std::int64_t>(loco_y) + o.dy;
  if (x < 0 || x >= Board::kWidth || y < 0 || y >= Board::kHeight) return 0;
  return board.get(static_cast<int>(x), static_cast<int>(y));
}

void Game::step_locomotive() {
  // The bonus comes first, so that even a crashing step earns it.
  if (static_cast<double>(step_interval) < kBonusBelow) {
    add_score(kBonusPoints);
    p_.locate(status_line::kRow, status_line::kPointsColumn);
    p_.print_using("########", score);
    play_ding();
  }

  const Offset ahead = cell_ahead(loco_heading);
  const auto rule = step_rule(loco_heading, code_beside_locomotive(ahead));
  if (!rule) return;  // no such heading: the step does nothing
  if (!rule->moves) {
    // Only the signal; the next key poll handles the loss.
    GameState = state::kLocoLost;
    return;
  }
  redraw_track_under_locomotive();
  loco_x += ahead.dx;
  loco_y += ahead.dy;
  loco_heading = rule->new_heading;
  draw_locomotive();
}

void Game::redraw_track_under_locomotive() {
  const TileCode code = board.get(loco_x, loco_y);
  if (!is_track(code)) return;
  if (const Image* picture = picture_for(code)) put_on_cell(loco_x, loco_y, *picture);
}

}  // namespace rt
