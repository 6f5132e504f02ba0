// Sound files of the page, read through the bounded reader.
#include "hosts/web/sound_file.h"

#include <cstdint>
#include <span>

#include "platform/os/bounded_read.h"

namespace rt {

std::optional<WavSound> read_sound_file(const std::filesystem::path& path, std::string* problem) {
  const FileBytes file = read_bounded_file(path, kMaxSoundFileBytes);
  if (!file.ok()) {
    if (file.status != FileBytes::Status::Missing && problem != nullptr) *problem = file.reason();
    return std::nullopt;
  }
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(file.bytes.data());
  std::optional<WavSound> sound = decode_wav(std::span(bytes, file.bytes.size()));
  if (!sound || sound->samples.empty()) {
    if (problem != nullptr) *problem = "ist kein lesbarer Klang";
    return std::nullopt;
  }
  return sound;
}

}  // namespace rt
