#pragma once

// The few services that differ between the operating systems the game runs
// on. Each world has its own file: os_posix.cpp (Linux and other POSIX
// systems) and os_windows.cpp; nothing else in the game knows which one it
// runs on.
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace rt::os {

// The running program's own file, with its folder; nothing when the system
// cannot say.
std::optional<std::filesystem::path> program_file();

// Replaces the file at `target` with `bytes` so that it afterwards holds
// either the old or the complete new contents: a temporary file beside it,
// flushed to disk, then moved over it. false on any failure; the old file is
// kept and the temporary file removed.
bool replace_file(const std::filesystem::path& target, std::string_view bytes);

}  // namespace rt::os
