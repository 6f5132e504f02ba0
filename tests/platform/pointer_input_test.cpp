// The pointer's gestures and held presses on their own: a tap presses the
// key of the zone that holds it and holds it until a poll has seen it; the
// next gesture waits for the screen to be described anew; a swipe is its
// arrow. A Canvas screen gets every event, keys included, in their order.
#include "platform/pointer_input.h"

#include <gtest/gtest.h>

#include "platform/keyboard.h"

namespace rt {
namespace {

PointerScreen zones_screen() {
  PointerScreen s;
  s.kind = PointerScreen::Kind::Field;
  s.zones[0] = {PixelRect{0, 0, 40, 40}, scan::kSpace};
  s.zones[1] = {PixelRect{0, 0, 80, 40}, scan::kLeft};  // behind the first
  s.zone_count = 2;
  return s;
}

TEST(PointerInput, TapsPressTheirZonesKeyOnceAndSwipesTheirArrow) {
  PointerInput in;
  in.set_screen(zones_screen());
  in.down(50, 10);
  EXPECT_EQ(in.up(50, 10), extended_code(scan::kLeft));
  in.down(10, 10);
  EXPECT_EQ(in.up(10, 10), 0) << "waits until the last press was seen";
  EXPECT_FALSE(in.poll(scan::kRight));
  EXPECT_TRUE(in.poll(scan::kLeft));
  EXPECT_FALSE(in.poll(scan::kLeft)) << "seen once";
  EXPECT_EQ(in.set_screen(zones_screen()), keycode::kSpace) << "the first zone that holds it";
  EXPECT_TRUE(in.poll(scan::kSpace));
  in.down(300, 300);
  EXPECT_EQ(in.up(300, 300), 0) << "in no zone";
  in.set_screen(zones_screen());
  in.down(300, 300);
  EXPECT_EQ(in.move(300, 300 - PointerInput::kSwipeDistance), extended_code(scan::kUp));
  EXPECT_EQ(in.up(300, 200), 0) << "the rest of a swipe means nothing";
}

TEST(PointerInput, ACanvasGetsEveryEventAndKeyInOrderAndNothingElse) {
  PointerInput in;
  in.set_screen(screen_of_kind(PointerScreen::Kind::Canvas));
  EXPECT_EQ(in.down(-5, 10), 0);  // off the picture: ignored, and so is its release
  in.up(-5, 10);
  in.down(10, 20, PointerButton::Secondary);
  in.move(15, 20);
  in.move(900, 20);  // merged with the move before, held near the picture
  EXPECT_TRUE(in.keep_key('p'));
  in.up(16, 21);
  in.move(17, 22);  // no button down
  using K = CanvasEvent::Kind;
  const CanvasEvent expected[] = {{K::Down, 10, 20, PointerButton::Secondary, 0},
                                  {K::Move, 900, 20, PointerButton::Primary, 0},
                                  {K::Key, 0, 0, PointerButton::Primary, 'p'},
                                  {K::Up, 16, 21, PointerButton::Primary, 0}};
  for (const CanvasEvent& e : expected) EXPECT_EQ(in.take_event(), e);
  EXPECT_FALSE(in.take_event());
  in.set_screen(screen_of_kind(PointerScreen::Kind::Menu));
  EXPECT_FALSE(in.keep_key('p')) << "other screens' keys go to the key buffer";
}

}  // namespace
}  // namespace rt
