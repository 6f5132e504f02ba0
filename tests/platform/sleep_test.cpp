// Sleeps and key waits on the simulated host's virtual clock.
#include <gtest/gtest.h>

#include "platform/keyboard.h"
#include "tests/support/sim_fixture.h"

namespace rt {
namespace {

using SleepTest = testing::SimFixture;

const int kUpCode = extended_code(scan::kUp);

TEST_F(SleepTest, KeyPressEndsALongSleepAtTheNextPoll) {
  host.press(0.02, scan::kUp, kUpCode);
  platform.sleep_ms(150);
  EXPECT_DOUBLE_EQ(host.now(), 0.05);  // seen at the poll at 50 ms
  EXPECT_TRUE(platform.key_down(72));
  EXPECT_EQ(platform.inkey(),
            "\xFF"
            "H");  // the press is still in the buffer

  host.type_code(0.33, 'a');
  platform.sleep_ms(1000);
  EXPECT_DOUBLE_EQ(host.now(), 0.35);
}

TEST_F(SleepTest, LongSleepPollsEveryFiftyMsButNotInItsLastStretch) {
  host.type_code(0.07, 'a');  // arrives during the last 50 ms of 150
  platform.sleep_ms(150);
  EXPECT_DOUBLE_EQ(host.now(), 0.15);

  platform.inkey();
  host.type_code(1.02, 'b');  // 0.87 into the sleep: seen at the poll at 900 ms
  platform.sleep_ms(1000);
  EXPECT_DOUBLE_EQ(host.now(), 1.05);

  platform.inkey();
  host.type_code(1.97, 'c');  // 0.92 into the sleep: after its last poll
  platform.sleep_ms(1000);
  EXPECT_DOUBLE_EQ(host.now(), 2.05);
}

TEST_F(SleepTest, SleepWithoutKeysTakesExactlyItsTime) {
  const double start = platform.timer_seconds();
  platform.sleep_ms(150);
  const double end = platform.timer_seconds();
  EXPECT_NEAR(end - start, 0.15 + SimHost::kClockReadStep, 1e-12);
  platform.sleep_ms(130);  // 50 + 50 + 30
  EXPECT_NEAR(host.now(), end + 0.13, 1e-12);
}

TEST_F(SleepTest, KeyArrivedBeforeTheSleepEndsItAtOnce) {
  platform.host_key_code('q');
  platform.sleep_ms(1000);
  EXPECT_EQ(host.now(), 0.0);
  EXPECT_EQ(platform.inkey(), "q");
}

TEST_F(SleepTest, ShortSleepsAreNeverShortenedAndDoNotTakeTheFlag) {
  host.type_code(0.001, 'a');
  platform.sleep_ms(3);
  EXPECT_DOUBLE_EQ(host.now(), 0.003);
  platform.host_key_code('b');
  platform.sleep_ms(99);
  EXPECT_DOUBLE_EQ(host.now(), 0.102);
  platform.sleep_ms(150);  // the flag is still set from the keys above
  EXPECT_DOUBLE_EQ(host.now(), 0.102);
}

TEST_F(SleepTest, ZeroAndOtherNegativeSleepsReturnAtOnce) {
  platform.sleep_ms(0);
  platform.sleep_ms(-2);
  platform.sleep_ms(-1000);
  EXPECT_EQ(host.now(), 0.0);
}

TEST_F(SleepTest, WaitForKeyNeedsANewKeyAfterInkey) {
  host.set_time_limit(10.0);
  platform.host_key_code('a');
  EXPECT_EQ(platform.inkey(), "a");
  host.type_code(0.33, 'b');
  platform.sleep_ms(-1);
  EXPECT_DOUBLE_EQ(host.now(), 0.35);
  EXPECT_EQ(platform.inkey(), "b");

  // A key waiting from before is not enough once the flag was taken.
  platform.host_key_code('c');
  platform.host_key_code('d');
  EXPECT_EQ(platform.inkey(), "c");
  EXPECT_THROW(platform.sleep_ms(-1), SimStop);
}

TEST_F(SleepTest, WaitForKeyPollsBeforeItsFirstPause) {
  platform.host_key_code('a');
  platform.sleep_ms(-1);
  EXPECT_EQ(host.now(), 0.0);
  EXPECT_EQ(platform.inkey(), "a");
}

TEST_F(SleepTest, WaitKeyPausesAfterEveryRead) {
  platform.host_key_code(kUpCode);
  EXPECT_EQ(platform.wait_key(), kUpCode);
  EXPECT_DOUBLE_EQ(host.now(), 0.02);  // the pass that found it paused too

  host.type_code(0.05, 'x');  // reads at 0.02 and 0.04 miss it, 0.06 finds it
  EXPECT_EQ(platform.wait_key(), 'x');
  EXPECT_DOUBLE_EQ(host.now(), 0.08);
}

TEST_F(SleepTest, WaitKeyTakesTheArrivedFlag) {
  platform.host_key_code('a');
  platform.host_key_code('b');
  EXPECT_EQ(platform.wait_key(), 'a');
  platform.sleep_ms(150);  // 'b' waits, but its arrival was taken by wait_key
  EXPECT_DOUBLE_EQ(host.now(), 0.17);
}

TEST_F(SleepTest, SleepUntilEndsAtTheFirstStepThatReachesTheTime) {
  platform.sleep_until(0.123456);
  EXPECT_DOUBLE_EQ(host.now(), 0.12346);
  platform.sleep_until(0.1);  // already past: no pause
  EXPECT_DOUBLE_EQ(host.now(), 0.12346);
  EXPECT_GE(platform.timer_seconds(), 0.123456);
}

TEST_F(SleepTest, TimeAwayStopsTheClockAndLengthensEveryPause) {
  host.blur(0.03);
  host.focus(1.03);
  platform.sleep_ms(100);
  EXPECT_DOUBLE_EQ(host.now(), 1.1);
  EXPECT_NEAR(platform.timer_seconds(), 0.1, 2e-5);

  // Reading the clock while away waits for the return as well.
  host.blur(1.5);
  host.focus(4.0);
  platform.sleep_until(0.6);  // 0.4 s before leaving, 0.1 s after the return
  EXPECT_NEAR(host.now(), 4.1, 2e-5);
  EXPECT_NEAR(platform.timer_seconds(), 0.6, 2e-5);
  EXPECT_NEAR(host.time_away(), 3.5, 1e-9);
}

TEST_F(SleepTest, LeavingReleasesHeldKeysAndEndsTheirRepeats) {
  host.press(0.0, scan::kUp, kUpCode);
  host.press(0.1, scan::kSpace, ' ');
  host.blur(0.2);
  host.focus(0.3);
  host.pause_ms(2000);
  EXPECT_FALSE(platform.key_down(scan::kUp));
  EXPECT_FALSE(platform.key_down(scan::kSpace));
  EXPECT_EQ(platform.inkey(),
            "\xFF"
            "H");
  EXPECT_EQ(platform.inkey(), " ");
  EXPECT_EQ(platform.inkey(), "");  // no repeats after the release
}

TEST_F(SleepTest, WaitingForAKeyKeepsTheRhythmOfItsPollsAcrossTimeAway) {
  // Polls every 20 ms of the game's clock: 0.5 s away in between moves the
  // poll that finds the key by exactly the time away.
  host.blur(0.01);
  host.focus(0.51);
  host.type_code(0.545, 'k');
  EXPECT_EQ(platform.wait_key(), 'k');
  EXPECT_DOUBLE_EQ(host.now(), 0.58);  // found at 0.06 on the game's clock
}

TEST_F(SleepTest, CloseRequestEndsEveryKindOfWaitWithStatusZero) {
  const auto status_of = [](auto&& wait) {
    try {
      wait();
    } catch (const ProgramEnd& end) {
      return end.status;
    }
    return -1;
  };
  host.close_request(0.3);
  EXPECT_EQ(status_of([&] { platform.wait_key(); }), 0);
  EXPECT_NEAR(host.now(), 0.3, 1e-9);  // at once, not at the next poll
  EXPECT_EQ(status_of([&] { platform.sleep_ms(-1); }), 0);
  EXPECT_EQ(status_of([&] { platform.sleep_ms(5); }), 0);
  EXPECT_EQ(status_of([&] { platform.sleep_until(10.0); }), 0);
  EXPECT_EQ(status_of([&] { platform.input_line("Name"); }), 0);
  // The screen lock the game may hold is given back on the way out.
  platform.lock_screen();
  EXPECT_EQ(status_of([&] { platform.sleep_ms(150); }), 0);
  EXPECT_TRUE(platform.lock().try_lock());
  platform.lock().unlock();
}

}  // namespace
}  // namespace rt
