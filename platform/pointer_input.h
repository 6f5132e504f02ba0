// Playing by pointer (mouse, touch, pen): taps and swipes on the 800 x 600
// picture turned into the held keys and key-buffer codes the game reads.
#pragma once

#include <array>
#include <deque>
#include <optional>

namespace rt {

// A rectangle of picture pixels: x from `x` to `x + width - 1`, likewise y.
struct PixelRect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  constexpr bool contains(int px, int py) const {
    return px >= x && py >= y && px - x < width && py - y < height;
  }
};

// What the screen shows, as far as a pointer is concerned. The layers above
// describe it (Platform::set_pointer_screen); the platform knows nothing of
// the game beyond this.
struct PointerScreen {
  enum class Kind {
    Nothing,    // taps do nothing
    Field,      // the game is played: taps by the game's zones, swipes are arrows
    Menu,       // a list of items, one of them selected
    AnyKey,     // the game waits for a key: any tap is one
    TextEntry,  // a line is being typed: taps do nothing, the keyboard types
    Canvas,     // the screen reads the pointer itself (take_event): the editor
  };
  Kind kind = Kind::Nothing;

  // Field: what a tap means, as the game works it out from its rules: the
  // first zone that holds the tap presses its key (a scan code); a tap in
  // no zone means nothing. A swipe is the arrow of its direction, the touch
  // buttons are Space, S and Escape.
  struct TapZone {
    PixelRect rect;
    int scan_code = 0;
  };
  static constexpr int kMaxZones = 8;
  std::array<TapZone, kMaxZones> zones{};
  int zone_count = 0;

  // Menu: the items' rectangles top to bottom, the selected one and the one
  // that switches the sound (-1 for none), counted from 0.
  static constexpr int kMaxItems = 4;
  std::array<PixelRect, kMaxItems> items{};
  int item_count = 0;
  int selected = 0;
  int sound_item = -1;
};

// Which button of a mouse went down; a touch or a pen is the primary one.
enum class PointerButton { Primary, Secondary };

// What a Canvas screen reads, in the order it happened: where the pointer
// went down (and with which button), moved to while down, or came up, in
// picture pixels; or a key-buffer code (`code`), so that a key and a tap
// are taken in the order the player made them.
struct CanvasEvent {
  enum class Kind { Down, Move, Up, Key } kind = Kind::Down;
  int x = 0;
  int y = 0;
  PointerButton button = PointerButton::Primary;
  int code = 0;
  friend bool operator==(const CanvasEvent&, const CanvasEvent&) = default;
};

// A screen of a kind with nothing more to say: Nothing, AnyKey, TextEntry.
inline PointerScreen screen_of_kind(PointerScreen::Kind kind) {
  PointerScreen screen;
  screen.kind = kind;
  return screen;
}

// The big buttons a touch screen shows beside the picture.
enum class TouchButton { Tempo, Sound, GiveUp };

// Turns pointer gestures into key presses. A press holds one key until the
// game's next poll at that key has seen it, and is then released: a tap
// shorter than the gap between two polls still counts, and never twice. A
// gesture is turned into its key only when the previous press has been seen
// and the screen has been described anew since, so that a tap always means
// what the screen shows by then (the hole where the last slide left it, the
// item the menu selected last). A gesture can take several presses (a tap on
// the third item of a menu on its first: Down, Down, Enter).
//
// Not thread-safe by itself: the Platform guards it with its lock. Every call
// returns the key-buffer code of a press it started, or 0; the caller puts
// that code into the key buffer, as a key press would.
class PointerInput {
 public:
  // How far a touch has to travel, in picture pixels, to be a swipe.
  static constexpr int kSwipeDistance = 24;

  // A new description of the screen. When its kind differs from the last
  // one's, gestures still waiting and a press not yet seen belong to a screen
  // that is gone and are dropped.
  int set_screen(const PointerScreen& screen);
  const PointerScreen& screen() const { return screen_; }

  // The primary pointer in picture pixels (after the host's scaling): it went
  // down, moved, came up. A touch that ends near where it began is a tap
  // there; one that travels kSwipeDistance or more is a swipe in the
  // direction it went furthest, decided as soon as it has gone that far.
  // A touch that begins outside the picture is ignored. The secondary
  // button means something only to a Canvas screen, which gets every event
  // as it came instead.
  int down(int x, int y, PointerButton button = PointerButton::Primary);
  int move(int x, int y);
  int up(int x, int y);
  // A touch button was pressed.
  int button(TouchButton which);

  // The game polls at whether the key `scan_code` is held: true when a press
  // holds it, and that press is then over.
  bool poll(int scan_code);
  // The scan code a press holds now (0: none); for tests.
  int held() const { return held_; }

  // A Canvas screen's next event, oldest first; none when none waits.
  std::optional<CanvasEvent> take_event();
  // Keeps a key-buffer code for a Canvas screen: false for the other
  // screens, whose codes go to the key buffer.
  bool keep_key(int code);
  bool has_event() const { return !events_.empty(); }

 private:
  struct Gesture {
    enum class Kind { Tap, Swipe, Button } kind = Kind::Tap;
    int x = 0;
    int y = 0;
    int arrow = 0;  // Swipe: the scan code of its direction
    TouchButton button = TouchButton::Tempo;
    int presses = 0;  // presses this gesture has made so far
  };
  struct Press {
    int scan_code = 0;  // held until seen; 0 for a code alone
    int code = 0;       // for the key buffer
  };

  int add(const Gesture& gesture);
  // Starts the next press when the game is ready for it.
  int start_next();
  // The press the front gesture makes on the screen as it is now; `done`
  // tells whether the gesture is over with it.
  Press press_for(Gesture& gesture, bool& done) const;
  Press field_press(const Gesture& gesture) const;
  Press menu_press(Gesture& gesture, bool& done) const;

  // Keeps an event for a Canvas screen; false for the other screens.
  bool keep(const CanvasEvent& event);

  PointerScreen screen_;
  std::deque<Gesture> waiting_;
  std::deque<CanvasEvent> events_;  // for a Canvas screen
  bool canvas_down_ = false;        // a Canvas screen's pointer is down
  int held_ = 0;
  bool described_ = true;  // the screen was described since the last press was seen
  bool touching_ = false;
  int touch_x_ = 0;
  int touch_y_ = 0;
};

}  // namespace rt
