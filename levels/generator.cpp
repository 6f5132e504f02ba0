// The generator: a random route filled round with grass, trees and houses,
// scrambled by the hole's walk, and kept when the solver's fewest slides are
// the level's target with time to spare. A bounded number of attempts, then
// the nearest level found, then a plain level of one slide.
#include "levels/generator.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <optional>

#include "levels/draws.h"
#include "levels/hole_walk.h"
#include "levels/route.h"

namespace rt {
namespace {

// The fewest slides by level, 1 to 10.
constexpr std::array<int, kLevelCount> kTargets{1, 2, 3, 5, 6, 7, 8, 9, 10, 12};
// Trees and houses on about this share in a hundred of the cells off the
// route, about one house to three trees, like the shipped levels.
constexpr int kSceneryPercent = 8;
constexpr int kHousePercent = 30;
// The walk's moves beyond the target before an attempt gives up.
constexpr int kExtraMoves = 6;

int clamp_level(int level_number) {
  return std::clamp(level_number, 1, kLevelCount);
}

// Longer routes on later levels: from 20 to 32 cells on level 1 to 47 to 68
// on level 10.
int shortest_route(int k) {
  return 17 + 3 * k;
}
int longest_route(int k) {
  return 28 + 4 * k;
}

// Every level has a sequence of its own, so that each can be made alone.
std::uint32_t first_word(std::uint32_t seed, int k) {
  return seed ^ (0x9E3779B9u * static_cast<std::uint32_t>(k));
}

Board laid_board(const Route& route, Rnd& rnd) {
  Board board;
  for (int x = 1; x <= kColumns; ++x) {
    for (int y = 1; y <= kRows; ++y) board.set(x, y, tile::kGruen);
  }
  put_route(route, board);
  for (int x = 1; x <= kColumns; ++x) {
    for (int y = 1; y <= kRows; ++y) {
      if (board.get(x, y) != tile::kGruen || !draw_chance(rnd, kSceneryPercent)) continue;
      board.set(x, y, draw_chance(rnd, kHousePercent) ? tile::kHaus : tile::kBaum1);
    }
  }
  return board;
}

// One level's search: the solver's states it may still spend, and the
// nearest level found so far.
struct Search {
  float interval;
  int target;
  std::uint64_t nodes_left;
  std::optional<GeneratedLevel> nearest;

  // The solver's fewest-slides plan, up to the target's slides; none when
  // it has more, or the budget ran out.
  std::optional<Plan> solve(const Level& level) {
    SolveLimits limits;
    limits.max_slides = target;
    limits.max_nodes = nodes_left;
    SolveResult result = solve_level(level, interval, limits);
    nodes_left -= std::min(nodes_left, result.nodes);
    return std::move(result.plan);
  }

  void keep_if_nearer(const Level& level, Plan plan) {
    const auto off = [this](const Plan& p) {
      return std::abs(static_cast<int>(p.slides.size()) - target);
    };
    if (!nearest || off(plan) < off(nearest->plan)) nearest = GeneratedLevel{level, plan, false};
  }
};

// A straight track along the top row with one piece pushed down below its
// place: one slide up mends it, in time at every level's speed.
GeneratedLevel plain_level(float interval) {
  GeneratedLevel made;
  Board& board = made.level.board;
  for (int x = 1; x <= kColumns; ++x) {
    for (int y = 1; y <= kRows; ++y) board.set(x, y, tile::kGruen);
  }
  for (int x = 1; x <= 18; ++x) board.set(x, 1, tile::kSchieneWage);
  board.set(19, 1, tile::kHbf);
  board.set(10, 1, tile::kSchwarz);
  board.set(10, 2, tile::kSchieneWage);
  made.level.cursor_x = 10;
  made.level.cursor_y = 1;
  if (auto plan = solve_level(made.level, interval).plan) made.plan = std::move(*plan);
  return made;
}

}  // namespace

int target_slides(int level_number) {
  return kTargets[static_cast<std::size_t>(clamp_level(level_number) - 1)];
}

GeneratedLevel generate_proven_level(std::uint32_t seed, int level_number,
                                     const GeneratorLimits& limits) {
  const int k = clamp_level(level_number);
  Search search{interval_of_level(k), limits.target > 0 ? limits.target : target_slides(k),
                limits.nodes, std::nullopt};
  Rnd rnd(first_word(seed, k));
  for (int attempt = 0; attempt < limits.attempts && search.nodes_left > 0; ++attempt) {
    const auto route = lay_route(rnd, shortest_route(k), longest_route(k));
    if (!route) continue;
    const Board laid = laid_board(*route, rnd);
    // The walk grows a move at a time from the target on, so that the
    // fewest slides, never more than its moves, meet the target on the way
    // before they pass it.
    const Rnd walk_start(static_cast<std::uint32_t>(rnd.next() * 4294967296.0));
    for (int moves = search.target; moves <= search.target + kExtraMoves; ++moves) {
      Rnd walk = walk_start;
      const auto level = walk_hole(laid, *route, moves, walk);
      if (!level) break;
      auto plan = search.solve(*level);
      if (!plan || plan->seconds_to_spare < kMinSecondsToSpare) break;
      if (plan->slides.empty()) continue;
      if (static_cast<int>(plan->slides.size()) == search.target) {
        return {*level, std::move(*plan), true};
      }
      search.keep_if_nearer(*level, std::move(*plan));
    }
  }
  if (search.nearest) return std::move(*search.nearest);
  return plain_level(search.interval);
}

Level generate_level(std::uint32_t seed, int level_number) {
  return generate_proven_level(seed, level_number).level;
}

}  // namespace rt
