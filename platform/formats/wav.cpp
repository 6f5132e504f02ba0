// Encoding and decoding WAV files of 16-bit PCM.
#include "platform/formats/wav.h"

#include <cstddef>
#include <cstring>
#include <limits>

namespace rt {
namespace {

void append16(std::vector<std::uint8_t>& out, std::uint32_t value) {
  out.push_back(static_cast<std::uint8_t>(value & 0xFF));
  out.push_back(static_cast<std::uint8_t>((value >> 8) & 0xFF));
}

void append32(std::vector<std::uint8_t>& out, std::uint32_t value) {
  append16(out, value & 0xFFFF);
  append16(out, value >> 16);
}

void append_tag(std::vector<std::uint8_t>& out, const char* tag) {
  out.insert(out.end(), tag, tag + 4);
}

std::uint32_t get16(std::span<const std::uint8_t> b, std::size_t at) {
  return static_cast<std::uint32_t>(b[at]) | (static_cast<std::uint32_t>(b[at + 1]) << 8);
}

std::uint32_t get32(std::span<const std::uint8_t> b, std::size_t at) {
  return get16(b, at) | (get16(b, at + 2) << 16);
}

bool tag_is(std::span<const std::uint8_t> b, std::size_t at, const char* tag) {
  return std::memcmp(b.data() + at, tag, 4) == 0;
}

constexpr int kMaxSampleRate = 384000;
constexpr std::uint32_t kMaxChannels = 8;

}  // namespace

std::vector<std::uint8_t> encode_wav(std::span<const std::int16_t> samples, int sample_rate) {
  if (sample_rate < 1 || sample_rate > kMaxSampleRate) return {};
  // The RIFF size field counts 36 header bytes plus the data.
  if (samples.size() > (std::numeric_limits<std::uint32_t>::max() - 36) / 2) return {};
  const auto data_size = static_cast<std::uint32_t>(samples.size() * 2);
  std::vector<std::uint8_t> out;
  out.reserve(44 + static_cast<std::size_t>(data_size));
  append_tag(out, "RIFF");
  append32(out, 36 + data_size);
  append_tag(out, "WAVE");
  append_tag(out, "fmt ");
  append32(out, 16);
  append16(out, 1);  // PCM
  append16(out, 1);  // mono
  append32(out, static_cast<std::uint32_t>(sample_rate));
  append32(out, static_cast<std::uint32_t>(sample_rate) * 2);  // bytes per second
  append16(out, 2);                                            // bytes per frame
  append16(out, 16);                                           // bits per sample
  append_tag(out, "data");
  append32(out, data_size);
  for (std::int16_t s : samples) append16(out, static_cast<std::uint16_t>(s));
  return out;
}

std::optional<WavSound> decode_wav(std::span<const std::uint8_t> bytes) {
  if (bytes.size() < 12 || !tag_is(bytes, 0, "RIFF") || !tag_is(bytes, 8, "WAVE")) return {};
  std::optional<WavSound> format;
  std::size_t at = 12;
  // Walk the chunks; each size is checked against what is left of the file
  // before anything inside the chunk is read.
  while (bytes.size() - at >= 8) {
    const std::size_t size = get32(bytes, at + 4);
    const std::size_t body = at + 8;
    const std::size_t left = bytes.size() - body;
    if (tag_is(bytes, at, "fmt ")) {
      if (size < 16 || size > left) return {};
      const std::uint32_t tag = get16(bytes, body);
      const std::uint32_t channels = get16(bytes, body + 2);
      const std::uint32_t rate = get32(bytes, body + 4);
      const std::uint32_t bits = get16(bytes, body + 14);
      if (tag != 1 || bits != 16 || channels < 1 || channels > kMaxChannels || rate < 1 ||
          rate > static_cast<std::uint32_t>(kMaxSampleRate)) {
        return {};
      }
      format = WavSound{static_cast<int>(rate), static_cast<int>(channels), {}};
    } else if (tag_is(bytes, at, "data")) {
      if (!format) return {};
      std::size_t count = (size < left ? size : left) / 2;
      count -= count % static_cast<std::size_t>(format->channels);
      format->samples.resize(count);
      for (std::size_t i = 0; i < count; ++i) {
        format->samples[i] = static_cast<std::int16_t>(get16(bytes, body + 2 * i));
      }
      return format;
    }
    if (size > left) return {};
    // Chunks are padded to an even length.
    const std::size_t next = size + (size & 1);
    if (next > left) break;
    at = body + next;
  }
  return {};
}

}  // namespace rt
