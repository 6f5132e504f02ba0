// The windowed hosts' game clock: time away does not count, and a key wait
// ends on the next whole poll.
#include "hosts/windowed/away_clock.h"

#include <gtest/gtest.h>

namespace rt::testing {
namespace {

TEST(AwayClockTest, StandsStillWhileAwayAndGoesOnFromWhereItStopped) {
  AwayClock clock(100.0);
  EXPECT_DOUBLE_EQ(clock.game_seconds(102.0), 2.0);
  EXPECT_TRUE(clock.set_away(true, 103.0));
  EXPECT_FALSE(clock.set_away(true, 104.0));  // already away: the first moment counts
  EXPECT_DOUBLE_EQ(clock.game_seconds(110.0), 3.0);
  EXPECT_TRUE(clock.set_away(false, 110.0));
  EXPECT_DOUBLE_EQ(clock.game_seconds(111.5), 4.5);
}

TEST(AwayClockTest, AKeyWaitEndsOnTheNextWholePoll) {
  EXPECT_DOUBLE_EQ(next_poll(10.0, 10.25, 0.1), 10.3);
  EXPECT_DOUBLE_EQ(next_poll(10.0, 10.3, 0.1), 10.3);  // on a poll, up to rounding
  EXPECT_DOUBLE_EQ(next_poll(10.0, 10.0, 0.1), 10.0);
  EXPECT_DOUBLE_EQ(next_poll(10.0, 9.5, 0.1), 10.0);  // never before the start
}

}  // namespace
}  // namespace rt::testing
