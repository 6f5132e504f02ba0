// The main menu: moving the pointer, choosing an item and the sound switch.
#include <gtest/gtest.h>

#include <memory>

#include "platform/keyboard.h"
#include "tests/support/front_fixture.h"

namespace rt::testing {
namespace {

constexpr int kDownCode = extended_code(scan::kDown);
constexpr int kUpCode = extended_code(scan::kUp);

class MainMenuTest : public FrontFixture {
 protected:
  // Where the pointer stands: 1..3, 0 when it is nowhere, -1 when twice.
  int pointer_item() {
    int item = 0;
    for (int i = 0; i < 3; ++i) {
      if (platform.read_pixel(285, 465 + 32 * i) == kPointerColor) item = item == 0 ? i + 1 : -1;
    }
    return item;
  }
  // Down taps from the fresh menu to item 3; returns the time after them.
  double go_to_item_3() {
    tap(1.0, scan::kDown, kDownCode);
    tap(1.2, scan::kDown, kDownCode);
    return 1.4;
  }
};

TEST_F(MainMenuTest, DrawsTitleListItemsAndPointer) {
  game.sound_on = 1;
  EXPECT_FALSE(run([&] { front.main_menu(); }, 0.5));
  EXPECT_TRUE(stopped);
  EXPECT_EQ(platform.read_pixel(1, 1), kURColor);  // the title screen
  EXPECT_EQ(screen_text(platform, 15, 41, 11), "BESTENLISTE");
  EXPECT_EQ(screen_text(platform, 30, 40, 13), "SPIEL STARTEN");
  EXPECT_EQ(screen_text(platform, 32, 40, 13), "SPIEL BEENDEN");
  EXPECT_EQ(screen_text(platform, 34, 40, 9), "SOUND EIN");
  EXPECT_EQ(pointer_item(), 1);
  EXPECT_EQ(platform.read_pixel(280, 460), kPointerColor);
  EXPECT_EQ(platform.read_pixel(299, 479), kPointerColor);
  EXPECT_NE(platform.read_pixel(300, 479), kPointerColor);
}

TEST_F(MainMenuTest, ShowsSoundOffWhenTheGameSwitchedItOff) {
  game.sound_on = 0;
  run([&] { front.main_menu(); }, 0.5);
  EXPECT_EQ(screen_text(platform, 34, 40, 9), "SOUND AUS");
}

TEST_F(MainMenuTest, EnterOnAFreshMenuStartsAtOnceWithAnEmptyBuffer) {
  game.GameState = state::kGameOver;
  host.press(1.0, scan::kEnter, keycode::kEnter);
  EXPECT_FALSE(run([&] { front.main_menu(); }));
  ASSERT_TRUE(returned);
  EXPECT_EQ(game.GameState, state::kPlaying);
  EXPECT_LT(host.now(), 1.1);
  EXPECT_EQ(platform.inkey(), "");
  EXPECT_EQ(count_sounds("ping.wav"), 0);
}

TEST_F(MainMenuTest, SpaceChoosesLikeEnter) {
  host.press(1.0, scan::kSpace, keycode::kSpace);
  run([&] { front.main_menu(); });
  EXPECT_TRUE(returned);
  EXPECT_EQ(game.GameState, state::kPlaying);
}

TEST_F(MainMenuTest, KeyPressedWhileTheMenuIsDrawnEndsTheFirstWait) {
  // The press comes before the menu opens; it ends the first wait at once and
  // is still held in the first pass.
  host.press(0.0, scan::kEnter, keycode::kEnter);
  run([&] { front.main_menu(); });
  EXPECT_TRUE(returned);
  EXPECT_LT(host.now(), 0.1);
}

TEST_F(MainMenuTest, KeyReleasedBeforeThePassPollsCountsOnce) {
  // Down and Enter each held for 1 ms, between two polls: the pointer moves
  // once and the second item is chosen.
  tap(1.0, scan::kDown, kDownCode, 0.001);
  tap(1.5, scan::kEnter, keycode::kEnter, 0.001);
  run([&] { front.main_menu(); }, 3.0);
  EXPECT_FALSE(stopped);
  EXPECT_EQ(pointer_item(), 2);
  EXPECT_EQ(count_sounds("ping.wav"), 1);
}

TEST_F(MainMenuTest, DownAndUpMoveThePointerWithPingEraserAndMouse) {
  tap(1.0, scan::kDown, kDownCode);
  host.at(1.1, [&] {
    EXPECT_EQ(pointer_item(), 2);
    EXPECT_EQ(platform.read_pixel(285, 430), kEraserColor);  // VLoesch from y 420
    EXPECT_EQ(count_sounds("ping.wav"), 1);
    EXPECT_EQ(host.mouse_x(), 400);
    EXPECT_EQ(host.mouse_y(), 300);
    EXPECT_FALSE(host.mouse_visible());
    host.set_mouse(1, 1, true, false);  // a mark the next move must reset
  });
  tap(1.2, scan::kDown, kDownCode);
  host.at(1.3, [&] {
    EXPECT_EQ(pointer_item(), 3);
    host.set_mouse(1, 1, true, false);
  });
  tap(1.4, scan::kUp, kUpCode);
  run([&] { front.main_menu(); }, 2.0);
  EXPECT_EQ(pointer_item(), 2);
  EXPECT_EQ(count_sounds("ping.wav"), 3);
  EXPECT_EQ(host.mouse_x(), 400);
  EXPECT_FALSE(host.mouse_visible());
}

TEST_F(MainMenuTest, DownOnItem3DoesNothingAtAll) {
  const double t = go_to_item_3();
  host.at(t, [&] {
    platform.fill_box(280, 420, 299, 459, 0xFFABCDEF);  // where only the eraser draws
    host.set_mouse(1, 1, true, false);
  });
  // Down on item 3, with Enter held (no key code of its own) and a further
  // code waiting behind the Down: the Down pass toggles the sound, and the
  // waiting code, which the Down must not throw away, gives a second pass
  // that toggles it back.
  host.press(t + 0.1, scan::kDown, kDownCode);
  host.press(t + 0.1, scan::kEnter, 0);
  host.type_code(t + 0.1005, 'x');
  host.release(t + 0.3, scan::kDown);
  host.release(t + 0.3, scan::kEnter);
  run([&] { front.main_menu(); }, t + 1.0);
  EXPECT_EQ(pointer_item(), 3);
  EXPECT_EQ(platform.read_pixel(285, 430), 0xFFABCDEFu);
  EXPECT_EQ(host.mouse_x(), 1);
  EXPECT_TRUE(host.mouse_visible());
  EXPECT_EQ(game.sound_on, 1);                // toggled twice
  EXPECT_EQ(count_sounds("ping.wav", t), 1);  // the switch back on
  EXPECT_EQ(screen_text(platform, 34, 40, 9), "SOUND EIN");
}

TEST_F(MainMenuTest, UpOnItem1DoesNothingAtAll) {
  host.at(0.9, [&] {
    platform.fill_box(280, 420, 299, 459, 0xFFABCDEF);
    host.set_mouse(1, 1, true, false);
  });
  tap(1.0, scan::kUp, kUpCode);
  tap(1.2, scan::kUp, kUpCode);
  run([&] { front.main_menu(); }, 2.0);
  EXPECT_EQ(pointer_item(), 1);
  EXPECT_EQ(platform.read_pixel(285, 430), 0xFFABCDEFu);
  EXPECT_EQ(host.mouse_x(), 1);
  EXPECT_EQ(count_sounds("ping.wav"), 0);
}

TEST_F(MainMenuTest, HoldingDownStopsAtItem3) {
  host.press(1.0, scan::kDown, kDownCode);  // repeats from 1.5 every 0.05 s
  host.release(2.0, scan::kDown);
  run([&] { front.main_menu(); }, 3.0);
  EXPECT_EQ(pointer_item(), 3);
  EXPECT_EQ(count_sounds("ping.wav"), 2);
}

TEST_F(MainMenuTest, HoldingEnterOnItem3TogglesAtEveryRepeat) {
  const double t = go_to_item_3();
  // The press and four repeats (at +0.5, +0.55, +0.6, +0.65): five passes.
  host.press(t, scan::kEnter, keycode::kEnter);
  host.release(t + 0.699, scan::kEnter);
  run([&] { front.main_menu(); }, t + 1.5);
  EXPECT_TRUE(stopped);
  EXPECT_EQ(game.sound_on, 0);
  EXPECT_EQ(screen_text(platform, 34, 40, 9), "SOUND AUS");
  // Heard only when switched on: the second and the fourth switch.
  EXPECT_EQ(count_sounds("ping.wav", t), 2);
}

TEST_F(MainMenuTest, SoundItemSwitchesOnWithOnePing) {
  game.sound_on = 0;
  const double t = go_to_item_3();  // no pings: the sound is off
  tap(t, scan::kEnter, keycode::kEnter);
  run([&] { front.main_menu(); }, t + 0.5);
  EXPECT_EQ(game.sound_on, 1);
  EXPECT_EQ(screen_text(platform, 34, 40, 9), "SOUND EIN");
  EXPECT_EQ(count_sounds("ping.wav"), 1);
}

TEST_F(MainMenuTest, QuitItemSavesTheListAndEndsWithStatus0) {
  dir.write("Data/keep", "");
  front.high_scores[0] = {"Anna", 1200};
  tap(1.0, scan::kDown, kDownCode);
  tap(1.2, scan::kEnter, keycode::kEnter);
  EXPECT_EQ(run([&] { front.main_menu(); }), 0);
  const std::string file = dir.read("Data/High.dat");
  EXPECT_EQ(file.substr(0, 14), "\"Anna\"\r\n1200\r\n");
}

TEST_F(MainMenuTest, EscapeEndsWithoutSaving) {
  dir.write("Data/keep", "");
  tap(1.0, scan::kDown, kDownCode);
  tap(1.2, scan::kEscape, keycode::kEscape);
  EXPECT_EQ(run([&] { front.main_menu(); }), 0);
  EXPECT_FALSE(std::filesystem::exists(dir.path() / "Data" / "High.dat"));
}

TEST_F(MainMenuTest, ATapOnAnItemMovesThePointerThereAndChoosesIt) {
  const auto click = [this](double time, int x, int y) {
    host.at(time, [this, x, y] { platform.host_pointer_down(x, y); });
    host.at(time + 0.01, [this, x, y] { platform.host_pointer_up(x, y); });
  };
  auto after_sound = std::make_shared<int>();
  click(1.0, 340, 536);  // "SOUND EIN", two items down: Down, Down, Enter
  host.at(1.5, [this, after_sound] { *after_sound = pointer_item(); });
  // The Ton button is the sound item: on again, with its ping.
  host.at(1.8, [this] { platform.host_pointer_button(TouchButton::Sound); });
  click(2.0, 100, 100);  // not on an item: nothing
  click(2.5, 300, 470);  // "SPIEL STARTEN": Up, Up, Enter
  run([&] { front.main_menu(); }, 4.0);
  EXPECT_EQ(*after_sound, 3);
  EXPECT_EQ(game.sound_on, 1);
  EXPECT_EQ(count_sounds("ping.wav"), 5);  // Down, Down, sound on, Up, Up
  ASSERT_TRUE(returned);
  EXPECT_EQ(game.GameState, state::kPlaying);
  EXPECT_LT(host.now(), 2.7);
  EXPECT_EQ(platform.inkey(), "");
}

}  // namespace
}  // namespace rt::testing
