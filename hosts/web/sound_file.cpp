// Sound files of the page, read through the bounded reader.
#include "hosts/web/sound_file.h"

#include <cstdint>
#include <iostream>
#include <span>

#include "platform/os/bounded_read.h"

namespace rt {

std::optional<WavSound> read_sound_file(const std::filesystem::path& path) {
  const FileBytes file = read_bounded_file(path, kMaxSoundFileBytes);
  if (!file.ok()) {
    if (file.status != FileBytes::Status::Missing) {
      std::cerr << "rangiertrubel: Datei \"" << path.string() << "\" " << file.reason() << '\n';
    }
    return std::nullopt;
  }
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(file.bytes.data());
  std::optional<WavSound> sound = decode_wav(std::span(bytes, file.bytes.size()));
  if (!sound || sound->samples.empty()) {
    std::cerr << "rangiertrubel: Datei \"" << path.string() << "\" ist kein lesbarer Klang\n";
    return std::nullopt;
  }
  return sound;
}

}  // namespace rt
