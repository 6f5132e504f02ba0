// The desktop host's answers to the world around the game, on SDL's dummy
// drivers: the close request and the termination signal, leaving the window,
// and a (virtual) game controller.

#include <SDL.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <thread>

#include "hosts/sdl/sdl_host.h"
#include "platform/keyboard.h"
#include "platform/platform.h"
#include "tests/support/sim_fixture.h"

namespace rt {
namespace {

using namespace std::chrono_literals;

class SdlDesktop : public ::testing::Test {
 protected:
  void SetUp() override {
    ::setenv("SDL_VIDEODRIVER", "dummy", 1);
    ::setenv("SDL_AUDIODRIVER", "dummy", 1);
    ::setenv("RANGIERTRUBEL_WINDOWED", "1", 1);
  }

  // Waits (real time, at most 3 s) until `done` holds.
  static bool soon(const std::function<bool()>& done) {
    for (int i = 0; i < 300; ++i) {
      if (done()) return true;
      std::this_thread::sleep_for(10ms);
    }
    return done();
  }

  static void push_window_event(Uint8 what) {
    SDL_Event event{};
    event.type = SDL_WINDOWEVENT;
    event.window.event = what;
    event.window.windowID = 1;
    SDL_PushEvent(&event);
  }

  testing::TempDir dir;
};

TEST_F(SdlDesktop, CloseRequestEndsAKeyWaitAndAPauseWithStatusZero) {
  bool reached_end = false;
  int status = run_on_sdl("test", dir.path(), [](Platform& p) {
    p.set_screen_mode("test");
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    SDL_PushEvent(&quit);
    p.wait_key();  // never returns: the close request ends the program
  });
  EXPECT_EQ(status, 0);

  status = run_on_sdl("test", dir.path(), [&](Platform& p) {
    p.set_screen_mode("test");
    push_window_event(SDL_WINDOWEVENT_CLOSE);
    p.sleep_until(p.timer_seconds() + 30.0);
    reached_end = true;
  });
  EXPECT_EQ(status, 0);
  EXPECT_FALSE(reached_end);
}

TEST_F(SdlDesktop, TerminationSignalEndsTheProgramLikeTheCloseButton) {
  const auto start = std::chrono::steady_clock::now();
  const int status = run_on_sdl("test", dir.path(), [](Platform& p) {
    p.set_screen_mode("test");
    ::kill(::getpid(), SIGTERM);
    p.sleep_ms(-1);
  });
  EXPECT_EQ(status, 0);
  EXPECT_LT(std::chrono::steady_clock::now() - start, 2s);
}

TEST_F(SdlDesktop, LeavingTheWindowStopsTheClockAndReleasesHeldKeys) {
  double away_for = -1.0;
  double clock_moved = -1.0;
  bool up_after = true;
  const int status = run_on_sdl("test", dir.path(), [&](Platform& p) {
    p.set_screen_mode("test");
    SDL_Event key{};
    key.type = SDL_KEYDOWN;
    key.key.windowID = 1;
    key.key.keysym.scancode = SDL_SCANCODE_UP;
    SDL_PushEvent(&key);
    ASSERT_TRUE(soon([&] { return p.key_down(scan::kUp); }));
    push_window_event(SDL_WINDOWEVENT_FOCUS_LOST);
    ASSERT_TRUE(soon([&] { return !p.key_down(scan::kUp); }));
    const double before = p.timer_seconds();
    const auto wall = std::chrono::steady_clock::now();
    std::this_thread::sleep_for(300ms);
    clock_moved = p.timer_seconds() - before;
    // A pause made while away waits for the return.
    std::thread back([] {
      std::this_thread::sleep_for(200ms);
      push_window_event(SDL_WINDOWEVENT_FOCUS_GAINED);
    });
    p.sleep_ms(50);
    back.join();
    away_for = std::chrono::duration<double>(std::chrono::steady_clock::now() - wall).count();
    up_after = p.key_down(scan::kUp);
    p.end_program(0);
  });
  EXPECT_EQ(status, 0);
  EXPECT_LT(clock_moved, 0.01);
  EXPECT_GE(away_for, 0.5);  // 0.3 s, then the pause waited for the return
  EXPECT_FALSE(up_after);
}

TEST_F(SdlDesktop, AVirtualGamepadPlugsInAndMovesTheArrowsAndEnter) {
  bool up = false;
  bool up_released = false;
  bool enter = false;
  int enter_code = 0;
  // The dummy driver's window never has the keyboard, and SDL passes on a
  // controller's input only to a window that has it, unless told otherwise.
  ::setenv("SDL_JOYSTICK_ALLOW_BACKGROUND_EVENTS", "1", 1);
  const int status = run_on_sdl("test", dir.path(), [&](Platform& p) {
    p.set_screen_mode("test");
    const int index = SDL_JoystickAttachVirtual(
        SDL_JOYSTICK_TYPE_GAMECONTROLLER, SDL_CONTROLLER_AXIS_MAX, SDL_CONTROLLER_BUTTON_MAX, 0);
    ASSERT_GE(index, 0) << SDL_GetError();
    SDL_Joystick* stick = SDL_JoystickOpen(index);
    ASSERT_NE(stick, nullptr) << SDL_GetError();
    // The host opens the controller when it notices it being plugged in.
    const SDL_JoystickID id = SDL_JoystickInstanceID(stick);
    ASSERT_TRUE(soon([&] { return SDL_GameControllerFromInstanceID(id) != nullptr; }));
    SDL_JoystickSetVirtualButton(stick, SDL_CONTROLLER_BUTTON_DPAD_UP, 1);
    ASSERT_TRUE(soon([&] { return p.key_down(scan::kUp); }));
    up = true;
    SDL_JoystickSetVirtualButton(stick, SDL_CONTROLLER_BUTTON_DPAD_UP, 0);
    up_released = soon([&] { return !p.key_down(scan::kUp); });
    while (!p.inkey().empty()) {
    }
    SDL_JoystickSetVirtualButton(stick, SDL_CONTROLLER_BUTTON_A, 1);
    enter = soon([&] { return p.key_down(scan::kEnter); });
    enter_code = p.wait_key();
    SDL_JoystickClose(stick);
    SDL_JoystickDetachVirtual(index);
    p.end_program(0);
  });
  EXPECT_EQ(status, 0);
  EXPECT_TRUE(up);
  EXPECT_TRUE(up_released);
  EXPECT_TRUE(enter);
  EXPECT_EQ(enter_code, 13);
}

}  // namespace
}  // namespace rt
