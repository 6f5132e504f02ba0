// Sleeps and key waits on the simulated host's virtual clock.
#include <gtest/gtest.h>

#include "platform/keyboard.h"
#include "support/sim_fixture.h"

namespace rt {
namespace {

using SleepTest = testing::SimFixture;

const int kUpCode = extended_code(scan::kUp);

TEST_F(SleepTest, KeyPressEndsALongSleepAtTheNextLook) {
  host.press(0.02, scan::kUp, kUpCode);
  platform.sleep_ms(150);
  EXPECT_DOUBLE_EQ(host.now(), 0.05);  // seen at the look at 50 ms
  EXPECT_TRUE(platform.key_down(72));
  EXPECT_EQ(platform.inkey(),
            "\xFF"
            "H");  // the press is still in the buffer

  host.type_code(0.33, 'a');
  platform.sleep_ms(1000);
  EXPECT_DOUBLE_EQ(host.now(), 0.35);
}

TEST_F(SleepTest, LongSleepLooksEveryFiftyMsButNotInItsLastStretch) {
  host.type_code(0.07, 'a');  // arrives during the last 50 ms of 150
  platform.sleep_ms(150);
  EXPECT_DOUBLE_EQ(host.now(), 0.15);

  platform.inkey();
  host.type_code(1.02, 'b');  // 0.87 into the sleep: seen at the look at 900 ms
  platform.sleep_ms(1000);
  EXPECT_DOUBLE_EQ(host.now(), 1.05);

  platform.inkey();
  host.type_code(1.97, 'c');  // 0.92 into the sleep: after its last look
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

TEST_F(SleepTest, WaitForKeyLooksBeforeItsFirstPause) {
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

}  // namespace
}  // namespace rt
