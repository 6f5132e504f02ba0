// The simulated host: virtual clock, scheduled keys and actions, sounds.
#include "hosts/sim/sim_host.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/keyboard.h"
#include "tests/support/sim_fixture.h"

namespace rt {
namespace {

using SimHostTest = testing::SimFixture;

TEST_F(SimHostTest, ClockAdvancesByReadsAndPauses) {
  EXPECT_EQ(host.now(), 0.0);
  EXPECT_DOUBLE_EQ(host.clock_seconds(), 0.00001);
  EXPECT_DOUBLE_EQ(platform.timer_seconds(), 0.00002);
  host.pause_ms(250);
  EXPECT_DOUBLE_EQ(host.now(), 0.25002);
  host.pause_ms(-40);  // a negative pause takes no time
  EXPECT_DOUBLE_EQ(host.now(), 0.25002);
  for (int i = 0; i < 100000; ++i) {
    host.clock_seconds();
  }
  EXPECT_DOUBLE_EQ(host.now(), 1.25002);  // readings do not drift
}

TEST_F(SimHostTest, EventsWithinAPauseRunAtTheirOwnTimesInOrder) {
  std::vector<std::string> log;
  const auto note = [&](const char* what) {
    return
        [&log, what, this] { log.push_back(std::string(what) + "@" + std::to_string(host.now())); };
  };
  host.at(0.02, note("late"));
  host.at(0.01, note("first"));
  host.at(0.01, note("second"));
  host.at(0.06, note("next"));
  host.pause_ms(50);
  EXPECT_EQ(log, (std::vector<std::string>{"first@0.010000", "second@0.010000", "late@0.020000"}));
  EXPECT_DOUBLE_EQ(host.now(), 0.05);
  host.pause_ms(10);  // an event exactly at the new time is due
  EXPECT_EQ(log.back(), "next@0.060000");
}

TEST_F(SimHostTest, TimeLimitAndThrowingActionsStopTheRun) {
  host.set_time_limit(0.1);
  host.pause_ms(100);  // reaching the limit is allowed, passing it is not
  try {
    host.pause_ms(1);
    FAIL() << "no stop";
  } catch (const SimStop& stop) {
    EXPECT_DOUBLE_EQ(stop.time, 0.101);
  }
  EXPECT_THROW(host.clock_seconds(), SimStop);

  SimHost other;
  other.at(0.5, [] { throw SimStop{7.0}; });
  other.pause_ms(400);
  try {
    other.pause_ms(200);
    FAIL() << "no stop";
  } catch (const SimStop& stop) {
    EXPECT_EQ(stop.time, 7.0);
  }
}

// Steps the clock a millisecond at a time and notes when codes arrive.
std::vector<double> arrivals(SimHost& host, Platform& platform, double until) {
  std::vector<double> times;
  while (host.now() < until) {
    host.pause_ms(1);
    while (!platform.inkey().empty()) {
      times.push_back(host.now());
    }
  }
  return times;
}

TEST_F(SimHostTest, HeldKeyRepeatsUntilReleased) {
  host.press(0.0, scan::kUp, extended_code(scan::kUp));
  host.release(0.62, scan::kUp);
  const auto times = arrivals(host, platform, 2.0);
  ASSERT_EQ(times.size(), 4u);
  EXPECT_DOUBLE_EQ(times[0], 0.001);
  EXPECT_DOUBLE_EQ(times[1], 0.5);
  EXPECT_DOUBLE_EQ(times[2], 0.55);
  EXPECT_DOUBLE_EQ(times[3], 0.6);
  EXPECT_TRUE(platform.key_down(scan::kUp)) << "a press no poll saw counts once";
  EXPECT_FALSE(platform.key_down(scan::kUp));
}

TEST_F(SimHostTest, RepeatsKeepTheirPeriodOverALongHold) {
  host.press(0.0, scan::kLeft, extended_code(scan::kLeft));
  const auto times = arrivals(host, platform, 3.0);
  ASSERT_EQ(times.size(), 1u + 51u);  // 0.5 .. 3.0 every 0.05
  for (std::size_t i = 1; i < times.size(); ++i) {
    EXPECT_NEAR(times[i], 0.5 + 0.05 * static_cast<double>(i - 1), 1e-9) << i;
  }
  EXPECT_TRUE(platform.key_down(scan::kLeft));
}

TEST_F(SimHostTest, NewPressOfTheSameKeyRestartsTheRepeat) {
  host.press(0.0, scan::kDown, extended_code(scan::kDown));
  host.press(0.3, scan::kDown, extended_code(scan::kDown));
  host.release(0.9, scan::kDown);
  const auto times = arrivals(host, platform, 1.5);
  ASSERT_EQ(times.size(), 4u);
  EXPECT_DOUBLE_EQ(times[1], 0.3);
  EXPECT_DOUBLE_EQ(times[2], 0.8);
  EXPECT_DOUBLE_EQ(times[3], 0.85);
}

TEST_F(SimHostTest, HeldKeyFillsTheBufferToFifteen) {
  host.press(0.0, scan::kRight, extended_code(scan::kRight));
  host.pause_ms(2000);  // 1 press + 31 repeats, nobody reading
  int count = 0;
  while (!platform.inkey().empty()) {
    ++count;
  }
  EXPECT_EQ(count, 15);
}

TEST_F(SimHostTest, PressWithoutCodeAndTypedCodes) {
  host.press(0.01, scan::kSpace, 0);
  host.type_code(0.01, 'z');
  host.pause_ms(1000);
  EXPECT_TRUE(platform.key_down(scan::kSpace));
  EXPECT_EQ(platform.inkey(), "z");  // the press gave no code and no repeats
  EXPECT_EQ(platform.inkey(), "");
  EXPECT_FALSE(platform.key_down('z'));
}

TEST_F(SimHostTest, SoundsAreRecordedByFileName) {
  std::vector<std::string> heard;
  host.on_sound = [&](const SimHost::Sound& s) { heard.push_back(s.name); };
  host.pause_ms(30);
  platform.play_sound("Waves\\ping.wav");
  platform.host().beep();
  ASSERT_EQ(host.sounds().size(), 2u);
  EXPECT_EQ(host.sounds()[0].name, "ping.wav");
  EXPECT_DOUBLE_EQ(host.sounds()[0].time, 0.03);
  EXPECT_EQ(host.sounds()[1].name, "beep");
  EXPECT_EQ(heard, (std::vector<std::string>{"ping.wav", "beep"}));
}

TEST_F(SimHostTest, DisplayRequestIsRecorded) {
  EXPECT_FALSE(host.display_open());
  host.open_display("rangiertrubel");
  EXPECT_TRUE(host.display_open());
  EXPECT_EQ(host.display_title(), "rangiertrubel");
}

}  // namespace
}  // namespace rt
