// One game: levels played in a loop driven by the step clock and the
// keyboard poll, with lives, losses, level changes and game over.

#include <algorithm>
#include <cmath>
#include <limits>

#include "game/game.h"

namespace rt {

namespace {

// The first clock time at which a single-precision reading r passes the
// loop's strict test (double)r - (double)last > interval. Readings round to
// the nearest float, so that is halfway below the first float that passes.
double due_time(float last, double interval) {
  constexpr float kUp = std::numeric_limits<float>::infinity();
  const auto passes = [&](float r) {
    return static_cast<double>(r) - static_cast<double>(last) > interval;
  };
  float first = static_cast<float>(static_cast<double>(last) + interval);
  if (!std::isfinite(first)) return static_cast<double>(first);
  while (!passes(first) && std::isfinite(first)) first = std::nextafter(first, kUp);
  while (passes(std::nextafter(first, -kUp))) first = std::nextafter(first, -kUp);
  const float below = std::nextafter(first, -kUp);
  return (static_cast<double>(below) + static_cast<double>(first)) / 2.0;
}

// The arrow key that makes a slide.
int arrow_of(Slide slide) {
  switch (slide) {
    case Slide::Up:
      return scan::kUp;
    case Slide::Down:
      return scan::kDown;
    case Slide::Left:
      return scan::kLeft;
    case Slide::Right:
      return scan::kRight;
  }
  return 0;
}

}  // namespace

float Game::clock_reading() {
  return static_cast<float>(p_.timer_seconds());
}

void Game::describe_field() {
  // What a tap on the picture means, by the rules of play: the status line
  // and the locomotive speed it up, as Space does; a piece beside the hole
  // slides into it, as the arrow of that slide does. This is where a tap
  // becomes a slide.
  PointerScreen s;
  s.kind = PointerScreen::Kind::Field;
  const auto add = [&s](PixelRect rect, int scan_code) {
    s.zones[static_cast<std::size_t>(s.zone_count++)] = PointerScreen::TapZone{rect, scan_code};
  };
  const auto cell = [](int x, int y) {
    return PixelRect{(x - 1) * kCellSize, (y - 1) * kCellSize, kCellSize, kCellSize};
  };
  // The whole strip below the field, the status line in it.
  add(PixelRect{0, kRows * kCellSize, Screen::kWidth, Screen::kHeight - kRows * kCellSize},
      scan::kSpace);
  if (Board::in_field(loco_x, loco_y)) add(cell(loco_x, loco_y), scan::kSpace);
  for (const Slide slide : kSlides) {
    const Offset from = slide_source(slide);
    if (Board::in_field(cursor_x + from.dx, cursor_y + from.dy)) {
      add(cell(cursor_x + from.dx, cursor_y + from.dy), arrow_of(slide));
    }
  }
  p_.set_pointer_screen(s);
}

void Game::play_game() {
  level = level_counter_of(first_level);
  lives = trial_ ? 1 : kLivesPerGame;
  score = 0;
  speedup = speedup_after(first_level - 1);
  loco_heading = heading::kRight;
  step_interval = level_interval(speedup);
  load_level();
  show_level();
  p_.wait_key();
  describe_field();
  // last_poll_time and last_step_time keep the readings of the previous
  // game, so the first pass both steps and polls.

  for (;;) {
    const float poll_reading = clock_reading();
    const float step_reading = clock_reading();
    // Keys typed during play never queue up.
    while (!p_.inkey().empty()) {
    }

    bool busy = false;
    // A locomotive that has crashed takes no further step until the next
    // poll has handled its loss, so a crash earns at most one bonus.
    if (GameState != state::kLocoLost &&
        static_cast<double>(step_reading) - static_cast<double>(last_step_time) >
            static_cast<double>(step_interval)) {
      busy = true;
      last_step_time = clock_reading();
      step_locomotive();
    }

    if (static_cast<double>(poll_reading) - static_cast<double>(last_poll_time) > kPollPeriod) {
      busy = true;
      last_poll_time = clock_reading();
      // Each key independently and in this order; held keys all act.
      if (p_.key_down(scan::kUp)) slide_up();
      if (p_.key_down(scan::kDown)) slide_down();
      if (p_.key_down(scan::kLeft)) slide_left();
      if (p_.key_down(scan::kRight)) slide_right();
      if (p_.key_down(scan::kSpace) || p_.key_down(scan::kEnter)) {
        step_interval = static_cast<float>(kFastInterval);
      }
      if (p_.key_down(scan::kEscape)) GameState = state::kLocoLost;
      if (p_.key_down(scan::kS)) sound_on = toggled_sound(sound_on);
      draw_locomotive();  // every poll, so the locomotive blinks
      if (loco_x == cursor_x && loco_y == cursor_y) GameState = state::kLocoLost;
      // A loss, however it came about, is handled here and only here.
      if (GameState == state::kLocoLost && !lose_locomotive()) {
        // Game over: a tap is a key, as for the wait after it.
        p_.set_pointer_screen(screen_of_kind(PointerScreen::Kind::AnyKey));
        return;
      }
    }

    // The station directly below or directly to the right wins the level.
    if (station_beside([this](Offset o) { return code_beside_locomotive(o); })) {
      busy = true;
      if (trial_) {
        // A test drive ends with its one level, after the same pause.
        p_.sleep_ms(kWonPauseMs);
        trial_won_ = true;
        GameState = state::kGameOver;
        return;
      }
      win_level();
    }

    // Nothing was due: give the processor back until the earlier of the
    // next step and the next poll falls due, by the same readings and
    // comparisons as above, so that play is unchanged. (Should the reading
    // at that moment round to the float below, the next pass simply waits
    // again, for no time.)
    // A crashed locomotive waits for the poll, not for a step.
    if (busy) {
      // The pointer's next tap means what the screen shows now.
      describe_field();
    } else {
      double due = due_time(last_poll_time, kPollPeriod);
      if (GameState != state::kLocoLost) {
        due = std::min(due, due_time(last_step_time, static_cast<double>(step_interval)));
      }
      p_.sleep_until(due);
    }
  }
}

bool Game::play_trial(const Level& track, int speed_level) {
  const auto kept_source = level_source;
  const std::int32_t kept_first = first_level;
  const std::int32_t kept_score = score;
  const std::int32_t kept_level = level;
  const std::int32_t kept_lives = lives;
  level_source = [&track](int) { return track; };
  first_level = speed_level;
  trial_ = true;
  trial_won_ = false;
  GameState = state::kPlaying;
  // Put back however the drive ends, the program's end included.
  struct Restore {
    Game& g;
    std::function<Level(int)> source;
    std::int32_t first, score, level, lives;
    ~Restore() {
      g.level_source = std::move(source);
      g.first_level = first;
      g.score = score;
      g.level = level;
      g.lives = lives;
      g.trial_ = false;
      g.GameState = state::kGameOver;
    }
  } restore{*this, kept_source, kept_first, kept_score, kept_level, kept_lives};
  play_game();
  return trial_won_;
}

bool Game::lose_locomotive() {
  play_explosion();
  explode_locomotive();
  GameState = state::kPlaying;
  loco_heading = heading::kRight;
  lives = wrapping_add(lives, -1);
  if (lives == 0) {
    GameState = state::kGameOver;
    return false;
  }
  // The same level again from its file: every slide is undone.
  load_level();
  show_level();
  step_interval = level_interval(speedup);
  loco_x = 1;
  loco_y = 1;
  p_.wait_key();
  describe_field();
  // A full interval before the first step.
  last_step_time = clock_reading();
  return true;
}

void Game::win_level() {
  p_.sleep_ms(kWonPauseMs);
  level = wrapping_add(level, 1);
  speedup = static_cast<float>(static_cast<double>(speedup) + kSpeedupPerLevel);
  load_level();
  show_level();
  step_interval = level_interval(speedup);
  loco_heading = heading::kRight;
  p_.wait_key();
  describe_field();
}

}  // namespace rt
