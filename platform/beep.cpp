// The line input's beep as samples, for any host's sound output.

#include "platform/beep.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <numbers>

namespace rt {

namespace {

constexpr double kBeepHz = 1000.0;
constexpr double kBeepSeconds = 0.25;
constexpr double kBeepFadeSeconds = 0.005;
constexpr double kBeepVolume = 0.25;  // of full scale

}  // namespace

std::vector<std::int16_t> make_beep(int rate, int channels) {
  if (rate <= 0 || channels <= 0) return {};
  const auto frames = static_cast<std::size_t>(std::lround(rate * kBeepSeconds));
  const double fade = rate * kBeepFadeSeconds;
  std::vector<std::int16_t> out;
  out.reserve(frames * static_cast<std::size_t>(channels));
  for (std::size_t i = 0; i < frames; ++i) {
    const double t = static_cast<double>(i) / rate;
    // Linear fades in and out keep the tone from clicking.
    const double from_end = static_cast<double>(frames - 1 - i);
    const double envelope = std::min({1.0, static_cast<double>(i) / fade, from_end / fade});
    const double value = std::sin(2.0 * std::numbers::pi * kBeepHz * t) * envelope * kBeepVolume;
    const auto sample = static_cast<std::int16_t>(std::lround(value * 32767.0));
    for (int c = 0; c < channels; ++c) out.push_back(sample);
  }
  return out;
}

}  // namespace rt
