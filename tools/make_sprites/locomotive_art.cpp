// The locomotive seen from above, in its two frames, set on a piece of track.
#include "tools/make_sprites/paint.h"
#include "tools/make_sprites/palette.h"
#include "tools/make_sprites/sprite_art.h"

namespace rt::make_sprites {

// The locomotive seen from above, heading right, on a see-through layer.
Image draw_locomotive_layer(int frame) {
  Image img(kCell, kCell, kClear);
  // Wheels show beside the running board; the coupling rods move between
  // the frames, so the wheels seem to turn.
  for (int wx : {10, 17, 24}) {
    fill_rect(img, wx - 2, 10, wx + 2, 11, kWheel);
    fill_rect(img, wx - 2, 28, wx + 2, 29, kWheel);
  }
  const int rod = frame == 0 ? -1 : 1;
  for (int ry : {10, 29}) {
    line(img, 10 + rod, ry, 24 + rod, ry, kSteel);
  }
  // Running board with the buffer beams and buffers.
  fill_rect(img, 4, 12, 35, 27, kFootplate);
  fill_rect(img, 4, 12, 35, 12, kFootplateEdge);
  fill_rect(img, 3, 12, 4, 27, kBeam);
  fill_rect(img, 35, 12, 36, 27, kBeam);
  for (int by : {14, 23}) {
    fill_rect(img, 37, by, 38, by + 2, kSteel);
    fill_rect(img, 1, by, 2, by + 2, kSteel);
  }
  // Cab roof, lit from above.
  fill_rect(img, 5, 12, 13, 27, kCab);
  fill_rect(img, 5, 12, 13, 15, kCabLight);
  fill_rect(img, 5, 24, 13, 27, kCabDark);
  fill_rect(img, 13, 12, 13, 27, kCabDark);
  fill_rect(img, 7, 19, 11, 20, kCabDark);  // roof vent
  // Boiler: a cylinder shaded across, with brass bands.
  for (int y = 14; y <= 25; ++y) {
    Color c = kBoiler;
    if (y == 14 || y == 25) {
      c = kBoilerDark;
    } else if (y <= 16) {
      c = kBoilerLight;
    } else if (y >= 22) {
      c = mix(kBoiler, kBoilerDark, 0.6);
    }
    fill_rect(img, 14, y, 30, y, c);
  }
  for (int bx : {18, 25}) {
    for (int y = 15; y <= 24; ++y) plot(img, bx, y, y <= 16 ? kBrassLight : kBrass);
  }
  // Smokebox and chimney at the front.
  fill_rect(img, 30, 14, 34, 25, kSmokebox);
  fill_rect(img, 30, 15, 34, 16, kSmokeboxLight);
  fill_disc(img, 32, 20, 2.6, kSoot);
  fill_disc(img, 31.6, 19.6, 1.1, rgb(70, 60, 56));
  // Steam dome.
  fill_disc(img, 22, 20, 2.3, kBrass);
  plot(img, 21, 19, kBrassLight);
  // Head lamp: it flickers.
  fill_rect(img, 36, 19, 36, 20, frame == 0 ? kLamp : kLampDim);
  if (frame == 0) fill_rect(img, 37, 19, 38, 20, kLampGlow);
  // Smoke: a fresh puff above the chimney, then the puff drifts back.
  if (frame == 0) {
    paint_puff(img, 28.0, 18.0, 2.4, rgb(236, 236, 240));
  } else {
    paint_puff(img, 24.5, 15.5, 3.6, rgb(214, 214, 222));
    paint_puff(img, 18.5, 12.5, 2.2, rgb(188, 190, 200));
    paint_puff(img, 32.0, 19.5, 1.4, rgb(236, 236, 240));
  }
  return img;
}

Image draw_locomotive(Track shape, const Image& layer) {
  Image img = draw_track(shape);
  overlay(img, layer, 0, 0);
  return img;
}

}  // namespace rt::make_sprites
