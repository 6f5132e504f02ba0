// The sound generator and the WAV files it writes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "platform/formats/wav.h"
#include "tools/make_sounds/sound_art.h"

namespace rt {
namespace {

void put32(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + static_cast<std::size_t>(i)] = (v >> (8 * i)) & 0xFF;
}

std::vector<std::uint8_t> chunk(const char* tag, std::vector<std::uint8_t> body) {
  std::vector<std::uint8_t> out(8 + body.size());
  std::copy(tag, tag + 4, out.begin());
  put32(out, 4, static_cast<std::uint32_t>(body.size()));
  std::copy(body.begin(), body.end(), out.begin() + 8);
  return out;
}

std::vector<std::uint8_t> riff(std::initializer_list<std::vector<std::uint8_t>> chunks) {
  std::vector<std::uint8_t> out{'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E'};
  for (const auto& c : chunks) out.insert(out.end(), c.begin(), c.end());
  put32(out, 4, static_cast<std::uint32_t>(out.size() - 8));
  return out;
}

// A "fmt " body: format tag, channels, rate, bits.
std::vector<std::uint8_t> fmt(int tag, int channels, std::uint32_t rate, int bits) {
  std::vector<std::uint8_t> b(16, 0);
  b[0] = static_cast<std::uint8_t>(tag);
  b[2] = static_cast<std::uint8_t>(channels);
  put32(b, 4, rate);
  put32(b, 8, rate * static_cast<std::uint32_t>(channels * bits / 8));
  b[12] = static_cast<std::uint8_t>(channels * bits / 8);
  b[14] = static_cast<std::uint8_t>(bits);
  return b;
}

// --- The WAV writer and reader --------------------------------------------

TEST(Wav, WrittenSamplesReadBackWithTheirFormat) {
  const std::vector<std::int16_t> samples{0, 1, -1, 32767, -32768, 1234, -4321};
  const auto bytes = encode_wav(samples, 22050);
  ASSERT_EQ(bytes.size(), 44u + 2 * samples.size());
  EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 4), "RIFF");
  EXPECT_EQ(std::string(bytes.begin() + 36, bytes.begin() + 40), "data");
  const auto sound = decode_wav(bytes);
  ASSERT_TRUE(sound.has_value());
  EXPECT_EQ(sound->sample_rate, 22050);
  EXPECT_EQ(sound->channels, 1);
  EXPECT_EQ(sound->samples, samples);
  EXPECT_DOUBLE_EQ(sound->seconds(), 7.0 / 22050);
}

TEST(Wav, WriterRefusesImpossibleRates) {
  const std::vector<std::int16_t> samples{1, 2};
  EXPECT_TRUE(encode_wav(samples, 0).empty());
  EXPECT_TRUE(encode_wav(samples, -22050).empty());
  EXPECT_TRUE(encode_wav(samples, 400000).empty());
  EXPECT_EQ(encode_wav({}, 8000).size(), 44u);  // an empty sound is still a file
}

TEST(Wav, ReaderSkipsOtherChunksIncludingOddPadding) {
  const auto bytes = riff({chunk("LIST", {1, 2, 3}),
                           {0},  // odd chunk and its pad byte
                           chunk("fmt ", fmt(1, 2, 44100, 16)),
                           chunk("fact", {0, 0, 0, 0}),
                           chunk("data", {1, 0, 2, 0, 3, 0, 4, 0})});
  const auto sound = decode_wav(bytes);
  ASSERT_TRUE(sound.has_value());
  EXPECT_EQ(sound->channels, 2);
  EXPECT_EQ(sound->sample_rate, 44100);
  EXPECT_EQ(sound->samples, (std::vector<std::int16_t>{1, 2, 3, 4}));
  EXPECT_DOUBLE_EQ(sound->seconds(), 2.0 / 44100);
}

