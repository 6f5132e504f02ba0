// What the browser's key events mean to the game, without a browser.

#include "hosts/web/browser_keys.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/keyboard.h"

namespace rt {
namespace {

KeyAction down(int scan) {
  return {KeyAction::Kind::Down, scan};
}
KeyAction up(int scan) {
  return {KeyAction::Kind::Up, scan};
}
KeyAction code(int c) {
  return {KeyAction::Kind::Code, c};
}

class BrowserKeys : public ::testing::Test {
 protected:
  bool press(BrowserKeyEvent event) { return browser_key_down(keys, event, out); }
  void release(BrowserKeyEvent event) { browser_key_up(keys, event, out); }

  KeyTranslator keys;
  std::vector<KeyAction> out;
};

TEST_F(BrowserKeys, ArrowsAndEnterHoldTheirStatesAndAddTheirCodes) {
  EXPECT_TRUE(press({"ArrowUp", "ArrowUp"}));
  EXPECT_TRUE(press({"ArrowUp", "ArrowUp"}));  // the browser's auto-repeat
  release({"ArrowUp", "ArrowUp"});
  EXPECT_TRUE(press({"Enter", "Enter"}));
  release({"Enter", "Enter"});
  EXPECT_TRUE(press({"Escape", "Escape"}));
  EXPECT_EQ(out, (std::vector<KeyAction>{down(scan::kUp), code(extended_code(scan::kUp)),
                                         down(scan::kUp), code(extended_code(scan::kUp)),
                                         up(scan::kUp), down(scan::kEnter), code(13),
                                         up(scan::kEnter), down(scan::kEscape), code(27)}));
}

TEST_F(BrowserKeys, TypedCharactersBecomeCodePage437) {
  // German keyboard: ä sits where the US board has the quote, z where y is.
  press({"Quote", "ä"});
  press({"KeyY", "z"});
  press({"Space", " "});
  press({"KeyS", "S", false, false, false});
  press({"Minus", "ß"});
  // AltGr is Ctrl+Alt on some systems and still types.
  press({"KeyQ", "@", true, true, false});
  EXPECT_EQ(out, (std::vector<KeyAction>{down(40), code(132), down(21), code('z'),
                                         down(scan::kSpace), code(' '), down(scan::kS), code('S'),
                                         down(12), code(225), down(16), code('@')}));
}

TEST_F(BrowserKeys, KeypadTypesDigitsWithNumLockAndMovesWithout) {
  press({"Numpad8", "8"});
  release({"Numpad8", "8"});
  press({"Numpad8", "ArrowUp"});
  EXPECT_EQ(out, (std::vector<KeyAction>{down(scan::kUp), code('8'), up(scan::kUp), down(scan::kUp),
                                         code(extended_code(scan::kUp))}));
}

TEST_F(BrowserKeys, TheBrowsersOwnKeysKeepWorking) {
  // Ctrl+R reloads and Ctrl+W closes: the key's state is seen, nothing is
  // typed (Ctrl+R gives its control code), and the browser gets the event;
  // only the editor's Ctrl+Z and Ctrl+Y are kept from it.
  EXPECT_FALSE(press({"KeyR", "r", true, false, false}));
  EXPECT_FALSE(press({"KeyW", "w", false, false, true}));
  EXPECT_FALSE(press({"F5", "F5"}));
  EXPECT_FALSE(press({"F11", "F11"}));
  EXPECT_FALSE(press({"F12", "F12"}));
  EXPECT_EQ(out, (std::vector<KeyAction>{down(19), code(18), down(17), down(63),
                                         code(extended_code(63)), down(87), code(extended_code(87)),
                                         down(88), code(extended_code(88))}));
  out.clear();
  EXPECT_TRUE(press({"KeyY", "z", true, false, false}));  // a German keyboard's Z
  EXPECT_EQ(out, (std::vector<KeyAction>{down(21), code(26)}));
  out.clear();
  // The game's keys are kept from the browser (no scrolling, no focus moves).
  for (const BrowserKeyEvent& e :
       {BrowserKeyEvent{"ArrowDown", "ArrowDown"}, BrowserKeyEvent{"Space", " "},
        BrowserKeyEvent{"Tab", "Tab"}, BrowserKeyEvent{"Backspace", "Backspace"},
        BrowserKeyEvent{"KeyA", "a"}}) {
    EXPECT_TRUE(press(e)) << e.code;
  }
}

TEST_F(BrowserKeys, DeadKeysUnknownKeysAndOddTextAreSafe) {
  // A dead key types nothing itself; the composed character comes next.
  press({"Equal", "Dead"});
  press({"KeyE", "é"});
  EXPECT_EQ(out, (std::vector<KeyAction>{down(13), down(18), code(130)}));
  out.clear();
  // Keys the PC keyboard lacks, names that are not one character, broken
  // UTF-8, characters the code page lacks and control characters.
  EXPECT_FALSE(press({"MediaPlayPause", "MediaPlayPause"}));
  EXPECT_FALSE(press({"", "Unidentified"}));
  press({"KeyE", "€"});
  press({"KeyA", "\xC3"});
  press({"KeyA", "ab"});
  press({"KeyA", "\x7f"});
  release({"MediaPlayPause", ""});
  EXPECT_EQ(out, (std::vector<KeyAction>{down(18), down(30), down(30), down(30)}));
  // A character with no key of its own (an input method) still types.
  out.clear();
  EXPECT_TRUE(press({"", "ü"}));
  EXPECT_EQ(out, (std::vector<KeyAction>{code(129)}));
}

}  // namespace
}  // namespace rt
