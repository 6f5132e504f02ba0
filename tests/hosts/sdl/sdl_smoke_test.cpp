// The desktop program's run on SDL's "dummy" video and audio drivers: the
// game thread starts, draws, is refreshed and shown, plays a sound, and its
// end comes back as the exit status without a hang.

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <stdexcept>
#include <thread>
#include <vector>

#include "hosts/sdl/sdl_host.h"
#include "platform/formats/wav.h"
#include "platform/platform.h"
#include "tests/support/sim_fixture.h"

namespace rt {
namespace {

class SdlRun : public ::testing::Test {
 protected:
  void SetUp() override {
    ::setenv("SDL_VIDEODRIVER", "dummy", 1);
    ::setenv("SDL_AUDIODRIVER", "dummy", 1);
    ::unsetenv("RANGIERTRUBEL_WINDOWED");
    std::vector<std::int16_t> samples(2205, 1000);
    const auto bytes = encode_wav(samples, 22050);
    dir.write("Waves/ping.wav", std::string(bytes.begin(), bytes.end()));
  }

  static void pause(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

  // Whether the refresh takes every changed row within two seconds. Rows
  // found still changed are marked again, so that looking does not take
  // them away from the refresh.
  static bool refreshed(Platform& p) {
    for (int tries = 0; tries < 200; ++tries) {
      {
        std::lock_guard guard(p.lock());
        int first = 0;
        int last = 0;
        if (!p.screen().take_changed_rows(first, last)) return true;
        p.screen().mark_rows(first, last);
      }
      pause(10);
    }
    return false;
  }

  testing::TempDir dir;
};

TEST_F(SdlRun, GameDrawsPlaysAndEndsWithItsStatus) {
  double clock_at_start = -1;
  const int status = run_on_sdl("test", dir.path(), [&](Platform& p) {
    clock_at_start = p.timer_seconds();
    p.set_screen_mode("test");
    p.set_mouse(400, 300, 0, 0);
    p.fill_box(10, 10, 100, 50, 0xFF00FF00);
    p.locate(2, 2);
    p.print_text("DER RANGIER TRUBEL");
    pause(50);  // several refresh passes
    p.play_sound("Waves\\ping.wav");
    p.play_sound("Waves\\missing.wav");
    p.host().beep();
    p.end_program(0);
  });
  EXPECT_EQ(status, 0);
  // The clock counts from the program's start, not from the system's.
  EXPECT_GE(clock_at_start, 0.0);
  EXPECT_LT(clock_at_start, 5.0);
}

TEST_F(SdlRun, EndProgramStatusIsReturned) {
  const int status = run_on_sdl("test", dir.path(), [](Platform& p) {
    p.set_screen_mode("test");
    throw ProgramEnd{3};
  });
  EXPECT_EQ(status, 3);
}

TEST_F(SdlRun, GameThatReturnsEndsWithZeroAndOneThatFailsWithOne) {
  ::setenv("RANGIERTRUBEL_WINDOWED", "1", 1);
  EXPECT_EQ(run_on_sdl("test", dir.path(), [](Platform&) {}), 0);
  EXPECT_EQ(run_on_sdl("test", dir.path(),
                       [](Platform&) { throw std::runtime_error("the level is broken"); }),
            1);
  EXPECT_EQ(run_on_sdl("test", dir.path(), [](Platform&) { throw 42; }), 1);
}

TEST_F(SdlRun, LongScreenLockHoldsTheRefreshBackWithoutDeadlock) {
  const int status = run_on_sdl("test", dir.path(), [](Platform& p) {
    p.set_screen_mode("test");
    // A pause of the game's own: the moment the refresh takes what was drawn
    // (it sleeps while the game draws nothing).
    p.sleep_ms(30);
    EXPECT_TRUE(refreshed(p));
    int first = 0;
    int last = 0;
    p.lock_screen();
    p.fill_box(0, 200, 799, 300, 0xFF123456);
    pause(40);  // refresh passes go by without the lock meanwhile
    // The refresh could not take the drawn rows while the screen was locked.
    EXPECT_TRUE(p.screen().take_changed_rows(first, last));
    EXPECT_EQ(first, 200);
    EXPECT_EQ(last, 300);
    p.unlock_screen(-1, -1);
    // After the unlock it takes the whole screen.
    EXPECT_TRUE(refreshed(p));
    p.end_program(7);
  });
  EXPECT_EQ(status, 7);
}

TEST_F(SdlRun, RefreshTakesTheChangedRows) {
  const int status = run_on_sdl("test", dir.path(), [](Platform& p) {
    p.set_screen_mode("test");
    pause(30);
    p.fill_box(0, 100, 10, 120, 0xFFFFFFFF);
    EXPECT_TRUE(refreshed(p));
    p.fill_box(0, 599, 799, 599, 0xFFFFFFFF);
    EXPECT_TRUE(refreshed(p));
    p.end_program(0);
  });
  EXPECT_EQ(status, 0);
}

}  // namespace
}  // namespace rt
