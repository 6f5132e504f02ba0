// The sound generator's synthesis, shared with its tests.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

#include "game/assets.h"

// The game's four sound effects, synthesized: the blip of a sliding piece,
// the bell of the speed bonus, the explosion of a lost locomotive and the
// whistle that opens every level.
namespace rt::make_sounds {

inline constexpr int kSampleRate = 22050;
// Every sound's loudest sample stays at or below this share of full scale.
inline constexpr double kMaxPeak = 0.8;
// Length of the fade at each end, so that no sound starts or stops with a
// click.
inline constexpr double kFadeSeconds = 0.005;

struct SoundLimits {
  std::string_view name;  // file stem, from assets::kSounds
  double min_seconds;     // the sound lasts at least ...
  double max_seconds;     // ... and at most this long
};

// In the order of assets::kSounds.
inline constexpr std::array<SoundLimits, assets::kSounds.size()> kSoundLimits{{
    {assets::sound_name(assets::SoundId::Ping), 0.05, 0.15},
    {assets::sound_name(assets::SoundId::Explosion), 1.5, 2.2},
    {assets::sound_name(assets::SoundId::Ding), 0.2, 0.5},
    {assets::sound_name(assets::SoundId::Next), 0.6, 1.5},
}};

struct Sound {
  std::string_view name;
  std::vector<std::int16_t> samples;  // mono, kSampleRate per second
};

// The four sounds in the order of kSoundLimits. The same every call.
std::vector<Sound> synthesize_sounds();

std::vector<std::int16_t> synthesize_ping();
std::vector<std::int16_t> synthesize_ding();
std::vector<std::int16_t> synthesize_explosion();
std::vector<std::int16_t> synthesize_next();

// Scales `wave` so that its loudest sample is `peak` of full scale, fades
// both ends in over kFadeSeconds and converts it to 16-bit samples. A
// silent wave stays silent.
std::vector<std::int16_t> finish(std::vector<double> wave, double peak);

}  // namespace rt::make_sounds
