// The soak's random player: what it presses in the game, the menu and the
// name entry, and how long it waits before it looks again.
#include "tools/soak/player.h"

#include <iterator>

#include "platform/keyboard.h"

namespace rt::soak {

namespace {

// A letter key that means nothing to the game: it starts a level, and types
// into the name entry.
constexpr int kScanX = 45;
constexpr int kCodeX = 'x';

int arrow_scan(int which) {
  static constexpr int kArrows[4] = {scan::kUp, scan::kDown, scan::kLeft, scan::kRight};
  return kArrows[which];
}

}  // namespace

Player::Player(SimHost& host, const Program& program, std::mt19937_64& rng)
    : host_(host), program_(program), rng_(rng) {}

void Player::start(double time) {
  host_.at(time, [this] { act(); });
}

double Player::uniform(double low, double high) {
  return std::uniform_real_distribution<double>(low, high)(rng_);
}

int Player::pick(int count) {
  return std::uniform_int_distribution<int>(0, count - 1)(rng_);
}

void Player::tap(double time, int scan_code, int code, double hold) {
  host_.press(time, scan_code, code);
  host_.release(time + hold, scan_code);
}

void Player::act() {
  const Game& game = program_.game;
  const double now = host_.now();
  double next = now;
  if (game.GameState != 2) {
    next = play(now);
  } else if (game.score > program_.frontend.high_scores.back().points) {
    next = type_name(now);
  } else {
    next = use_menu(now);
  }
  host_.at(next, [this] { act(); });
}

// In the game: arrows, alone, held long or two at once, the speed-up, the
// sound switch, giving up a locomotive, a plain key, or nothing for a while.
double Player::play(double now) {
  const double r = uniform(0.0, 1.0);
  double hold = uniform(0.05, 0.45);
  if (r < 0.55) {
    const int arrow = arrow_scan(pick(4));
    tap(now, arrow, extended_code(arrow), hold);
  } else if (r < 0.62) {
    const int first = arrow_scan(pick(4));
    const int second = arrow_scan(pick(4));
    tap(now, first, extended_code(first), hold);
    tap(now + 0.02, second, extended_code(second), hold);
    hold += 0.02;
  } else if (r < 0.70) {
    tap(now, kScanX, kCodeX, hold);
  } else if (r < 0.76) {
    if (pick(2) == 0) {
      tap(now, scan::kSpace, keycode::kSpace, hold);
    } else {
      tap(now, scan::kEnter, keycode::kEnter, hold);
    }
  } else if (r < 0.79) {
    tap(now, scan::kS, 's', hold);
  } else if (r < 0.80) {
    tap(now, scan::kEscape, keycode::kEscape, hold);
  } else if (r < 0.86) {
    hold = uniform(0.6, 1.5);  // long enough for the key to repeat
    const int arrow = arrow_scan(pick(4));
    tap(now, arrow, extended_code(arrow), hold);
  } else {
    return now + uniform(0.5, 3.0);  // the player looks on
  }
  return now + hold + uniform(0.02, 0.3);
}

// In the menu: mostly moves and choices; rarely Escape. Choosing the
// second item ends the program through "SPIEL BEENDEN".
double Player::use_menu(double now) {
  const double r = uniform(0.0, 1.0);
  double hold = uniform(0.05, 0.3);
  if (r < 0.40) {
    tap(now, scan::kUp, extended_code(scan::kUp), hold);
  } else if (r < 0.62) {
    tap(now, scan::kDown, extended_code(scan::kDown), hold);
  } else if (r < 0.80) {
    tap(now, scan::kEnter, keycode::kEnter, hold);
  } else if (r < 0.90) {
    tap(now, scan::kSpace, keycode::kSpace, hold);
  } else if (r < 0.905) {
    tap(now, scan::kEscape, keycode::kEscape, hold);
  } else if (r < 0.95) {
    tap(now, kScanX, kCodeX, hold);
  } else {
    hold = uniform(0.6, 1.2);
    tap(now, scan::kUp, extended_code(scan::kUp), hold);
  }
  return now + hold + uniform(0.05, 0.5);
}

// In the name entry: a burst of typed codes with quotes, commas, high
// bytes and the editing keys; Enter ends the name.
double Player::type_name(double now) {
  static constexpr int kEditing[] = {keycode::kBackspace,
                                     keycode::kTab,
                                     keycode::kEscape,
                                     extended_code(scan::kLeft),
                                     extended_code(scan::kRight),
                                     extended_code(scan::kHome),
                                     extended_code(scan::kEnd),
                                     extended_code(scan::kDelete),
                                     extended_code(scan::kUp),
                                     extended_code(scan::kDown)};
  const int count = 1 + pick(12);
  double t = now;
  for (int i = 0; i < count; ++i) {
    const double r = uniform(0.0, 1.0);
    int code = 0;
    if (r < 0.05) {
      host_.type_code(t, keycode::kEnter);
      t += 0.05;
      break;
    } else if (r < 0.60) {
      code = 'a' + pick(26);
    } else if (r < 0.65) {
      code = ' ';
    } else if (r < 0.70) {
      code = '"';
    } else if (r < 0.75) {
      code = ',';
    } else if (r < 0.80) {
      code = 128 + pick(128);
    } else if (r < 0.85) {
      code = 32 + pick(96);
    } else {
      code = kEditing[pick(static_cast<int>(std::size(kEditing)))];
    }
    host_.type_code(t, code);
    t += 0.05;
  }
  return t + uniform(0.05, 0.5);
}

}  // namespace rt::soak
