// Where the game keeps its pictures; game/assets.h says which file each comes
// from.
#pragma once

#include "platform/formats/image.h"

namespace rt {

// The game's 24 pictures, created once at start-up and never freed.
struct Sprites {
  Image SchieneWage, SchieneSenk, KurveOLi, KurveORe, KurveULi, KurveURe;
  Image Schwarz, Hbf;
  Image LockWage1, LockWage2, LockWage3, LockWage4;
  Image LockSenk1, LockSenk2, LockSenk3, LockSenk4;
  Image Haus, Baum1, Gruen;
  Image Explo1, Explo2;
  Image KX, Minilock, VLoesch;
};

}  // namespace rt
