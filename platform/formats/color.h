// The pixel type shared by the screen, images and every host.
#pragma once

#include <cstdint>

namespace rt {

// A pixel as stored on the screen and in images: 0xAARRGGBB. Drawing copies
// whole values; the alpha byte is kept but never blended.
using Color = std::uint32_t;

}  // namespace rt
