// The random-play soak: the whole program on the simulated host, driven by
// seeded random keys in the menu, the game and the name entry, with the
// game's rules checked at every clock reading and pause.

#include "tools/soak/soak.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <fstream>
#include <functional>
#include <iterator>
#include <mutex>
#include <random>
#include <sstream>
#include <thread>
#include <utility>

#include "app/program.h"
#include "app/sim_run.h"
#include "hosts/sim/sim_host.h"
#include "platform/formats/field_reader.h"
#include "platform/keyboard.h"
#include "platform/platform.h"

namespace rt::soak {

namespace {

// A letter key that means nothing to the game: it starts a level, and types
// into the name entry.
constexpr int kScanX = 45;
constexpr int kCodeX = 'x';

constexpr int kFieldCells = kColumns * kRows;
// Clock readings and pauses in a row that leave the virtual time where it is
// before the clock is taken to stand still.
constexpr std::int64_t kMaxCallsWithoutAdvance = 1'000'000;

std::string read_bytes(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void write_bytes(const std::filesystem::path& file, const std::string& bytes) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string level_file_name(int number) {
  return std::string(kLevelNames[static_cast<std::size_t>(number - 1)]) + ".dat";
}

// The simulated host with a hook after every clock reading and pause: the
// moments at which the game's state can be looked at.
class SoakHost : public SimHost {
 public:
  std::function<void()> observer;

  double clock_seconds() override {
    const double t = SimHost::clock_seconds();
    if (observer) observer();
    return t;
  }
  void pause_ms(int ms) override {
    SimHost::pause_ms(ms);
    if (observer) observer();
  }
  void pause_until(double seconds) override {
    SimHost::pause_until(seconds);
    if (observer) observer();
  }
  void wait_for_key(double look_seconds, const std::function<bool()>& arrived) override {
    SimHost::wait_for_key(look_seconds, arrived);
    if (observer) observer();
  }
};

// Aborts the process when the virtual clock has not moved for too long in
// real time: the program is stuck in a loop that neither reads the clock nor
// pauses.
class RealTimeWatchdog {
 public:
  RealTimeWatchdog(double limit_seconds, const std::atomic<std::int64_t>& beat)
      : limit_(limit_seconds), beat_(beat) {
    if (limit_ > 0.0) thread_ = std::thread([this] { watch(); });
  }
  ~RealTimeWatchdog() {
    {
      std::lock_guard guard(mutex_);
      stop_ = true;
    }
    wake_.notify_all();
    if (thread_.joinable()) thread_.join();
  }
  RealTimeWatchdog(const RealTimeWatchdog&) = delete;
  RealTimeWatchdog& operator=(const RealTimeWatchdog&) = delete;

 private:
  void watch() {
    using Clock = std::chrono::steady_clock;
    std::int64_t last_beat = beat_.load();
    auto last_change = Clock::now();
    std::unique_lock guard(mutex_);
    while (!stop_) {
      wake_.wait_for(guard, std::chrono::milliseconds(200));
      const std::int64_t beat = beat_.load();
      if (beat != last_beat) {
        last_beat = beat;
        last_change = Clock::now();
      } else if (std::chrono::duration<double>(Clock::now() - last_change).count() > limit_) {
        std::fprintf(stderr, "soak: the virtual clock has not moved for %.0f s: hung\n", limit_);
        std::abort();
      }
    }
  }

  double limit_;
  const std::atomic<std::int64_t>& beat_;
  std::mutex mutex_;
  std::condition_variable wake_;
  bool stop_ = false;
  std::thread thread_;
};

// The random player: looks at what the program is doing and schedules the
// next few key events for it, then comes back when they are done.
class Player {
 public:
  Player(SimHost& host, const Program& program, std::mt19937_64& rng)
      : host_(host), program_(program), rng_(rng) {}

  void start(double time) {
    host_.at(time, [this] { act(); });
  }

 private:
  double uniform(double low, double high) {
    return std::uniform_real_distribution<double>(low, high)(rng_);
  }
  int pick(int count) { return std::uniform_int_distribution<int>(0, count - 1)(rng_); }

  void tap(double time, int scan_code, int code, double hold) {
    host_.press(time, scan_code, code);
    host_.release(time + hold, scan_code);
  }

  static int arrow_scan(int which) {
    static constexpr int kArrows[4] = {scan::kUp, scan::kDown, scan::kLeft, scan::kRight};
    return kArrows[which];
  }

  void act() {
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
  double play(double now) {
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
  double use_menu(double now) {
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
  double type_name(double now) {
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

  SimHost& host_;
  const Program& program_;
  std::mt19937_64& rng_;
};

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

LevelContents level_contents(const std::filesystem::path& file) {
  FieldReader reader(text_mode(read_bytes(file)));
  LevelContents level;
  std::vector<TileCode> cells;
  cells.reserve(kFieldCells);
  for (int i = 0; i < kFieldCells; ++i) cells.push_back(reader.read_int());
  level.hole_x = std::clamp(reader.read_int(), 1, kColumns);
  level.hole_y = std::clamp(reader.read_int(), 1, kRows);
  // Stored column by column.
  level.hole_empty =
      cells[static_cast<std::size_t>((level.hole_x - 1) * kRows + (level.hole_y - 1))] == 0;
  std::sort(cells.begin(), cells.end());
  level.codes = std::move(cells);
  return level;
}

std::string generated_level(std::uint64_t seed, int number) {
  std::mt19937_64 rng(seed * 1000003u + static_cast<std::uint64_t>(number));
  auto below = [&rng](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };
  std::array<std::array<TileCode, kRows + 1>, kColumns + 1> cell{};
  for (int x = 1; x <= kColumns; ++x) {
    for (int y = 1; y <= kRows; ++y) {
      const int r = below(100);
      cell[x][y] = r < 8 ? tile::kBaum1 : r < 12 ? tile::kHaus : r < 35 ? 10 + below(6) : 1;
    }
  }
  // A straight track from the start to the station, a few cells long. About
  // one level in six has a grass gap before the station, where locomotives are
  // lost unless a slide happens to close it.
  const int track = 1 + below(6);
  for (int x = 1; x <= track; ++x) cell[x][1] = tile::kSchieneWage;
  const bool gap = below(6) == 0;
  if (gap) cell[track + 1][1] = tile::kGruen;
  cell[track + (gap ? 2 : 1)][1] = tile::kHbf;
  // The hole away from the track.
  const int hole_x = 1 + below(kColumns);
  const int hole_y = 3 + below(kRows - 2);
  cell[hole_x][hole_y] = tile::kSchwarz;

  std::string text;
  for (int x = 1; x <= kColumns; ++x) {
    for (int y = 1; y <= kRows; ++y) {
      text += std::to_string(cell[x][y]) + (y == kRows ? "\r\n" : ",");
    }
  }
  return text + std::to_string(hole_x) + "\r\n" + std::to_string(hole_y) + "\r\n";
}

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

SoakReport run_soak(const SoakOptions& options) {
  // The work folder: the levels, and no list left from an earlier soak.
  std::array<LevelContents, 10> levels;
  try {
    const std::filesystem::path data = options.work_dir / "Data";
    std::filesystem::create_directories(data);
    std::filesystem::remove(data / "High.dat");
    std::filesystem::remove(data / "High.dat.tmp");
    for (int n = 1; n <= kLevelCount; ++n) {
      const std::filesystem::path target = data / level_file_name(n);
      if (options.levels == LevelSet::Generated) {
        write_bytes(target, generated_level(options.seed, n));
      } else {
        std::filesystem::copy_file(options.level_dir / level_file_name(n), target,
                                   std::filesystem::copy_options::overwrite_existing);
      }
      levels[static_cast<std::size_t>(n - 1)] = level_contents(target);
    }
  } catch (const std::exception& e) {
    SoakReport report;
    report.ok = false;
    report.failure = std::string("cannot prepare the work folder: ") + e.what();
    return report;
  }

  Checker checker(std::move(levels), options);
  SoakReport& report = checker.report();
  std::mt19937_64 rng(options.seed);
  std::atomic<std::int64_t> beat{0};
  RealTimeWatchdog watchdog(options.real_time_limit, beat);
  HighScoreTable kept{};  // what the file must hold: nothing yet

  try {
    bool done = false;
    while (!done && report.virtual_seconds < options.virtual_seconds) {
      SoakHost host;
      host.set_time_limit(options.virtual_seconds - report.virtual_seconds);
      Platform platform(host, options.work_dir);
      Program program(platform);
      checker.start_run(kept);
      host.observer = [&] {
        checker.observe(program, host.now());
        beat.fetch_add(1, std::memory_order_relaxed);
      };
      Player player(host, program, rng);
      player.start(0.2);
      const SimEnd end = run_on_sim(host, program);
      if (end.how == SimEnd::How::Returned) {
        throw SoakFailure{"the program returned without ending"};
      }
      if (end.how == SimEnd::How::Ended) {
        if (end.status != 0) {
          throw SoakFailure{"the program ended with status " + std::to_string(end.status)};
        }
        kept = program.frontend.high_scores;
      } else {
        done = true;  // the soak's time is up
      }
      host.observer = nullptr;
      report.virtual_seconds += host.now();
    }
  } catch (const SoakFailure& failure) {
    report.ok = false;
    report.failure = failure.message;
  } catch (const std::exception& e) {
    report.ok = false;
    report.failure = std::string("unexpected exception: ") + e.what();
  }
  return report;
}

std::string describe(const SoakReport& r) {
  std::ostringstream s;
  s.setf(std::ios::fixed);
  s.precision(2);
  s << (r.ok ? "ok" : "FAILED") << ": " << r.virtual_seconds / 3600.0 << " virtual h, " << r.runs
    << " runs, " << r.games << " games, " << r.polls << " polls, " << r.checks << " checks, "
    << r.levels_won << " levels won (" << r.level_wraps << " wraps), " << r.locos_lost
    << " locomotives lost, " << r.names_entered << " names, best " << r.best_score
    << ", longest poll gap " << r.longest_poll_gap << " s";
  if (!r.ok) s << "\n  " << r.failure;
  return s.str();
}

}  // namespace rt::soak
