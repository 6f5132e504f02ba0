// A sound file of the page read and decoded for Web Audio; no browser is
// needed, so that it is tested natively.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "platform/formats/wav.h"

namespace rt {

// The sound at `path`, read through the bounded reader (a regular file of at
// most kMaxSoundFileBytes) and decoded; nothing when it is missing, too big,
// not a regular file, not a WAV the game reads or silent. For every failure
// but a missing file, `problem` (when given) says why, for the player.
std::optional<WavSound> read_sound_file(const std::filesystem::path& path,
                                        std::string* problem = nullptr);

}  // namespace rt
