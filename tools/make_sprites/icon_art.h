// The game's desktop icon: a steam locomotive from the side on a stretch of
// track, as on the title, painted as pixel art in two designs (16 and 32
// dots square) and enlarged dot by dot for the bigger sizes.
#pragma once

#include <array>

#include "platform/formats/image.h"

namespace rt::make_sprites {

// The sizes of the icon theme's PNG files, in pixels square.
inline constexpr std::array<int, 6> kIconSizes{16, 32, 48, 64, 128, 256};
// The sizes a web app's manifest names, from the 32-dot design.
inline constexpr std::array<int, 2> kWebIconSizes{192, 512};

// The icon at `size` pixels square: the 16-dot design at 16 and, three times
// enlarged, at 48; the 32-dot design at 32 and enlarged at 64, 128 and 256.
// Every pixel is opaque, so the window's icon (a BMP without alpha) is the
// same picture. The web sizes enlarge the 32-dot design likewise. An empty
// image for any size not in kIconSizes or kWebIconSizes.
Image draw_icon(int size);

}  // namespace rt::make_sprites