TEST(Wav, ReaderRejectsOtherFormsAndBrokenFiles) {
  const auto data = chunk("data", {0, 0, 0, 0});
  EXPECT_FALSE(decode_wav(riff({chunk("fmt ", fmt(1, 1, 8000, 8)), data})));   // 8-bit
  EXPECT_FALSE(decode_wav(riff({chunk("fmt ", fmt(3, 1, 8000, 16)), data})));  // float tag
  EXPECT_FALSE(decode_wav(riff({chunk("fmt ", fmt(1, 0, 8000, 16)), data})));  // no channels
  EXPECT_FALSE(decode_wav(riff({chunk("fmt ", fmt(1, 1, 0, 16)), data})));     // rate 0
  EXPECT_FALSE(decode_wav(riff({data, chunk("fmt ", fmt(1, 1, 8000, 16))})));  // data first
  EXPECT_FALSE(decode_wav(riff({chunk("fmt ", fmt(1, 1, 8000, 16))})));        // no data
  EXPECT_FALSE(decode_wav(riff({chunk("fmt ", {1, 0, 1, 0})})));               // short fmt
  auto wrong = riff({chunk("fmt ", fmt(1, 1, 8000, 16)), data});
  wrong[8] = 'X';  // not WAVE
  EXPECT_FALSE(decode_wav(wrong));
  EXPECT_FALSE(decode_wav(std::vector<std::uint8_t>{}));
  EXPECT_FALSE(decode_wav(std::vector<std::uint8_t>{'R', 'I', 'F', 'F'}));
  // A chunk claiming more bytes than the file holds.
  auto lying = riff({chunk("fmt ", fmt(1, 1, 8000, 16))});
  put32(lying, 16, 0xFFFFFFF0u);
  EXPECT_FALSE(decode_wav(lying));
}

TEST(Wav, EveryCutOfAFileIsReadSafely) {
  const std::vector<std::int16_t> samples(50, 777);
  const auto bytes = encode_wav(samples, 8000);
  for (std::size_t n = 0; n <= bytes.size(); ++n) {
    const std::vector<std::uint8_t> cut(bytes.begin(), bytes.begin() + static_cast<long>(n));
    const auto sound = decode_wav(cut);
    if (n < 44) {
      EXPECT_FALSE(sound.has_value()) << n;
    } else {
      // A data chunk cut short is read as far as it goes, whole samples only.
      ASSERT_TRUE(sound.has_value()) << n;
      EXPECT_EQ(sound->samples.size(), (n - 44) / 2) << n;
    }
  }
}

// --- The game's sounds ----------------------------------------------------------

int peak_of(const std::vector<std::int16_t>& s) {
  int peak = 0;
  for (std::int16_t v : s) peak = std::max(peak, std::abs(static_cast<int>(v)));
  return peak;
}

double rms(const std::vector<std::int16_t>& s, std::size_t from, std::size_t to) {
  double sum = 0;
  for (std::size_t i = from; i < to; ++i) sum += static_cast<double>(s[i]) * s[i];
  return std::sqrt(sum / static_cast<double>(to - from));
}

TEST(GameSounds, EachFileHasTheFormatLengthAndLoudnessItNeeds) {
  const auto sounds = make_sounds::synthesize_sounds();
  ASSERT_EQ(sounds.size(), make_sounds::kSoundLimits.size());
  for (std::size_t i = 0; i < sounds.size(); ++i) {
    const auto& limits = make_sounds::kSoundLimits[i];
    ASSERT_EQ(sounds[i].name, limits.name);
    const auto sound = decode_wav(encode_wav(sounds[i].samples, make_sounds::kSampleRate));
    ASSERT_TRUE(sound.has_value()) << limits.name;
    EXPECT_EQ(sound->sample_rate, 22050) << limits.name;
    EXPECT_EQ(sound->channels, 1) << limits.name;
    EXPECT_GE(sound->seconds(), limits.min_seconds) << limits.name;
    EXPECT_LE(sound->seconds(), limits.max_seconds) << limits.name;
    const int peak = peak_of(sound->samples);
    EXPECT_LE(peak, static_cast<int>(make_sounds::kMaxPeak * 32767)) << limits.name;
    EXPECT_GE(peak, 32767 / 2) << limits.name << " is too quiet";
  }
  const std::vector<std::pair<std::string_view, double>> kLimits{
      {"ping", 0.15}, {"ding", 0.5}, {"Explosion", 2.2}, {"next", 1.5}};
  for (auto [name, limit] : kLimits) {
    for (const auto& s : sounds) {
      if (s.name == name) {
        EXPECT_LE(s.samples.size(), limit * 22050) << name;
      }
    }
  }
}

