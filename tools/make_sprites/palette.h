// The colours the pictures share: the grass, the track, the locomotive. The
// desktop icon is painted from the same ones.
#pragma once

#include <array>

#include "tools/make_sprites/paint.h"

namespace rt::make_sprites {

inline constexpr Color kBlack = rgb(0, 0, 0);

// Grass.
inline constexpr Color kGrassDark = rgb(58, 122, 40);
inline constexpr Color kGrassMid = rgb(72, 140, 46);
inline constexpr Color kGrassLight = rgb(86, 156, 54);
inline constexpr Color kGrassBright = rgb(104, 172, 62);
inline constexpr Color kTuftDark = rgb(44, 100, 32);
inline constexpr Color kTuftLight = rgb(128, 190, 76);

// Track: steel rails on gravel and wooden sleepers.
inline constexpr Color kRailShadowSide = rgb(92, 96, 108);
inline constexpr Color kRailTop = rgb(222, 226, 234);
inline constexpr Color kRailSide = rgb(146, 150, 162);
inline constexpr std::array<Color, 4> kGravel{rgb(136, 126, 110), rgb(152, 142, 124),
                                              rgb(122, 112, 98), rgb(164, 156, 140)};
inline constexpr Color kWood = rgb(128, 88, 52);
inline constexpr Color kWoodEdge = rgb(98, 66, 38);
inline constexpr Color kWoodKnot = rgb(80, 52, 30);

// The locomotive: red cab, green boiler with brass, black smokebox.
inline constexpr Color kFootplate = rgb(46, 48, 56);
inline constexpr Color kFootplateEdge = rgb(86, 90, 102);
inline constexpr Color kBeam = rgb(186, 40, 34);
inline constexpr Color kSteel = rgb(168, 172, 182);
inline constexpr Color kBoiler = rgb(36, 118, 66);
inline constexpr Color kBoilerLight = rgb(86, 170, 108);
inline constexpr Color kBoilerDark = rgb(22, 76, 42);
inline constexpr Color kBrass = rgb(226, 182, 70);
inline constexpr Color kBrassLight = rgb(252, 228, 140);
inline constexpr Color kCab = rgb(164, 40, 36);
inline constexpr Color kCabLight = rgb(210, 80, 62);
inline constexpr Color kCabDark = rgb(112, 26, 26);
inline constexpr Color kCabWindow = rgb(255, 226, 140);
inline constexpr Color kSmokebox = rgb(40, 40, 46);
inline constexpr Color kSmokeboxLight = rgb(84, 84, 94);
inline constexpr Color kSoot = rgb(18, 18, 20);
inline constexpr Color kWheel = rgb(30, 30, 34);
inline constexpr Color kLamp = rgb(255, 246, 178);
inline constexpr Color kLampGlow = rgb(255, 222, 110);
inline constexpr Color kLampDim = rgb(176, 150, 70);

}  // namespace rt::make_sprites
