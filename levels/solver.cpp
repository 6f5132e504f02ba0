// The solver: iterative deepening over the number of slides, with a bound
// that no plan can beat and a table of states already searched.
//
// A slide is tried at two moments only: at the first poll after the slide
// before it, and at the first poll after the locomotive leaves the slide's
// piece (a piece the locomotive still needs or stands on may move once it
// has passed). Between slides the locomotive runs on the board as it lies.
#include "levels/solver.h"

#include <algorithm>
#include <array>
#include <deque>
#include <limits>
#include <memory>
#include <vector>

namespace rt {

std::vector<TimedSlide> Plan::timed() const {
  std::vector<TimedSlide> out;
  for (const PlannedSlide& s : slides) out.push_back({s.slide, s.earliest_step});
  return out;
}

namespace {

constexpr int kNever = std::numeric_limits<int>::max() / 4;
constexpr int kFound = -1;

std::uint64_t mix(std::uint64_t z) {
  z += 0x9e3779b97f4a7c15ULL;
  z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
  z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
  return z ^ (z >> 31);
}

struct Key {
  std::uint64_t a = 0;
  std::uint64_t b = 0;
  bool operator==(const Key&) const = default;
};
// The searched states and the slides each still needs at least: open
// addressing over a power-of-two array, grown at half full. It keeps what a
// map would keep: find, then raise a state's value or add a new one.
class StateTable {
 public:
  std::size_t size() const { return size_; }
  // The value kept for `key`, or nullptr.
  int* find(const Key& key) {
    if (entries_.empty()) return nullptr;
    for (std::size_t i = index(key);; i = (i + 1) & mask_) {
      Entry& e = entries_[i];
      if (!e.used) return nullptr;
      if (e.key == key) return &e.value;
    }
  }
  void add(const Key& key, int value) {
    if (2 * (size_ + 1) > entries_.size()) grow();
    std::size_t i = index(key);
    while (entries_[i].used) i = (i + 1) & mask_;
    entries_[i] = Entry{key, value, true};
    ++size_;
  }

 private:
  struct Entry {
    Key key;
    int value = 0;
    bool used = false;
  };
  std::size_t index(const Key& key) const { return static_cast<std::size_t>(key.a) & mask_; }
  void grow() {
    std::vector<Entry> old = std::move(entries_);
    entries_.assign(old.empty() ? 1024 : 2 * old.size(), Entry{});
    mask_ = entries_.size() - 1;
    for (const Entry& e : old) {
      if (!e.used) continue;
      std::size_t i = index(e.key);
      while (entries_[i].used) i = (i + 1) & mask_;
      entries_[i] = e;
    }
  }

  std::vector<Entry> entries_;
  std::size_t mask_ = 0;
  std::size_t size_ = 0;
};

// A slide at poll `poll` (from 0) after step `step`.
struct Made {
  Slide slide;
  int step;
  int poll;
};

// The locomotive's run from now on with no further slide: at[i] is the
// locomotive i steps from now. Unless it wins, its next step after the last
// one crashes into (crash_x, crash_y), or it runs past the horizon.
struct Run {
  std::vector<Locomotive> at;
  bool won = false;
  bool endless = false;
  int crash_x = 0;
  int crash_y = 0;
};

class Search {
 public:
  Search(const Level& level, const PlayTiming& timing, const SolveLimits& limits)
      : level_(level), timing_(timing), limits_(limits), board_(level.board) {
    cursor_x_ = level.hole_column();
    cursor_y_ = level.hole_row();
    for (int x = 1; x <= kColumns; ++x) {
      for (int y = 1; y <= kRows; ++y) toggle(x, y);
    }
  }

  SolveResult run() {
    SolveResult result;
    int bound = 0;
    for (;;) {
      result.bound = bound;
      const int next = dfs(0, bound);
      result.nodes = nodes_;
      if (next == kFound) {
        result.plan = plan_of(found_);
        return result;
      }
      if (aborted_ || next > limits_.max_slides) {
        result.why =
            next >= kNever && !aborted_ ? NoPlanReason::CannotBeSaved : NoPlanReason::BoundReached;
        return result;
      }
      bound = next;
    }
  }

