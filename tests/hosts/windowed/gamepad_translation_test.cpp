// Game controllers as keys, through the platform's key states and buffer.

#include "hosts/windowed/gamepad_translation.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/keyboard.h"
#include "tests/support/sim_fixture.h"

namespace rt {
namespace {

using G = GamepadTranslator;

class GamepadTest : public testing::SimFixture {
 protected:
  void hand(const std::vector<KeyAction>& actions) {
    for (const KeyAction& a : actions) {
      if (a.kind == KeyAction::Kind::Down) platform.host_key_down(a.value);
      if (a.kind == KeyAction::Kind::Up) platform.host_key_up(a.value);
      if (a.kind == KeyAction::Kind::Code) platform.host_key_code(a.value);
    }
  }
  void button(int pad, int which, bool down) {
    std::vector<KeyAction> out;
    pads.button(pad, which, down, out);
    hand(out);
  }
  void axis(int pad, int which, int value) {
    std::vector<KeyAction> out;
    pads.axis(pad, which, value, out);
    hand(out);
  }
  std::string buffer() {
    std::string all;
    for (std::string key = platform.inkey(); !key.empty(); key = platform.inkey()) all += key;
    return all;
  }

  GamepadTranslator pads;
};

TEST_F(GamepadTest, ButtonsHoldTheirKeysAndEnterTheirCodes) {
  struct Case {
    int button;
    int scan_code;
    std::string code;
  };
  const std::vector<Case> cases = {
      {G::kA, scan::kEnter, "\r"},          {G::kStart, scan::kEnter, "\r"},
      {G::kB, scan::kEscape, "\x1b"},       {G::kBack, scan::kEscape, "\x1b"},
      {G::kX, scan::kSpace, " "},           {G::kY, scan::kS, "s"},
      {G::kDpadUp, scan::kUp, "\xFFH"},     {G::kDpadDown, scan::kDown, "\xFFP"},
      {G::kDpadLeft, scan::kLeft, "\xFFK"}, {G::kDpadRight, scan::kRight, "\xFFM"},
  };
  for (const Case& c : cases) {
    button(0, c.button, true);
    EXPECT_TRUE(platform.key_down(c.scan_code)) << c.button;
    EXPECT_EQ(buffer(), c.code) << c.button;
    button(0, c.button, true);  // a second report of the same press adds nothing
    EXPECT_EQ(buffer(), "");
    button(0, c.button, false);
    EXPECT_FALSE(platform.key_down(c.scan_code)) << c.button;
  }
  // Buttons without a key (the guide, the shoulders, nonsense) do nothing.
  for (const int other : {5, 7, 9, 10, 15, -1, 99}) button(0, other, true);
  EXPECT_EQ(buffer(), "");
}

TEST_F(GamepadTest, TheLeftStickIsTheArrowsWithAMarginAgainstFlicker) {
  axis(0, G::kLeftY, -20000);
  EXPECT_TRUE(platform.key_down(scan::kUp));
  axis(0, G::kLeftY, -14000);  // between the thresholds: still held
  EXPECT_TRUE(platform.key_down(scan::kUp));
  axis(0, G::kLeftY, -20000);  // pushed again: no second code
  axis(0, G::kLeftY, -3000);
  EXPECT_FALSE(platform.key_down(scan::kUp));
  EXPECT_EQ(buffer(), "\xFFH");

  axis(0, G::kLeftX, -32768);
  axis(0, G::kLeftX, 32767);  // straight across: left up, right down
  EXPECT_TRUE(platform.key_down(scan::kLeft)) << "the push left counts once";
  EXPECT_FALSE(platform.key_down(scan::kLeft));
  EXPECT_TRUE(platform.key_down(scan::kRight));
  axis(0, G::kLeftY, 17000);
  EXPECT_TRUE(platform.key_down(scan::kDown));
  EXPECT_TRUE(platform.key_down(scan::kRight));  // diagonals hold both
  EXPECT_EQ(buffer(), "\xFFK\xFFM\xFFP");
  axis(0, 3, 32767);  // the right stick and the triggers are not used
  EXPECT_EQ(buffer(), "");
}

TEST_F(GamepadTest, AKeyStaysHeldWhileAnyPadOrTheStickHoldsIt) {
  button(0, G::kDpadUp, true);
  axis(0, G::kLeftY, -30000);
  button(1, G::kDpadUp, true);
  button(0, G::kDpadUp, false);
  axis(0, G::kLeftY, 0);
  EXPECT_TRUE(platform.key_down(scan::kUp));  // pad 1 still holds it
  button(0, G::kA, true);
  std::vector<KeyAction> out;
  pads.removed(1, out);  // unplugged while holding Up
  hand(out);
  EXPECT_FALSE(platform.key_down(scan::kUp));
  EXPECT_TRUE(platform.key_down(scan::kEnter));
  out.clear();
  pads.release_all(out);  // the window lost the keyboard
  hand(out);
  EXPECT_FALSE(platform.key_down(scan::kEnter));
}

TEST_F(GamepadTest, AAcceptsTheNameTypedSoFar) {
  platform.host_key_code('E');
  platform.host_key_code('V');
  host.at(0.5, [this] { button(0, G::kA, true); });
  platform.input_line("Name");
  EXPECT_EQ(platform.read_string_field(), "EV");
}

}  // namespace
}  // namespace rt
