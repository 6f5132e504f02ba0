// Presenting a freshly loaded level: the random dissolve, the whole board,
// the locomotive and the status line.

#include <cmath>

#include "game/game.h"

namespace rt {

namespace {
constexpr double kIntroSeconds = 3.0;
// A random cell is drawn only after more than this since the last one.
constexpr double kDrawGap = 0.001;
}  // namespace

void Game::show_level() {
  // From now until the level starts, a tap is the key it waits for.
  p_.set_pointer_screen(screen_of_kind(PointerScreen::Kind::AnyKey));
  play_next();

  // The intro: random cells of the new board appear over whatever the screen
  // showed before.
  float last_draw = 0.0f;
  const float start = clock_reading();
  for (;;) {
    const float first = clock_reading();   // for the end test
    const float second = clock_reading();  // for the draw test
    bool drew = false;
    if (static_cast<double>(second) - static_cast<double>(last_draw) > kDrawGap) {
      last_draw = clock_reading();
      // Column first, then row: two random values per cell.
      const double column_pick = p_.rnd();
      const double row_pick = p_.rnd();
      draw_x = static_cast<int>(std::floor(column_pick * kColumns)) + 1;
      draw_y = static_cast<int>(std::floor(row_pick * kRows)) + 1;
      draw_cell();
      drew = true;
    }
    if (static_cast<double>(first) - static_cast<double>(start) > kIntroSeconds) break;
    // Nothing to draw yet: give the processor back for a moment.
    if (!drew) p_.sleep_ms(1);
  }

  // The whole board, so that no cell the intro missed stays behind.
  for (draw_x = 1; draw_x <= kColumns; ++draw_x) {
    for (draw_y = 1; draw_y <= kRows; ++draw_y) draw_cell();
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
