// The synthesis of the game's four sounds.
#include "tools/make_sounds/sound_art.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <numbers>

namespace rt::make_sounds {
namespace {

constexpr double kTwoPi = 2 * std::numbers::pi;

// A small fixed-seed noise source (xorshift), one per sound, so every run
// makes the same samples.
class NoiseSource {
 public:
  explicit NoiseSource(std::uint32_t seed) : state_(seed != 0 ? seed : 1) {}
  // Uniform in -1..1.
  double next() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return static_cast<double>(state_) / 2147483648.0 - 1.0;
  }

 private:
  std::uint32_t state_;
};

// One-pole low-pass filter.
class LowPass {
 public:
  double run(double x, double cutoff_hz) {
    const double a = 1.0 - std::exp(-kTwoPi * cutoff_hz / kSampleRate);
    y_ += a * (x - y_);
    return y_;
  }

 private:
  double y_ = 0.0;
};

std::size_t samples_for(double seconds) {
  return static_cast<std::size_t>(std::lround(seconds * kSampleRate));
}

double time_of(std::size_t i) {
  return static_cast<double>(i) / kSampleRate;
}

// Dies away towards the end so the last samples are quiet even before the
// fade.
double tail(double t, double length, double power) {
  return std::pow(std::max(0.0, 1.0 - t / length), power);
}

}  // namespace

std::vector<std::int16_t> finish(std::vector<double> wave, double peak) {
  double loudest = 0.0;
  for (double v : wave) loudest = std::max(loudest, std::abs(v));
  const double gain = loudest > 0.0 ? peak / loudest : 0.0;
  const std::size_t fade = std::min(samples_for(kFadeSeconds), wave.size() / 2);
  std::vector<std::int16_t> out(wave.size());
  for (std::size_t i = 0; i < wave.size(); ++i) {
    double v = wave[i] * gain;
    // Raised-cosine fades that reach zero at the very first and last sample.
    const std::size_t from_end = wave.size() - 1 - i;
    const std::size_t edge = std::min(i, from_end);
    if (edge < fade) {
      v *= 0.5 - 0.5 * std::cos(std::numbers::pi * static_cast<double>(edge) / fade);
    }
    v = std::clamp(v, -1.0, 1.0);
    out[i] = static_cast<std::int16_t>(std::lround(v * 32767.0));
  }
  return out;
}

std::vector<std::int16_t> synthesize_ping() {
  // A bright blip: a tone that drops a little in pitch and dies fast, with
  // two overtones for sparkle.
  const double length = 0.11;
  std::vector<double> wave(samples_for(length));
  double phase = 0.0;
  for (std::size_t i = 0; i < wave.size(); ++i) {
    const double t = time_of(i);
    const double freq = 1760.0 + 420.0 * std::exp(-t / 0.012);
    phase += kTwoPi * freq / kSampleRate;
    const double tone = std::sin(phase) + 0.3 * std::sin(2 * phase) + 0.12 * std::sin(3 * phase);
    wave[i] = tone * std::exp(-t / 0.028) * tail(t, length, 1.0);
  }
  return finish(std::move(wave), 0.6);
}

std::vector<std::int16_t> synthesize_ding() {
  // A small bell: inharmonic partials of a struck bar, the higher ones dying
  // sooner, and a tick of noise for the strike.
  struct Partial {
    double ratio, amplitude, decay;
  };
  constexpr std::array<Partial, 5> kPartials{{{1.0, 1.0, 0.16},
                                              {2.756, 0.5, 0.08},
                                              {5.404, 0.25, 0.045},
                                              {8.933, 0.12, 0.025},
                                              {0.5, 0.18, 0.2}}};
  const double base = 1318.5;
  const double length = 0.45;
  NoiseSource noise(0x0D1D6u);
  std::vector<double> wave(samples_for(length));
  for (std::size_t i = 0; i < wave.size(); ++i) {
    const double t = time_of(i);
    double v = 0.0;
    for (const Partial& p : kPartials) {
      v += p.amplitude * std::exp(-t / p.decay) * std::sin(kTwoPi * base * p.ratio * t);
    }
    v += 0.25 * noise.next() * std::exp(-t / 0.003);
    wave[i] = v * tail(t, length, 1.5);
  }
  return finish(std::move(wave), 0.7);
}

