// Key names in one place: the scan codes of the keys the game and its tools
// use, and the codes the key buffer holds.
#pragma once

#include <array>
#include <cstdint>

namespace rt {

// PC set-1 scan codes of the keys the game and its tools use.
namespace scan {
inline constexpr int kEscape = 1;
inline constexpr int kBackspace = 14;
inline constexpr int kTab = 15;
inline constexpr int kEnter = 28;
inline constexpr int kS = 31;
inline constexpr int kSpace = 57;
inline constexpr int kHome = 71;
inline constexpr int kUp = 72;
inline constexpr int kLeft = 75;
inline constexpr int kRight = 77;
inline constexpr int kEnd = 79;
inline constexpr int kDown = 80;
inline constexpr int kDelete = 83;
}  // namespace scan

// Codes of the key buffer: a key with a character puts its code 1..255 there,
// a key without one the extended code below. These are the ones the program
// and its tools name.
namespace keycode {
inline constexpr int kBackspace = 8;
inline constexpr int kTab = 9;
inline constexpr int kLineFeed = 10;
inline constexpr int kEnter = 13;
inline constexpr int kEscape = 27;
inline constexpr int kSpace = 32;
// The highest character code; the low byte of every extended code, and the
// first byte of the two that inkey gives for one.
inline constexpr int kExtendedPrefix = 255;
}  // namespace keycode

// Buffer code of a key without a character: scan code x 256 + 255.
constexpr int extended_code(int scan_code) {
  return scan_code * 256 + keycode::kExtendedPrefix;
}
// True for the codes the key buffer holds: 1..255, and scan x 256 + 255 for
// a scan byte 1..255.
constexpr bool is_key_code(int code) {
  return (code >= 1 && code <= keycode::kExtendedPrefix) ||
         (code > keycode::kExtendedPrefix && code <= 0xFFFF &&
          (code & 0xFF) == keycode::kExtendedPrefix);
}

// Held key states by scan code, the 16-slot key ring (at most 15 codes
// waiting, the oldest dropped) and the key-arrived flag. Not thread-safe by
// itself: the Platform guards it with its lock.
class Keyboard {
 public:
  static constexpr int kSlots = 16;

  // Codes outside 0..127 are ignored. A press is also kept until a poll at
  // the key has seen it, so that a key pressed and released between two
  // polls still counts once.
  void set_down(int scan_code, bool down);
  bool is_down(int scan_code) const;  // false outside 0..127
  // The game's poll at a key: true while it is held, or once after a press
  // that no poll has seen yet.
  bool poll(int scan_code);
  // Forgets the presses no poll has seen: a new screen does not act on a key
  // pressed for the one before.
  void forget_presses() { pressed_ = {}; }

  // Adds a code (1..255, or an extended code) and sets the key-arrived flag.
  // Any other value is not a key code and is ignored.
  void push(int code);
  bool empty() const { return head_ == tail_; }
  int size() const { return (tail_ - head_ + kSlots) % kSlots; }
  // Removes the oldest code; 0 when empty.
  int pop();

  // Reads and clears the key-arrived flag.
  bool take_arrived();
  void clear_arrived() { arrived_ = false; }
  bool arrived() const { return arrived_; }

 private:
  std::array<bool, 128> down_{};
  std::array<bool, 128> pressed_{};  // pressed since the last poll at the key
  std::array<int, kSlots> ring_{};
  int head_ = 0;
  int tail_ = 0;
  bool arrived_ = false;
};

}  // namespace rt
