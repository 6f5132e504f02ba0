// WAV sound files: the form the generator writes and the hosts read.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace rt {

// A sound as 16-bit PCM samples; with several channels the samples are
// interleaved.
struct WavSound {
  int sample_rate = 0;
  int channels = 0;
  std::vector<std::int16_t> samples;

  // Length in seconds (0 for an empty or malformed sound).
  double seconds() const {
    if (sample_rate <= 0 || channels <= 0) return 0.0;
    return static_cast<double>(samples.size() / static_cast<std::size_t>(channels)) / sample_rate;
  }
};

// Encodes mono 16-bit PCM samples as a RIFF WAVE file ("fmt " and "data"
// chunks). Returns an empty vector when the sample rate is not in
// 1..384000 or the data would not fit the format's 32-bit sizes.
std::vector<std::uint8_t> encode_wav(std::span<const std::int16_t> samples, int sample_rate);

// Reads a RIFF WAVE file holding 16-bit PCM (format 1) with 1..8 channels.
// Chunks other than "fmt " and "data" are skipped. Nothing is read outside
// `bytes`: a truncated or malformed file, another sample format, or a
// missing chunk gives no result. A data chunk cut short by the end of the
// file is read as far as it goes.
std::optional<WavSound> decode_wav(std::span<const std::uint8_t> bytes);

}  // namespace rt