 private:
  // The board's part of the state's key, kept as cells change.
  void toggle(int x, int y) {
    const auto code = static_cast<std::uint32_t>(board_.get(x, y));
    const std::uint64_t cell = (static_cast<std::uint64_t>(x * Board::kHeight + y) << 32) | code;
    key_.a ^= mix(cell);
    key_.b ^= mix(cell ^ 0x5bd1e9955bd1e995ULL);
  }
  void set(int x, int y, TileCode code) {
    toggle(x, y);
    board_.set(x, y, code);
    toggle(x, y);
  }
  Key state_key() const {
    const std::uint64_t rest =
        static_cast<std::uint64_t>(loco_.x) | static_cast<std::uint64_t>(loco_.y) << 8 |
        static_cast<std::uint64_t>(loco_.heading & 3) << 16 |
        static_cast<std::uint64_t>(used_) << 20 | static_cast<std::uint64_t>(loco_.steps) << 32;
    return {key_.a ^ mix(rest ^ 0x1234567ULL), key_.b ^ mix(rest ^ 0x89abcdefULL)};
  }

  // The route from the state now into `r`, whose storage is reused.
  void drive(Run& r) const {
    r.at.clear();
    r.won = false;
    r.endless = false;
    Locomotive l = loco_;
    r.at.push_back(l);
    for (;;) {
      if (l.steps >= kStepHorizon) {
        r.endless = true;
        return;
      }
      const Offset o = cell_ahead(l.heading);
      const StepEnd end = step_on(board_, l);
      if (end == StepEnd::Crashed) {
        r.crash_x = l.x + o.dx;
        r.crash_y = l.y + o.dy;
        return;
      }
      r.at.push_back(l);
      if (end == StepEnd::Won) {
        r.won = true;
        return;
      }
    }
  }

  using Distances = std::array<std::array<int, Board::kHeight>, Board::kWidth>;

  // Slides the hole needs to reach each cell, through pieces that may move.
  // A slide swaps the hole with a piece that may move, so the cells that
  // may move stay the same all search long: the distances depend on where
  // the hole is alone, and are worked out once for each place of it.
  const Distances& hole_distances() {
    std::unique_ptr<Distances>& known =
        distances_[static_cast<std::size_t>(cursor_x_ * Board::kHeight + cursor_y_)];
    if (known) return *known;
    known = std::make_unique<Distances>();
    Distances& distance = *known;
    for (auto& column : distance) column.fill(kNever);
    std::array<std::pair<int, int>, kColumns * kRows> queue{};
    std::size_t head = 0;
    std::size_t tail = 0;
    distance[cursor_x_][cursor_y_] = 0;
    queue[tail++] = {cursor_x_, cursor_y_};
    while (head < tail) {
      const auto [x, y] = queue[head++];
      for (const Slide s : kSlides) {
        const Offset o = slide_source(s);
        const int nx = x + o.dx;
        const int ny = y + o.dy;
        if (!Board::in_field(nx, ny) || !is_movable(board_.get(nx, ny))) continue;
        if (distance[nx][ny] != kNever) continue;
        distance[nx][ny] = distance[x][y] + 1;
        queue[tail++] = {nx, ny};
      }
    }
    return distance;
  }

  // The fewest slides any winning plan still needs: some cell of the route
  // ahead must change before the locomotive polls at it, and the hole must
  // reach it within the polls left until then.
  int lower_bound(const Run& r) {
    const Distances& distance = hole_distances();
    const auto cost = [&](int x, int y) {
      if (!Board::in_field(x, y)) return kNever;
      const int d = distance[x][y];
      return d == 0 ? 1 : d;
    };
    int best = kNever;
    int polls = timing_.polls_after(loco_.steps) - used_;
    for (std::size_t i = 1; i <= r.at.size(); ++i) {
      const bool crash = i == r.at.size();
      if (crash && r.endless) break;
      const int c = crash ? cost(r.crash_x, r.crash_y) : cost(r.at[i].x, r.at[i].y);
      if (c <= polls) best = std::min(best, c);
      polls += timing_.polls;
      if (best == 1) break;
    }
    return best;
  }

