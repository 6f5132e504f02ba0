// The keyboard translation the windowed hosts share. Keys are given by their
// USB usage numbers, which is how SDL numbers its scancodes, or by the names
// a browser gives them.

#include "hosts/windowed/key_translation.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/keyboard.h"

namespace rt {
namespace {

// USB usages of the keys the tests press.
namespace usb {
constexpr int kA = 4;
constexpr int kS = 22;
constexpr int kY = 28;  // the German keyboard's Z sits here
constexpr int kZ = 29;
constexpr int k1 = 30;
constexpr int k0 = 39;
constexpr int kEnter = 40;
constexpr int kEscape = 41;
constexpr int kBackspace = 42;
constexpr int kTab = 43;
constexpr int kSpace = 44;
constexpr int kF1 = 58;
constexpr int kF10 = 67;
constexpr int kF12 = 69;
constexpr int kInsert = 73;
constexpr int kHome = 74;
constexpr int kPageUp = 75;
constexpr int kDelete = 76;
constexpr int kEnd = 77;
constexpr int kPageDown = 78;
constexpr int kRight = 79;
constexpr int kLeft = 80;
constexpr int kDown = 81;
constexpr int kUp = 82;
constexpr int kKeypadEnter = 88;
constexpr int kKeypad1 = 89;
constexpr int kKeypad2 = 90;
constexpr int kKeypad4 = 92;
constexpr int kKeypad5 = 93;
constexpr int kKeypad6 = 94;
constexpr int kKeypad7 = 95;
constexpr int kKeypad8 = 96;
constexpr int kKeypad0 = 98;
constexpr int kKeypadPeriod = 99;
constexpr int kLessGreater = 100;
constexpr int kLeftCtrl = 224;
constexpr int kLeftShift = 225;
constexpr int kLeftAlt = 226;
constexpr int kRightShift = 229;
}  // namespace usb

KeyAction down(int scan) {
  return {KeyAction::Kind::Down, scan};
}
KeyAction up(int scan) {
  return {KeyAction::Kind::Up, scan};
}
KeyAction code(int c) {
  return {KeyAction::Kind::Code, c};
}

TEST(KeyTranslation, PhysicalKeysHaveTheirPcScanCodes) {
  // The keys the game steers with.
  EXPECT_EQ(set1_scan_code(usb::kEscape), scan::kEscape);
  EXPECT_EQ(set1_scan_code(usb::kEnter), scan::kEnter);
  EXPECT_EQ(set1_scan_code(usb::kKeypadEnter), scan::kEnter);
  EXPECT_EQ(set1_scan_code(usb::kS), scan::kS);
  EXPECT_EQ(set1_scan_code(usb::kSpace), scan::kSpace);
  EXPECT_EQ(set1_scan_code(usb::kUp), scan::kUp);
  EXPECT_EQ(set1_scan_code(usb::kLeft), scan::kLeft);
  EXPECT_EQ(set1_scan_code(usb::kRight), scan::kRight);
  EXPECT_EQ(set1_scan_code(usb::kDown), scan::kDown);
  EXPECT_EQ(set1_scan_code(usb::kKeypad8), scan::kUp);
  EXPECT_EQ(set1_scan_code(usb::kKeypad4), scan::kLeft);
  EXPECT_EQ(set1_scan_code(usb::kKeypad6), scan::kRight);
  EXPECT_EQ(set1_scan_code(usb::kKeypad2), scan::kDown);
  // Letter rows by position, digits, and the rest of the board.
  EXPECT_EQ(set1_scan_code(usb::kA), 30);
  EXPECT_EQ(set1_scan_code(usb::kZ), 44);
  EXPECT_EQ(set1_scan_code(usb::kY), 21);
  EXPECT_EQ(set1_scan_code(usb::k1), 2);
  EXPECT_EQ(set1_scan_code(usb::k0), 11);
  EXPECT_EQ(set1_scan_code(usb::kBackspace), 14);
  EXPECT_EQ(set1_scan_code(usb::kTab), 15);
  EXPECT_EQ(set1_scan_code(usb::kF1), 59);
  EXPECT_EQ(set1_scan_code(usb::kF10), 68);
  EXPECT_EQ(set1_scan_code(usb::kF12), 88);
  EXPECT_EQ(set1_scan_code(usb::kHome), 71);
  EXPECT_EQ(set1_scan_code(usb::kPageUp), 73);
  EXPECT_EQ(set1_scan_code(usb::kEnd), 79);
  EXPECT_EQ(set1_scan_code(usb::kPageDown), 81);
  EXPECT_EQ(set1_scan_code(usb::kInsert), 82);
  EXPECT_EQ(set1_scan_code(usb::kDelete), 83);
  EXPECT_EQ(set1_scan_code(usb::kKeypad7), 71);
  EXPECT_EQ(set1_scan_code(usb::kKeypad5), 76);
  EXPECT_EQ(set1_scan_code(usb::kKeypadPeriod), 83);
  EXPECT_EQ(set1_scan_code(usb::kLessGreater), 86);
  EXPECT_EQ(set1_scan_code(usb::kLeftCtrl), 29);
  EXPECT_EQ(set1_scan_code(usb::kLeftShift), 42);
  EXPECT_EQ(set1_scan_code(usb::kRightShift), 54);
  EXPECT_EQ(set1_scan_code(usb::kLeftAlt), 56);
}

TEST(KeyTranslation, UnknownAndOutOfRangeKeysHaveNoScanCode) {
  EXPECT_EQ(set1_scan_code(0), 0);
  EXPECT_EQ(set1_scan_code(-1), 0);
  EXPECT_EQ(set1_scan_code(150), 0);
  EXPECT_EQ(set1_scan_code(511), 0);
  EXPECT_EQ(set1_scan_code(100000), 0);
  // Every scan code handed out fits the platform's 128 key states.
  for (int u = 0; u < KeyTranslator::kUsbUsages; ++u) {
    EXPECT_GE(set1_scan_code(u), 0);
    EXPECT_LT(set1_scan_code(u), 128);
  }
}

TEST(KeyTranslation, KeyDownCodesForKeysWithoutTypedText) {
  EXPECT_EQ(key_down_code(usb::kEnter, false), 13);
  EXPECT_EQ(key_down_code(usb::kKeypadEnter, true), 13);
  EXPECT_EQ(key_down_code(usb::kEscape, false), 27);
  EXPECT_EQ(key_down_code(usb::kBackspace, false), 8);
  EXPECT_EQ(key_down_code(usb::kTab, false), 9);
  EXPECT_EQ(key_down_code(usb::kUp, true), extended_code(scan::kUp));
  EXPECT_EQ(key_down_code(usb::kDown, false), extended_code(scan::kDown));
  EXPECT_EQ(key_down_code(usb::kLeft, false), 75 * 256 + 255);
  EXPECT_EQ(key_down_code(usb::kRight, false), 77 * 256 + 255);
  EXPECT_EQ(key_down_code(usb::kHome, false), extended_code(scan::kHome));
  EXPECT_EQ(key_down_code(usb::kEnd, false), extended_code(scan::kEnd));
  EXPECT_EQ(key_down_code(usb::kDelete, false), extended_code(scan::kDelete));
  EXPECT_EQ(key_down_code(usb::kInsert, false), extended_code(82));
  EXPECT_EQ(key_down_code(usb::kPageUp, false), extended_code(73));
  EXPECT_EQ(key_down_code(usb::kPageDown, false), extended_code(81));
  EXPECT_EQ(key_down_code(usb::kF1, false), extended_code(59));
  EXPECT_EQ(key_down_code(usb::kF12, false), extended_code(88));
  // Letters, digits and the space bar arrive as typed text only; modifiers
  // add nothing.
  for (int u : {usb::kA, usb::kS, usb::k1, usb::kSpace, usb::kLeftShift, usb::kLeftCtrl,
                usb::kLeftAlt, usb::kLessGreater, 0, -5, 9999}) {
    EXPECT_EQ(key_down_code(u, false), 0) << "usage " << u;
  }
}

TEST(KeyTranslation, KeypadTypesDigitsWithNumLockAndMovesWithout) {
  EXPECT_EQ(key_down_code(usb::kKeypad8, true), 0);
  EXPECT_EQ(key_down_code(usb::kKeypad8, false), extended_code(scan::kUp));
  EXPECT_EQ(key_down_code(usb::kKeypad1, false), extended_code(scan::kEnd));
  EXPECT_EQ(key_down_code(usb::kKeypad7, false), extended_code(scan::kHome));
  EXPECT_EQ(key_down_code(usb::kKeypad0, false), extended_code(82));
  EXPECT_EQ(key_down_code(usb::kKeypadPeriod, false), extended_code(scan::kDelete));
  EXPECT_EQ(key_down_code(usb::kKeypadPeriod, true), 0);
  EXPECT_EQ(key_down_code(usb::kKeypad5, false), 0);
}

TEST(KeyTranslation, PressRepeatAndReleaseOfAnArrow) {
  KeyTranslator keys;
  std::vector<KeyAction> out;
  keys.key_down(usb::kUp, false, out);
  keys.key_down(usb::kUp, false, out);  // auto-repeat
  keys.key_up(usb::kUp, out);
  const std::vector<KeyAction> expected = {down(72), code(0x48FF), down(72), code(0x48FF), up(72)};
  EXPECT_EQ(out, expected);
  // A second release of a key that is not held changes nothing.
  out.clear();
  keys.key_up(usb::kUp, out);
  EXPECT_TRUE(out.empty());
}

TEST(KeyTranslation, SharedScanCodeStaysHeldUntilBothKeysAreUp) {
  KeyTranslator keys;
  std::vector<KeyAction> out;
  keys.key_down(usb::kUp, false, out);
  keys.key_down(usb::kKeypad8, true, out);  // Num Lock on: the digit comes as text
  keys.key_up(usb::kUp, out);
  EXPECT_EQ(out, (std::vector<KeyAction>{down(72), code(0x48FF), down(72)}));
  keys.key_up(usb::kKeypad8, out);
  EXPECT_EQ(out.back(), up(72));
  // Enter and the keypad's Enter likewise.
  out.clear();
  keys.key_down(usb::kEnter, false, out);
  keys.key_down(usb::kKeypadEnter, false, out);
  keys.key_up(usb::kKeypadEnter, out);
  keys.key_up(usb::kEnter, out);
  EXPECT_EQ(out, (std::vector<KeyAction>{down(28), code(13), down(28), code(13), up(28)}));
}

TEST(KeyTranslation, LettersComeOnlyFromTypedText) {
  KeyTranslator keys;
  std::vector<KeyAction> out;
  keys.key_down(usb::kS, false, out);
  keys.text("s", out);
  keys.key_up(usb::kS, out);
  EXPECT_EQ(out, (std::vector<KeyAction>{down(31), code('s'), up(31)}));
}

TEST(KeyTranslation, TypedTextIsConvertedToCodePage437) {
  KeyTranslator keys;
  std::vector<KeyAction> out;
  keys.text("ä", out);
  keys.text("Ü", out);
  keys.text("ß", out);
  keys.text("A b", out);
  EXPECT_EQ(out, (std::vector<KeyAction>{code(132), code(154), code(225), code('A'), code(' '),
                                         code('b')}));
  // Characters the code page lacks, control bytes, DEL and broken UTF-8 add
  // nothing.
  out.clear();
  keys.text("€", out);
  keys.text("\t\r\x1b\x7f", out);
  keys.text("\xC3", out);
  keys.text("", out);
  EXPECT_TRUE(out.empty());
}

TEST(KeyTranslation, LosingTheKeyboardReleasesEveryHeldKey) {
  KeyTranslator keys;
  std::vector<KeyAction> out;
  keys.key_down(usb::kLeft, false, out);
  keys.key_down(usb::kSpace, false, out);
  keys.key_down(usb::kKeypad4, false, out);
  out.clear();
  keys.release_all(out);
  ASSERT_EQ(out.size(), 2u);
  EXPECT_NE(std::find(out.begin(), out.end(), up(scan::kLeft)), out.end());
  EXPECT_NE(std::find(out.begin(), out.end(), up(scan::kSpace)), out.end());
  // Afterwards the keys' own releases are ignored.
  out.clear();
  keys.key_up(usb::kLeft, out);
  keys.key_up(usb::kKeypad4, out);
  EXPECT_TRUE(out.empty());
}

TEST(KeyTranslation, KeysOutsideTheKnownRangeAreIgnoredSafely) {
  KeyTranslator keys;
  std::vector<KeyAction> out;
  keys.key_down(-1, false, out);
  keys.key_down(KeyTranslator::kUsbUsages, false, out);
  keys.key_up(-1, out);
  keys.key_up(1 << 30, out);
  EXPECT_TRUE(out.empty());
  // A key the window system knows but the PC set lacks holds no state and adds no code.
  keys.key_down(300, false, out);
  keys.key_up(300, out);
  EXPECT_TRUE(out.empty());
}

TEST(KeyTranslation, BrowserKeyNamesFindTheSameKeysAsUsbUsages) {
  // The keys the game steers with, and the ones whose scan code two keys
  // share, by their names.
  EXPECT_EQ(usb_usage_of_key_name("ArrowUp"), usb::kUp);
  EXPECT_EQ(usb_usage_of_key_name("ArrowDown"), usb::kDown);
  EXPECT_EQ(usb_usage_of_key_name("ArrowLeft"), usb::kLeft);
  EXPECT_EQ(usb_usage_of_key_name("ArrowRight"), usb::kRight);
  EXPECT_EQ(usb_usage_of_key_name("Enter"), usb::kEnter);
  EXPECT_EQ(usb_usage_of_key_name("NumpadEnter"), usb::kKeypadEnter);
  EXPECT_EQ(usb_usage_of_key_name("Escape"), usb::kEscape);
  EXPECT_EQ(usb_usage_of_key_name("Space"), usb::kSpace);
  EXPECT_EQ(usb_usage_of_key_name("KeyS"), usb::kS);
  EXPECT_EQ(usb_usage_of_key_name("KeyY"), usb::kY);
  EXPECT_EQ(usb_usage_of_key_name("Numpad8"), usb::kKeypad8);
  EXPECT_EQ(usb_usage_of_key_name("NumpadDecimal"), usb::kKeypadPeriod);
  EXPECT_EQ(usb_usage_of_key_name("IntlBackslash"), usb::kLessGreater);
  EXPECT_EQ(usb_usage_of_key_name("ShiftRight"), usb::kRightShift);
  EXPECT_EQ(usb_usage_of_key_name("F12"), usb::kF12);
  // Every letter and digit by name lands on its own key, in order.
  for (char c = 'A'; c <= 'Z'; ++c) {
    EXPECT_EQ(usb_usage_of_key_name(std::string("Key") + c), usb::kA + (c - 'A')) << c;
  }
  for (char c = '1'; c <= '9'; ++c) {
    EXPECT_EQ(usb_usage_of_key_name(std::string("Digit") + c), usb::k1 + (c - '1')) << c;
  }
  EXPECT_EQ(usb_usage_of_key_name("Digit0"), usb::k0);
  // Names of keys the PC keyboard lacks, wrong case and nothing find nothing.
  for (const char* name :
       {"", "Unidentified", "MediaPlayPause", "arrowup", "Key", "KeyAA", "Numpad", "Fn"}) {
    EXPECT_EQ(usb_usage_of_key_name(name), 0) << name;
  }
}

TEST(KeyTranslation, EveryNamedKeyHasAScanCodeAndOneName) {
  // A name finds a key with a scan code, and no two keys share a name.
  std::vector<int> seen;
  for (const char* name : {"KeyA",
                           "Digit5",
                           "Enter",
                           "Escape",
                           "Backspace",
                           "Tab",
                           "Space",
                           "Minus",
                           "Equal",
                           "BracketLeft",
                           "BracketRight",
                           "Backslash",
                           "Semicolon",
                           "Quote",
                           "Backquote",
                           "Comma",
                           "Period",
                           "Slash",
                           "CapsLock",
                           "F1",
                           "F11",
                           "ScrollLock",
                           "Insert",
                           "Home",
                           "PageUp",
                           "Delete",
                           "End",
                           "PageDown",
                           "NumLock",
                           "NumpadDivide",
                           "NumpadMultiply",
                           "NumpadSubtract",
                           "NumpadAdd",
                           "Numpad0",
                           "Numpad5",
                           "ContextMenu",
                           "ControlLeft",
                           "AltLeft",
                           "MetaLeft",
                           "ControlRight",
                           "AltRight",
                           "MetaRight"}) {
    const int usage = usb_usage_of_key_name(name);
    EXPECT_NE(set1_scan_code(usage), 0) << name;
    EXPECT_EQ(std::count(seen.begin(), seen.end(), usage), 0) << name;
    seen.push_back(usage);
  }
}

}  // namespace
}  // namespace rt
