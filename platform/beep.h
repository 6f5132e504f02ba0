// The line input's beep, the same tone on every host.
#pragma once

#include <cstdint>
#include <vector>

namespace rt {

// The 1000 Hz, 250 ms tone with short fades, as interleaved signed 16-bit
// samples at `rate` frames per second on `channels` channels; empty for a
// rate or a channel count below 1.
std::vector<std::int16_t> make_beep(int rate, int channels);

}  // namespace rt
