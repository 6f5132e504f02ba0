// The solver on small boards drawn by hand, against a search that tries
// every slide at every step.
#include "levels/solver.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "levels/level_text.h"

namespace rt {
namespace {

// The fewest slides by trying every plan of up to `most` slides, each after
// any step up to `steps`, with no pruning; -1 when none wins.
int fewest_by_trying_all(const Level& level, const PlayTiming& timing, int most, int steps) {
  std::vector<TimedSlide> plan;
  const auto wins = [&](auto&& self, std::size_t left) -> bool {
    if (play_level(level, timing, plan).end == PlayResult::End::Won) return true;
    if (left == 0) return false;
    const int from = plan.empty() ? 1 : plan.back().after_step;
    for (int step = from; step <= steps; ++step) {
      for (const Slide s : kSlides) {
        plan.push_back({s, step});
        const bool won = self(self, left - 1);
        plan.pop_back();
        if (won) return true;
      }
    }
    return false;
  };
  for (int n = 0; n <= most; ++n) {
    if (wins(wins, static_cast<std::size_t>(n))) return n;
  }
  return -1;
}

int slides_of(const SolveResult& r) {
  return r.plan ? static_cast<int>(r.plan->slides.size()) : -1;
}

TEST(Solver, FindsTheFewestSlidesOfBoardsKnownByHand) {
  struct Case {
    const char* what;
    std::vector<std::string> rows;
    int fewest;
  };
  const std::vector<Case> cases = {
      {"won as laid", {"--S"}, 0},
      {"one piece up into the gap", {"--o-S", "TT-TT"}, 1},
      {"the hole walks one cell first", {"--o-S", "TTT-T"}, 2},
      // The only piece that fits ahead is the one the locomotive stands on
      // after its first step: it may move only once the locomotive has left.
      {"a passed piece used again", {"--7", "ToJ", "TS"}, 1},
  };
  const PlayTiming timing = timing_for(interval_of_level(1));
  for (const Case& c : cases) {
    const Level level = level_from_text(c.rows);
    const SolveResult r = solve_level(level, timing.interval);
    ASSERT_TRUE(r.plan) << c.what;
    EXPECT_EQ(slides_of(r), c.fewest) << c.what;
    // A search with no pruning agrees, and the plan wins as the solver says.
    EXPECT_EQ(fewest_by_trying_all(level, timing, c.fewest, 6), c.fewest) << c.what;
    const PlayResult played = play_level(level, timing, r.plan->timed());
    EXPECT_EQ(played.end, PlayResult::End::Won) << c.what;
    EXPECT_EQ(played.steps, r.plan->steps_to_station) << c.what;
  }
}

TEST(Solver, WaitsUntilTheLocomotiveHasLeftThePieceItNeeds) {
  const Level level = level_from_text({"--7", "ToJ", "TS"});
  const PlayTiming timing = timing_for(interval_of_level(1));
  const SolveResult r = solve_level(level, timing.interval);
  ASSERT_TRUE(r.plan);
  ASSERT_EQ(r.plan->slides.size(), 1u);
  // Down after step 2 (the locomotive on the curve), no sooner: after step 1
  // the piece is under the locomotive and the slide does nothing. At the
  // latest after step 3, before the locomotive runs into the gap.
  EXPECT_EQ(r.plan->slides[0].slide, Slide::Down);
  EXPECT_EQ(r.plan->slides[0].earliest_step, 2);
  EXPECT_EQ(r.plan->slides[0].latest_step, 3);
  EXPECT_NE(play_level(level, timing, {{Slide::Down, 1}}).end, PlayResult::End::Won);
  EXPECT_EQ(r.plan->steps_to_station, 4);
}

// The polls a plan may count: 26 between two steps of level 1 on the clock
// of a fresh game, fewer once float readings have coarsened after 18 hours.
TEST(Solver, CountsOnlyThePollsThatSurelyFallBetweenTwoSteps) {
  EXPECT_EQ(timing_for(interval_of_level(1)).polls, 26);
  EXPECT_EQ(timing_for(interval_of_level(10)).polls, 2);
  EXPECT_LT(sure_polls(interval_of_level(1), 18.0 * 3600.0), 26);
}

TEST(Solver, SaysWhyThereIsNoPlan) {
  // A tree ahead that no slide can move.
  const SolveResult stuck = solve_level(level_from_text({"-TS", "o"}), interval_of_level(1));
  EXPECT_FALSE(stuck.plan);
  EXPECT_EQ(stuck.why, NoPlanReason::CannotBeSaved);
  // A step interval too short to hold a poll: no slide can be made.
  EXPECT_EQ(timing_for(0.1f).polls, 0);
  const SolveResult fast = solve_level(level_from_text({"--o-S", "TT-TT"}), 0.1f);
  EXPECT_FALSE(fast.plan);
  EXPECT_EQ(fast.why, NoPlanReason::CannotBeSaved);
  // A search allowed too few states stops at its bound and says so.
  SolveLimits tight;
  tight.max_nodes = 2;
  const SolveResult bounded =
      solve_level(level_from_text({"--o-S", "TTT-T"}), interval_of_level(1), tight);
  EXPECT_FALSE(bounded.plan);
  EXPECT_EQ(bounded.why, NoPlanReason::BoundReached);
}

}  // namespace
}  // namespace rt
