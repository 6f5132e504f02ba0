// Presenting a freshly loaded level: the random dissolve, the whole board,
// the locomotive and the status line.

#include <algorithm>
#include <bitset>
#include <cmath>
#include <vector>

#include "game/game.h"

namespace rt {

namespace {
constexpr double kIntroSeconds = 3.0;
// One random cell falls due every kCellPeriod; the cells that fell due since
// the last frame are drawn together at the next one, so that the intro wakes
// the program at most once a frame, not once a cell. A frame is every other
// one of a 60 Hz display: each picture wakes the desktop program's window
// thread twice besides the game's own thread, and the dissolve of whole
// cells looks the same at this pace.
constexpr double kCellPeriod = 0.001;
constexpr double kFramePeriod = 1.0 / 30.0;

// A cell the dissolve draws: the pick (from 0) at which it is first picked.
struct IntroCell {
  long pick;
  int x;
  int y;
};
}  // namespace

void Game::show_level() {
  // From now until the level starts, a tap is the key it waits for.
  p_.set_pointer_screen(screen_of_kind(PointerScreen::Kind::AnyKey));
  play_next();

  // The intro: random cells of the new board appear over whatever the screen
  // showed before, column first, then row: two random values per cell. The
  // picks are all taken at the start, in the same order, so that the intro
  // knows when the next cell not yet shown falls due and sleeps until then:
  // a cell picked again shows the same picture and is not drawn twice, and
  // late in the intro most picks are such repeats.
  const float start = clock_reading();
  const long picks = static_cast<long>(kIntroSeconds / kCellPeriod);
  std::bitset<kColumns * kRows> shown;
  std::vector<IntroCell> cells;
  for (long pick = 0; pick < picks; ++pick) {
    const double column_pick = p_.rnd();
    const double row_pick = p_.rnd();
    const int x = static_cast<int>(std::floor(column_pick * kColumns)) + 1;
    const int y = static_cast<int>(std::floor(row_pick * kRows)) + 1;
    const auto cell = static_cast<std::size_t>((x - 1) * kRows + (y - 1));
    if (shown.test(cell)) continue;
    shown.set(cell);
    cells.push_back({pick, x, y});
  }
  std::size_t drawn = 0;
  for (;;) {
    const double elapsed = static_cast<double>(clock_reading()) - static_cast<double>(start);
    const long due = static_cast<long>(std::min(elapsed, kIntroSeconds) / kCellPeriod);
    for (; drawn < cells.size() && cells[drawn].pick < due; ++drawn) {
      draw_cell(cells[drawn].x, cells[drawn].y);
    }
    if (elapsed > kIntroSeconds) break;
    // Until the next frame, but not before the next new cell falls due (half
    // a cell's period after, clear of the clock's rounding), and at the
    // latest the intro's end; never a moment already past, as a coarse
    // reading of a long-running clock may stand still.
    double next = kIntroSeconds + kCellPeriod;
    if (drawn < cells.size()) {
      next = std::min(next, std::max(elapsed + kFramePeriod,
                                     (static_cast<double>(cells[drawn].pick) + 1.5) * kCellPeriod));
    }
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
