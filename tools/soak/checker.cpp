// Checking a running program against the game's rules: values in range, the
// board holding the level's pieces, the clock moving, polls and menus ending.
#include "tools/soak/checker.h"

#include <algorithm>
#include <sstream>
#include <utility>
#include <vector>

#include "app/program.h"

namespace rt::soak {

namespace {

constexpr int kFieldCells = kColumns * kRows;
// Clock readings and pauses in a row that leave the virtual time where it is
// before the clock is taken to stand still.
constexpr std::int64_t kMaxCallsWithoutAdvance = 1'000'000;

bool same_list(const HighScoreTable& a, const HighScoreTable& b) {
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (a[i].name != b[i].name || a[i].points != b[i].points) return false;
  }
  return true;
}

std::string list_text(const HighScoreTable& list) {
  std::string text;
  for (const HighScoreEntry& entry : list) {
    text += "[" + entry.name + "] " + std::to_string(entry.points) + "; ";
  }
  return text;
}

}  // namespace

Checker::Checker(std::array<LevelContents, 10> levels, SoakOptions options)
    : levels_(std::move(levels)), options_(std::move(options)) {}

void Checker::start_run(const HighScoreTable& expected_list) {
  expected_list_ = expected_list;
  list_checked_ = false;
  loaded_ = false;
  last_now_ = -1.0;
  calls_without_advance_ = 0;
  poll_seen_ = false;
  last_state_ = 2;
  menu_since_ = 0.0;
  last_level_ = 1;
  last_lives_ = 3;
  last_score_ = 0;
  ++report_.runs;
}

void Checker::fail(double now, const std::string& what) const {
  std::ostringstream s;
  s << "seed " << options_.seed << ", run " << report_.runs << ", virtual time "
    << report_.virtual_seconds + now << " s (" << now << " s into the run): " << what;
  throw SoakFailure{s.str()};
}

std::optional<std::string> Checker::broken_rule(const Program& program, bool loaded) const {
  const Game& g = program.game;
  std::ostringstream s;
  if (g.GameState < 0 || g.GameState > 2) {
    s << "GameState " << g.GameState;
  } else if (g.level < 1 || g.level > kLevelCount) {
    s << "level " << g.level;
  } else if (g.lives < 0 || g.lives > 3) {
    s << "lives " << g.lives;
  } else if (!Board::in_field(g.loco_x, g.loco_y)) {
    s << "locomotive at (" << g.loco_x << ", " << g.loco_y << ")";
  }
  if (!s.str().empty() || !loaded) {
    return s.str().empty() ? std::nullopt : std::optional<std::string>(s.str());
  }

  if (!Board::in_field(g.cursor_x, g.cursor_y)) {
    s << "hole at (" << g.cursor_x << ", " << g.cursor_y << ")";
    return s.str();
  }
  for (int x = 0; x < Board::kWidth; ++x) {
    for (int y = 0; y < Board::kHeight; ++y) {
      if ((x == 0 || y == 0) && g.board.get(x, y) != 0) {
        s << "border cell (" << x << ", " << y << ") holds " << g.board.get(x, y);
        return s.str();
      }
    }
  }
  const LevelContents& level = levels_[static_cast<std::size_t>(g.level - 1)];
  if (level.hole_empty && g.board.get(g.cursor_x, g.cursor_y) != 0) {
    s << "the hole (" << g.cursor_x << ", " << g.cursor_y << ") holds "
      << g.board.get(g.cursor_x, g.cursor_y);
    return s.str();
  }
  std::vector<TileCode> codes;
  codes.reserve(kFieldCells);
  for (int x = 1; x <= kColumns; ++x) {
    for (int y = 1; y <= kRows; ++y) codes.push_back(g.board.get(x, y));
  }
  std::sort(codes.begin(), codes.end());
  if (codes != level.codes) {
    s << "the board does not hold the pieces of level " << g.level;
    return s.str();
  }
  return std::nullopt;
}

void Checker::observe(const Program& program, double now) {
  const Game& g = program.game;

  // The clock only moves forward, and it does move.
  if (now < last_now_) fail(now, "the virtual clock went back");
  if (now == last_now_) {
    if (++calls_without_advance_ > kMaxCallsWithoutAdvance) {
      fail(now, "the virtual clock stands still");
    }
  } else {
    calls_without_advance_ = 0;
  }
  last_now_ = now;

  // The list read at start-up is the one the previous run ended with.
  if (!list_checked_) {
    list_checked_ = true;
    if (!same_list(program.frontend.high_scores, expected_list_)) {
      fail(now, "the high-score list read at start-up is not the one kept: " +
                    list_text(program.frontend.high_scores) + " instead of " +
                    list_text(expected_list_));
    }
  }

  // A level has been loaded once the hole stands on the field.
  const bool newly_loaded = !loaded_ && (g.cursor_x != 0 || g.cursor_y != 0);
  loaded_ = loaded_ || newly_loaded;
  const bool in_game = g.GameState != 2;

  bool full = newly_loaded;
  if (g.last_poll_time != last_poll_value_ || !poll_seen_) {
    if (in_game && poll_seen_) {
      ++report_.polls;
      report_.longest_poll_gap = std::max(report_.longest_poll_gap, now - last_poll_at_);
      last_poll_at_ = now;
      full = true;
    }
    last_poll_value_ = g.last_poll_time;
    poll_seen_ = true;
  }

  // Changes of the game's state, for the figures and the watchdogs.
  if (g.GameState != last_state_) {
    if (last_state_ == 2) {
      ++report_.games;
      last_poll_at_ = now;
    }
    if (g.GameState == 2) menu_since_ = now;
    full = true;
  }
  // A won level moves the counter on by one, or from 10 back to 1 with the
  // speed-up kept; a new game also starts at 1, but with no speed-up.
  if (in_game && g.level != last_level_) {
    if (g.level == last_level_ + 1) ++report_.levels_won;
    if (g.level == 1 && last_level_ == kLevelCount && g.speedup > 0.0f) {
      ++report_.levels_won;
      ++report_.level_wraps;
    }
  }
  if (g.lives < last_lives_) ++report_.locos_lost;
  // A lost locomotive or a level won starts the known pauses: the level's
  // intro and the wait for a key. The poll watchdog counts from there.
  if (in_game && (g.lives != last_lives_ || g.level != last_level_)) last_poll_at_ = now;
  if (!in_game && g.score == 0 && last_score_ > 0) ++report_.names_entered;
  report_.best_score = std::max(report_.best_score, g.score);
  last_state_ = g.GameState;
  last_level_ = g.level;
  last_lives_ = g.lives;
  last_score_ = g.score;

  if (in_game && now - last_poll_at_ > options_.poll_gap_limit) {
    fail(now, "no keyboard poll for " + std::to_string(now - last_poll_at_) + " s in a game");
  }
  if (!in_game && now - menu_since_ > options_.menu_limit) {
    fail(now, "the menu or the name entry has not ended for " + std::to_string(now - menu_since_) +
                  " s");
  }

  if (full) ++report_.checks;
  if (const auto broken = broken_rule(program, loaded_ && full)) fail(now, *broken);
}

}  // namespace rt::soak