std::vector<std::int16_t> synthesize_explosion() {
  // A bang and a long rumble: a sharp crack of bright noise, noise whose
  // brightness falls as it dies away, and a deep rolling rumble under it.
  const double length = 2.0;
  NoiseSource noise(0xB00Bu);
  LowPass body;
  LowPass rumble;
  LowPass rumble2;
  std::vector<double> wave(samples_for(length));
  for (std::size_t i = 0; i < wave.size(); ++i) {
    const double t = time_of(i);
    const double white = noise.next();
    const double attack = std::min(1.0, t / 0.004);
    const double crack = white * std::exp(-t / 0.03);
    const double cutoff = 250.0 + 3800.0 * std::exp(-t / 0.25);
    const double roar = body.run(white, cutoff) * std::exp(-t / 0.5) * 2.2;
    const double deep = rumble2.run(rumble.run(white, 90.0), 90.0);
    const double roll = 1.0 + 0.35 * std::sin(kTwoPi * 3.1 * t) * std::sin(kTwoPi * 0.7 * t);
    const double low =
        (deep * 14.0 + 0.12 * std::sin(kTwoPi * 46.0 * t)) * std::exp(-t / 0.75) * roll;
    wave[i] = attack * (0.55 * crack + roar + low) * tail(t, length, 1.2);
  }
  return finish(std::move(wave), 0.79);
}

std::vector<std::int16_t> synthesize_next() {
  // A steam whistle, short then long: a three-note chord with a little
  // vibrato, a scoop up in pitch as the steam comes and a breath of noise.
  struct Blast {
    double start, end;
  };
  constexpr std::array<Blast, 2> kBlasts{{{0.0, 0.24}, {0.34, 1.05}}};
  constexpr std::array<double, 3> kChord{554.37, 659.26, 880.0};
  const double length = 1.1;
  NoiseSource noise(0x7007u);
  LowPass breath;
  std::vector<double> wave(samples_for(length));
  std::array<double, 3> phases{};
  for (std::size_t i = 0; i < wave.size(); ++i) {
    const double t = time_of(i);
    double envelope = 0.0;
    double since = 0.0;
    for (const Blast& b : kBlasts) {
      if (t < b.start || t > b.end + 0.06) continue;
      since = t - b.start;
      const double rise = std::min(1.0, since / 0.025);
      const double fall = t <= b.end ? 1.0 : std::max(0.0, 1.0 - (t - b.end) / 0.06);
      envelope = rise * fall;
    }
    const double scoop = 1.0 - 0.05 * std::exp(-since / 0.05);
    const double vibrato = 1.0 + 0.004 * std::sin(kTwoPi * 5.5 * t);
    double v = 0.0;
    for (std::size_t k = 0; k < kChord.size(); ++k) {
      phases[k] += kTwoPi * kChord[k] * scoop * vibrato / kSampleRate;
      v += std::sin(phases[k]) + 0.25 * std::sin(2 * phases[k]) + 0.08 * std::sin(3 * phases[k]);
    }
    v += 1.2 * breath.run(noise.next(), 2500.0);
    wave[i] = v * envelope;
  }
  return finish(std::move(wave), 0.7);
}

std::vector<Sound> synthesize_sounds() {
  std::vector<Sound> out;
  for (const SoundLimits& limits : kSoundLimits) {
    using assets::sound_name;
    using assets::SoundId;
    if (limits.name == sound_name(SoundId::Ping)) out.push_back({limits.name, synthesize_ping()});
    if (limits.name == sound_name(SoundId::Explosion)) {
      out.push_back({limits.name, synthesize_explosion()});
    }
    if (limits.name == sound_name(SoundId::Ding)) out.push_back({limits.name, synthesize_ding()});
    if (limits.name == sound_name(SoundId::Next)) out.push_back({limits.name, synthesize_next()});
  }
  return out;
}

}  // namespace rt::make_sounds
