// The title screen: the game's name magnified from the text grid, with its
// shadow, before the first menu.
#include <cstdint>

#include "frontend/frontend.h"

namespace rt {

namespace {

// The colour of every text of the game: pale yellow on black.
constexpr Color kTextColor = 0xFFFFFF38;
constexpr Color kTextBackground = 0;
// The shadow of the magnified title, a dark blue.
constexpr Color kShadowColor = 0x00000064;
// Face colour of the magnified title for source row 0; each row adds 4.
constexpr Color kFaceBase = 0xFFFFE0C0;

// The scanned rectangle of the small printed title.
constexpr int kFirstSourceRow = 1;
constexpr int kLastSourceRow = 11;
constexpr int kFirstSourceColumn = 1;
constexpr int kLastSourceColumn = 145;

}  // namespace

void FrontEnd::show_title_screen() {
  const Sprites& s = game_.sprites;
  p_.lock_screen();
  p_.clear_screen();
  p_.set_text_color(kTextColor, kTextBackground);
  p_.locate(1, 1);
  p_.print_text("DER RANGIER TRUBEL");
  p_.sleep_ms(10);

  // Every lit pixel of the small title becomes a 5 x 5 face box and, 5 pixels
  // to the right and below, a 5 x 5 shadow box; the boxes are 4 apart, so the
  // title grows fourfold. Later rows' faces cover most of the shadows above.
  for (int y = kFirstSourceRow; y <= kLastSourceRow; ++y) {
    for (int x = kFirstSourceColumn; x <= kLastSourceColumn; ++x) {
      if (p_.read_pixel(x, y) != kTextColor) continue;
      const auto face = static_cast<Color>(kFaceBase + 4u * static_cast<std::uint32_t>(y));
      p_.fill_box(static_cast<float>(4 * x + 95), static_cast<float>(4 * y + 50),
                  static_cast<float>(4 * x + 99), static_cast<float>(4 * y + 54), face);
      p_.fill_box(static_cast<float>(4 * x + 100), static_cast<float>(4 * y + 55),
                  static_cast<float>(4 * x + 104), static_cast<float>(4 * y + 59), kShadowColor);
    }
  }

  // The oval of track around the title: the straight rows, the sides, the
  // logo, and last the corners over the ends of the rows.
  for (int i = 1; i <= 20; ++i) {
    const auto x = static_cast<float>(40 * i - 40);
    p_.put_image(x, 1, s.SchieneWage);
    p_.put_image(x, 120, s.SchieneWage);
  }
  p_.put_image(1, 40, s.SchieneSenk);
  p_.put_image(1, 80, s.SchieneSenk);
  p_.put_image(760, 40, s.SchieneSenk);
  p_.put_image(760, 80, s.SchieneSenk);
  p_.put_image(315, 170, s.KX);
  p_.put_image(1, 1, s.KurveURe);
  p_.put_image(760, 1, s.KurveULi);
  p_.put_image(1, 120, s.KurveORe);
  p_.put_image(760, 120, s.KurveOLi);

  // The whole picture appears at once.
  p_.unlock_screen(-1, -1);
}

}  // namespace rt