TEST(GameSounds, NoneStartsOrStopsWithAClick) {
  const std::size_t fade =
      static_cast<std::size_t>(make_sounds::kFadeSeconds * make_sounds::kSampleRate);
  for (const auto& s : make_sounds::synthesize_sounds()) {
    ASSERT_GT(s.samples.size(), 2 * fade);
    EXPECT_EQ(s.samples.front(), 0) << s.name;
    EXPECT_EQ(s.samples.back(), 0) << s.name;
    // Within the fades the level swells from silence and dies back to it:
    // every sample stays under the raised-cosine ramp up to the peak limit.
    for (std::size_t i = 0; i < fade; ++i) {
      const double ramp = 0.5 - 0.5 * std::cos(3.141592653589793 * static_cast<double>(i) / fade);
      const double bound = make_sounds::kMaxPeak * 32767 * ramp + 1;
      EXPECT_LE(std::abs(s.samples[i]), bound) << s.name << " at " << i;
      EXPECT_LE(std::abs(s.samples[s.samples.size() - 1 - i]), bound) << s.name << " at end " << i;
    }
    // In the first millisecond it is still nearly silent.
    for (std::size_t i = 0; i < 22; ++i) EXPECT_LE(std::abs(s.samples[i]), 3000) << s.name;
  }
}

TEST(GameSounds, SynthesisIsDeterministic) {
  const auto a = make_sounds::synthesize_sounds();
  const auto b = make_sounds::synthesize_sounds();
  for (std::size_t i = 0; i < a.size(); ++i) EXPECT_EQ(a[i].samples, b[i].samples) << a[i].name;
}

TEST(GameSounds, TheExplosionDiesAwayAndTheWhistleBlowsTwice) {
  const auto boom = make_sounds::synthesize_explosion();
  const std::size_t tenth = 2205;
  EXPECT_GT(rms(boom, 0, tenth), 8 * rms(boom, boom.size() - 2 * tenth, boom.size()));
  EXPECT_GT(rms(boom, 5 * tenth, 7 * tenth), 100.0) << "the rumble goes on for a while";

  // The whistle: loud at 0.1 s, quiet in the pause near 0.32 s, loud again.
  const auto whistle = make_sounds::synthesize_next();
  const double first = rms(whistle, 2000, 2500);
  const double pause = rms(whistle, 6900, 7300);
  const double second = rms(whistle, 12000, 12500);
  EXPECT_GT(first, 20 * pause);
  EXPECT_GT(second, 20 * pause);
}

TEST(GameSounds, FinishScalesToThePeakAndKeepsSilenceSilent) {
  EXPECT_EQ(make_sounds::finish(std::vector<double>(500, 0.0), 0.8),
            std::vector<std::int16_t>(500, 0));
  std::vector<double> wave(1000, 0.25);
  wave[500] = -2.0;
  const auto out = make_sounds::finish(wave, 0.5);
  EXPECT_EQ(out[500], static_cast<std::int16_t>(std::lround(-0.5 * 32767)));
  EXPECT_EQ(out[400], static_cast<std::int16_t>(std::lround(0.0625 * 32767)));
  EXPECT_EQ(out.front(), 0);
  EXPECT_EQ(out.back(), 0);
  EXPECT_TRUE(make_sounds::finish({}, 0.8).empty());
  EXPECT_EQ(make_sounds::finish({1.0}, 0.8).size(), 1u);
}

}  // namespace
}  // namespace rt
