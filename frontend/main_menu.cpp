// The main menu: its three items, the pointer moved with the arrow keys and
// the choice made with Enter or Space.
#include "frontend/frontend.h"
#include "platform/keyboard.h"

namespace rt {

namespace {

// Text rows of the three items, all at column 40.
constexpr int kItemColumn = 40;
constexpr int kStartRow = 30;
constexpr int kQuitRow = 32;
constexpr int kSoundRow = 34;
// The free row below the items, for a list that could not be saved.
constexpr int kNotSavedRow = 36;
// The screen's last row, for the menu's note.
constexpr int kNoteRow = 37;

// The pointer's column and its top edge for each item; the eraser strip
// starts above the first item and reaches the bottom of the screen.
constexpr float kPointerX = 280;
constexpr float kPointerY[3] = {460, 492, 524};
constexpr float kEraserY = 420;

const char* sound_label(std::int32_t sound_on) {
  return sound_on == 1 ? "SOUND EIN" : "SOUND AUS";
}

void empty_key_buffer(Platform& p) {
  while (!p.inkey().empty()) {
  }
}

// Tells the pointer where the items are and which one the pointer marks: a
// tap on an item moves the pointer there and chooses it. Each item's band
// reaches from the pointer picture past the end of its text and halfway to
// its neighbours.
void describe_menu(Platform& p, std::int32_t menu_item) {
  PointerScreen s;
  s.kind = PointerScreen::Kind::Menu;
  s.item_count = 3;
  for (int i = 0; i < s.item_count; ++i) {
    constexpr int kBandLeft = 264;
    constexpr int kBandWidth = 176;
    constexpr int kBandAbove = 6;
    constexpr int kBandHeight = 32;
    s.items[static_cast<std::size_t>(i)] =
        PixelRect{kBandLeft, static_cast<int>(kPointerY[i]) - kBandAbove, kBandWidth, kBandHeight};
  }
  s.selected = menu_item - 1;
  s.sound_item = 2;
  p.set_pointer_screen(s);
}

}  // namespace

void FrontEnd::main_menu() {
  const Sprites& s = game_.sprites;
  show_title_screen();
  show_high_scores();
  p_.locate(kStartRow, kItemColumn);
  p_.print_text("SPIEL STARTEN");
  p_.locate(kQuitRow, kItemColumn);
  p_.print_text("SPIEL BEENDEN");
  p_.locate(kSoundRow, kItemColumn);
  p_.print_text(sound_label(game_.sound_on));
  if (!high_scores_saved) {
    p_.locate(kNotSavedRow, kItemColumn);
    p_.print_text("BESTENLISTE NICHT GESPEICHERT");
  }
  if (!menu_note.empty()) {
    p_.locate(kNoteRow, kItemColumn);
    p_.print_text(menu_note);
  }

  std::int32_t menu_item = 1;
  p_.put_image(kPointerX, kPointerY[0], s.Minilock);
  describe_menu(p_, menu_item);

  // Wait for a key that arrived since the last read (it may already have
  // come while the screen was drawn), then forget the keys waiting.
  p_.sleep_ms(-1);
  empty_key_buffer(p_);

  // One pass per key press: look at the keys held at that moment.
  for (;;) {
    p_.sleep_ms(3);
    if (p_.key_down(scan::kEnter) || p_.key_down(scan::kSpace)) {
      if (menu_item == 1) {
        game_.GameState = state::kPlaying;
        empty_key_buffer(p_);
        p_.sleep_ms(10);
        return;
      }
      if (menu_item == 2) {
        // Merged with the list on disk, so nothing another copy of the game
        // saved meanwhile is undone.
        save_high_scores();
        p_.end_program(0);
      }
      if (menu_item == 3) {
        game_.sound_on = toggled_sound(game_.sound_on);
        p_.locate(kSoundRow, kItemColumn);
        p_.print_text(sound_label(game_.sound_on));
        game_.play_ping();
        p_.sleep_ms(2);
      }
    }
    if (p_.key_down(scan::kDown) && menu_item < 3) {
      ++menu_item;
      p_.put_image(kPointerX, kEraserY, s.VLoesch);
      game_.play_ping();
      p_.set_mouse(400, 300, 0, 0);
      p_.sleep_ms(2);
      empty_key_buffer(p_);
    }
    if (p_.key_down(scan::kUp) && menu_item > 1) {
      --menu_item;
      p_.put_image(kPointerX, kEraserY, s.VLoesch);
      game_.play_ping();
      p_.set_mouse(400, 300, 0, 0);
      empty_key_buffer(p_);
      p_.sleep_ms(2);
    }
    if (p_.key_down(scan::kEscape)) p_.end_program(0);
    if (menu_item >= 1 && menu_item <= 3) {
      p_.put_image(kPointerX, kPointerY[menu_item - 1], s.Minilock);
    }
    describe_menu(p_, menu_item);
    p_.wait_key();
  }
}

}  // namespace rt
