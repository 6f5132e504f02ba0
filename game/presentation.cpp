// Presenting a freshly loaded level: the random dissolve, the whole board,
// the locomotive and the status line.

#include <algorithm>
#include <bitset>
#include <cmath>

#include "game/game.h"

namespace rt {

namespace {
constexpr double kIntroSeconds = 3.0;
// One random cell falls due every kCellPeriod; the cells that fell due since
// the last frame of the display are drawn together at the next one, so that
// the intro wakes the program once a frame, not once a cell.
constexpr double kCellPeriod = 0.001;
constexpr double kFramePeriod = 1.0 / 60.0;
}  // namespace

void Game::show_level() {
  // From now until the level starts, a tap is the key it waits for.
  p_.set_pointer_screen(screen_of_kind(PointerScreen::Kind::AnyKey));
  play_next();

  // The intro: random cells of the new board appear over whatever the screen
  // showed before, column first, then row: two random values per cell.
  const float start = clock_reading();
  long drawn = 0;
  // A cell picked again shows the same picture: it is not drawn twice.
  std::bitset<kColumns * kRows> shown;
  for (;;) {
    const double elapsed = static_cast<double>(clock_reading()) - static_cast<double>(start);
    const long due = static_cast<long>(std::min(elapsed, kIntroSeconds) / kCellPeriod);
    for (; drawn < due; ++drawn) {
      const double column_pick = p_.rnd();
      const double row_pick = p_.rnd();
      const int x = static_cast<int>(std::floor(column_pick * kColumns)) + 1;
      const int y = static_cast<int>(std::floor(row_pick * kRows)) + 1;
      const auto cell = static_cast<std::size_t>((x - 1) * kRows + (y - 1));
      if (shown.test(cell)) continue;
      shown.set(cell);
      draw_cell(x, y);
    }
    if (elapsed > kIntroSeconds) break;
    // Until the next frame, or the intro's end if that comes first; never a
    // moment already past, as a coarse reading of a long-running clock may
    // stand still.
    const double next = std::min(elapsed + kFramePeriod, kIntroSeconds + kCellPeriod);
    const double now = p_.timer_seconds();
    const double until = static_cast<double>(start) + next;
    p_.sleep_until(until > now ? until : now + kFramePeriod);
  }

  // The rest of the board, so that no cell the intro missed stays behind
  // (a cell it drew already shows its picture).
  for (int x = 1; x <= kColumns; ++x) {
    for (int y = 1; y <= kRows; ++y) {
      if (!shown.test(static_cast<std::size_t>((x - 1) * kRows + (y - 1)))) draw_cell(x, y);
    }
  }
  draw_locomotive();

  p_.locate(status_line::kRow, status_line::kPointsLabelColumn);
  p_.print_text("PUNKTE:");
  p_.locate(status_line::kRow, status_line::kPointsColumn);
  p_.print_using("########", score);
  p_.locate(status_line::kRow, status_line::kLivesLabelColumn);
  p_.print_text("LOKS:");
  p_.locate(status_line::kRow, status_line::kLivesColumn);
  p_.print_using("##", lives);
  p_.locate(status_line::kRow, status_line::kLevelLabelColumn);
  p_.print_text("STUFE:");
  p_.locate(status_line::kRow, status_line::kLevelColumn);
  p_.print_using("###", level);
}

}  // namespace rt
