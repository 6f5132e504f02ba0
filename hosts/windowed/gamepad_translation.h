// Game controllers as keys: buttons and left sticks turned into the key
// actions the platform takes. Holds no SDL types, so that it is tested
// without SDL or a controller.
#pragma once

#include <map>
#include <utility>
#include <vector>

#include "hosts/windowed/key_translation.h"

namespace rt {

// Turns game controllers' buttons and left sticks into key actions: the
// D-pad and the left stick are the arrow keys, held as long as they are; A
// and Start are Enter, B and Back are Escape, X is Space and Y is S. Each
// press also puts the key's code into the key buffer, as a key press does.
// A key stays held while any pad's button or stick holds it. Button numbers
// and axis numbers are those of SDL's game controller layout.
class GamepadTranslator {
 public:
  enum Button {
    kA = 0,
    kB = 1,
    kX = 2,
    kY = 3,
    kBack = 4,
    kStart = 6,
    kDpadUp = 11,
    kDpadDown = 12,
    kDpadLeft = 13,
    kDpadRight = 14,
  };
  enum Axis { kLeftX = 0, kLeftY = 1 };
  // A stick counts as pushed beyond this (of 32767), and as back once it is
  // within kStickRelease, so that a stick resting near the edge does not
  // flicker.
  static constexpr int kStickPress = 16000;
  static constexpr int kStickRelease = 12000;

  void button(int pad, int button, bool down, std::vector<KeyAction>& out);
  void axis(int pad, int axis, int value, std::vector<KeyAction>& out);
  // A pad was unplugged: what it held is released.
  void removed(int pad, std::vector<KeyAction>& out);
  // The window lost the keyboard: everything held is released.
  void release_all(std::vector<KeyAction>& out);

 private:
  // Each holding source (a pad's button, or a pad's stick direction) and the
  // scan code it holds.
  using Source = std::pair<int, int>;
  void hold(Source source, int scan_code, int code, std::vector<KeyAction>& out);
  void let_go(Source source, std::vector<KeyAction>& out);
  bool scan_held(int scan_code) const;
  std::map<Source, int> held_;
};

}  // namespace rt
