// Which painting makes each of the game's pictures, in the order of the asset
// table.
#include "tools/make_sprites/sprite_art.h"

#include <utility>

#include "tools/make_sprites/palette.h"

namespace rt::make_sprites {

std::vector<Picture> draw_sprites() {
  const Image loco0 = draw_locomotive_layer(0);
  const Image loco1 = draw_locomotive_layer(1);
  std::vector<Picture> out;
  out.reserve(assets::kPictures.size());
  for (const assets::PictureFile& picture : assets::kPictures) {
    const auto n = picture.image;  // which picture, by its place in Sprites
    Image img;
    if (n == &Sprites::SchieneWage) img = draw_track(Track::Horizontal);
    if (n == &Sprites::SchieneSenk) img = draw_track(Track::Vertical);
    if (n == &Sprites::KurveOLi) img = draw_track(Track::TopLeft);
    if (n == &Sprites::KurveORe) img = draw_track(Track::TopRight);
    if (n == &Sprites::KurveULi) img = draw_track(Track::BottomLeft);
    if (n == &Sprites::KurveURe) img = draw_track(Track::BottomRight);
    if (n == &Sprites::Schwarz) img = Image(kCell, kCell, kBlack);
    if (n == &Sprites::Hbf) img = draw_station();
    if (n == &Sprites::LockWage1) img = draw_locomotive(Track::Horizontal, loco0);
    if (n == &Sprites::LockWage2) img = draw_locomotive(Track::Horizontal, loco1);
    if (n == &Sprites::LockWage3) img = draw_locomotive(Track::Horizontal, mirror(loco0));
    if (n == &Sprites::LockWage4) img = draw_locomotive(Track::Horizontal, mirror(loco1));
    if (n == &Sprites::LockSenk1) img = draw_locomotive(Track::Vertical, turn_clockwise(loco0));
    if (n == &Sprites::LockSenk2) img = draw_locomotive(Track::Vertical, turn_clockwise(loco1));
    if (n == &Sprites::LockSenk3)
      img = draw_locomotive(Track::Vertical, turn_counter_clockwise(loco0));
    if (n == &Sprites::LockSenk4)
      img = draw_locomotive(Track::Vertical, turn_counter_clockwise(loco1));
    if (n == &Sprites::Haus) img = draw_house();
    if (n == &Sprites::Baum1) img = draw_tree();
    if (n == &Sprites::Gruen) img = draw_grass();
    if (n == &Sprites::Explo1) img = draw_explosion(0);
    if (n == &Sprites::Explo2) img = draw_explosion(1);
    if (n == &Sprites::KX) img = draw_logo();
    if (n == &Sprites::Minilock) img = draw_menu_pointer();
    if (n == &Sprites::VLoesch) img = Image(picture.width, picture.height, kBlack);
    out.push_back({picture.name, std::move(img)});
  }
  return out;
}

}  // namespace rt::make_sprites