  int dfs(int g, int bound) {
    if (++nodes_ > limits_.max_nodes) aborted_ = true;
    if (aborted_) return kNever;
    // One route per depth, kept for its storage (a deque keeps the routes
    // of the depths above in place while this one grows).
    if (routes_.size() <= static_cast<std::size_t>(g))
      routes_.resize(static_cast<std::size_t>(g) + 1);
    Run& route = routes_[static_cast<std::size_t>(g)];
    drive(route);
    if (route.won) {
      found_ = path_;
      found_steps_ = route.at.back().steps;
      return kFound;
    }
    int h = lower_bound(route);
    if (h >= kNever) return kNever;
    const Key key = state_key();
    if (const int* known = table_.find(key)) h = std::max(h, *known);
    if (g + h > bound) return g + h;

    int least = kNever;
    const int k = loco_.steps;
    const int last = route.at.back().steps;  // the last step before the crash
    for (const Slide s : kSlides) {
      const Offset o = slide_source(s);
      const int sx = cursor_x_ + o.dx;
      const int sy = cursor_y_ + o.dy;
      if (!Board::in_field(sx, sy) || !is_movable(board_.get(sx, sy))) continue;
      // The first poll after the previous slide.
      std::array<std::pair<int, int>, 2> slots{};
      int count = 0;
      const std::pair<int, int> soon =
          used_ < timing_.polls_after(k) ? std::pair{k, used_} : std::pair{k + 1, 0};
      const auto at = [&](int step) -> const Locomotive& {
        return route.at[static_cast<std::size_t>(step - k)];
      };
      if (soon.first <= last && (at(soon.first).x != sx || at(soon.first).y != sy)) {
        slots[count++] = soon;
      }
      // The first poll after the locomotive leaves the piece.
      for (int step = k + 1; step <= last; ++step) {
        const Locomotive& before = at(step - 1);
        const Locomotive& after = at(step);
        if (before.x == sx && before.y == sy && (after.x != sx || after.y != sy)) {
          if (std::pair{step, 0} > soon) slots[count++] = {step, 0};
          break;
        }
      }
      for (int i = 0; i < count; ++i) {
        const int r = try_slide(s, sx, sy, slots[i], route, g, bound);
        if (r == kFound) return kFound;
        least = std::min(least, r);
      }
    }
    if (!aborted_) {
      const int needed = least >= kNever ? kNever : least - g;
      if (int* known = table_.find(key)) {
        *known = std::max(*known, needed);
      } else if (table_.size() < limits_.max_table_entries) {
        table_.add(key, needed);
      }
    }
    return least;
  }

  int try_slide(Slide s, int sx, int sy, std::pair<int, int> slot, const Run& route, int g,
                int bound) {
    if (timing_.polls_after(slot.first) <= slot.second) return kNever;
    const Locomotive saved_loco = loco_;
    const int saved_used = used_;
    const int hx = cursor_x_;
    const int hy = cursor_y_;
    const TileCode under = board_.get(hx, hy);
    loco_ = route.at[static_cast<std::size_t>(slot.first - saved_loco.steps)];
    used_ = slot.second + 1;
    set(hx, hy, board_.get(sx, sy));
    set(sx, sy, tile::kSchwarz);
    cursor_x_ = sx;
    cursor_y_ = sy;
    path_.push_back({s, slot.first, slot.second});
    const int r = dfs(g + 1, bound);
    path_.pop_back();
    cursor_x_ = hx;
    cursor_y_ = hy;
    set(sx, sy, board_.get(hx, hy));
    set(hx, hy, under);
    used_ = saved_used;
    loco_ = saved_loco;
    return r;
  }

  Plan plan_of(const std::vector<Made>& made) const;

  const Level& level_;
  const PlayTiming timing_;
  const SolveLimits limits_;
  Board board_;
  int cursor_x_ = 1;
  int cursor_y_ = 1;
  Locomotive loco_;
  int used_ = 0;  // polls used since the locomotive's last step
  Key key_;
  // By the hole's cell (x * kHeight + y): its distances, once worked out.
  std::array<std::unique_ptr<Distances>, Board::kWidth * Board::kHeight> distances_{};
  std::vector<Made> path_;
  std::vector<Made> found_;
  int found_steps_ = 0;
  std::uint64_t nodes_ = 0;
  bool aborted_ = false;
  StateTable table_;
  std::deque<Run> routes_;
};

Plan Search::plan_of(const std::vector<Made>& made) const {
  Plan plan;
  plan.steps_to_station = found_steps_;
  for (const Made& m : made) plan.slides.push_back({m.slide, m.step, m.step});
  // How long each slide may wait, the ones after it no earlier than it.
  for (std::size_t i = 0; i < plan.slides.size(); ++i) {
    for (int wait = plan.slides[i].earliest_step + 1; wait <= plan.steps_to_station; ++wait) {
      std::vector<TimedSlide> timed = plan.timed();
      for (std::size_t j = i; j < timed.size(); ++j) {
        timed[j].after_step = std::max(timed[j].after_step, wait);
      }
      if (play_level(level_, timing_, timed).end == PlayResult::End::Won) {
        plan.slides[i].latest_step = wait;
      }
    }
  }
  if (!plan.slides.empty()) {
    const PlannedSlide& last = plan.slides.back();
    plan.seconds_to_spare = static_cast<double>(last.latest_step + 1 - last.earliest_step) *
                            static_cast<double>(timing_.interval);
  }
  return plan;
}

}  // namespace

SolveResult solve_level(const Level& level, float step_interval, const SolveLimits& limits) {
  Search search(level, timing_for(step_interval, limits.clock_limit), limits);
  return search.run();
}

}  // namespace rt
