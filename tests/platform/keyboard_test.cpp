// Key states, the key ring and the key-buffer codes.
#include "platform/keyboard.h"

#include <gtest/gtest.h>

#include "tests/support/sim_fixture.h"

namespace rt {
namespace {

TEST(KeyboardTest, FullBufferKeepsTheLastFifteenCodes) {
  Keyboard keys;
  for (int code = 1; code <= 20; ++code) {
    keys.push(code);
    EXPECT_LE(keys.size(), 15);
  }
  for (int code = 6; code <= 20; ++code) {
    EXPECT_EQ(keys.pop(), code);
  }
  EXPECT_TRUE(keys.empty());
  EXPECT_EQ(keys.pop(), 0);
}

TEST(KeyboardTest, KeyStatesOutsideTheScanRangeAreIgnored) {
  Keyboard keys;
  keys.set_down(0, true);
  keys.set_down(127, true);
  keys.set_down(128, true);
  keys.set_down(-1, true);
  EXPECT_TRUE(keys.is_down(0));
  EXPECT_TRUE(keys.is_down(127));
  EXPECT_FALSE(keys.is_down(128));
  EXPECT_FALSE(keys.is_down(-1));
  EXPECT_FALSE(keys.is_down(1 << 30));
  keys.set_down(127, false);
  EXPECT_FALSE(keys.is_down(127));
}

TEST(KeyboardTest, ArrivedFlagFollowsPushesOfRealCodesOnly) {
  Keyboard keys;
  EXPECT_FALSE(keys.take_arrived());
  for (int bad : {0, -1, 256, 0x6B00, 0x1FFFF, -255}) {
    keys.push(bad);
  }
  EXPECT_FALSE(keys.take_arrived());
  EXPECT_TRUE(keys.empty());
  keys.push(extended_code(scan::kUp));
  keys.pop();
  EXPECT_TRUE(keys.take_arrived());  // stays set after the code is taken
  EXPECT_FALSE(keys.take_arrived());
}

using InkeyTest = testing::SimFixture;

TEST_F(InkeyTest, GivesOneByteForCharactersAndTwoForExtendedKeys) {
  EXPECT_EQ(platform.inkey(), "");
  platform.host_key_code('a');
  platform.host_key_code(keycode::kEscape);
  platform.host_key_code(200);
  platform.host_key_code(extended_code(scan::kUp));
  platform.host_key_code(extended_code(0x6B));
  EXPECT_EQ(platform.inkey(), "a");
  EXPECT_EQ(platform.inkey(), std::string(1, '\x1B'));
  EXPECT_EQ(platform.inkey(), std::string(1, '\xC8'));
  EXPECT_EQ(platform.inkey(),
            "\xFF"
            "H");
  EXPECT_EQ(platform.inkey(),
            "\xFF"
            "k");
  EXPECT_EQ(platform.inkey(), "");
}

TEST_F(InkeyTest, EveryCallClearsTheArrivedFlag) {
  platform.host_key_code('x');
  EXPECT_EQ(platform.inkey(), "x");
  platform.sleep_ms(150);  // the flag was cleared: the sleep runs its full time
  EXPECT_DOUBLE_EQ(host.now(), 0.15);

  platform.host_key_code('y');
  platform.host_key_code('z');
  EXPECT_EQ(platform.inkey(), "y");
  platform.sleep_ms(150);  // 'z' still waits, but no new key arrived
  EXPECT_DOUBLE_EQ(host.now(), 0.30);
}

TEST_F(InkeyTest, KeyDownFollowsHeldKeys) {
  EXPECT_FALSE(platform.key_down(scan::kUp));
  platform.host_key_down(scan::kUp);
  EXPECT_TRUE(platform.key_down(scan::kUp));
  EXPECT_FALSE(platform.key_down(scan::kDown));
  EXPECT_FALSE(platform.key_down(200));
  EXPECT_FALSE(platform.key_down(-3));
  EXPECT_EQ(platform.inkey(), "");  // a key state alone enters no buffer
  platform.host_key_up(scan::kUp);
  EXPECT_FALSE(platform.key_down(scan::kUp));
}

TEST_F(InkeyTest, APressBetweenTwoPollsCountsOnceAndANewScreenForgetsIt) {
  // Pressed and released before the poll: seen once, then no more.
  platform.host_key_down(scan::kLeft);
  platform.host_key_up(scan::kLeft);
  EXPECT_TRUE(platform.key_down(scan::kLeft));
  EXPECT_FALSE(platform.key_down(scan::kLeft));
  // Held across polls: seen at every poll, as before.
  platform.host_key_down(scan::kRight);
  EXPECT_TRUE(platform.key_down(scan::kRight));
  EXPECT_TRUE(platform.key_down(scan::kRight));
  platform.host_key_up(scan::kRight);
  EXPECT_FALSE(platform.key_down(scan::kRight));
  // A press no poll saw does not act on the next screen.
  platform.set_pointer_screen(screen_of_kind(PointerScreen::Kind::AnyKey));
  platform.host_key_down(scan::kUp);
  platform.host_key_up(scan::kUp);
  platform.set_pointer_screen(screen_of_kind(PointerScreen::Kind::Nothing));
  EXPECT_FALSE(platform.key_down(scan::kUp));
}

using MouseAndEndTest = testing::SimFixture;

TEST_F(MouseAndEndTest, MousePositionIsKeptOnTheScreen) {
  platform.set_mouse(400, 300, 0, 0);
  EXPECT_EQ(host.mouse_x(), 400);
  EXPECT_EQ(host.mouse_y(), 300);
  EXPECT_FALSE(host.mouse_visible());
  platform.set_mouse(5000, -7, 1, 0);
  EXPECT_EQ(host.mouse_x(), 799);
  EXPECT_EQ(host.mouse_y(), 0);
  EXPECT_TRUE(host.mouse_visible());
  platform.set_mouse(-1, 600, 0, 1);
  EXPECT_EQ(host.mouse_x(), 0);
  EXPECT_EQ(host.mouse_y(), 599);
}

TEST_F(MouseAndEndTest, EndProgramCarriesTheStatus) {
  try {
    platform.end_program(3);
    FAIL() << "end_program returned";
  } catch (const ProgramEnd& end) {
    EXPECT_EQ(end.status, 3);
  }
}

}  // namespace
}  // namespace rt
