// The desktop host on SDL2; only its own files include SDL.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/beep.h"
#include "platform/key_translation.h"

namespace rt {

class Platform;

// Runs `game` with a Platform on the SDL2 host: the window, its refresh and
// the keyboard on the calling (main) thread, the game on a thread of its own.
// Returns the exit status the game gave to end_program (0 when it returned).
// `title` names the window when it is not full screen.
int run_on_sdl(const std::string& title, const std::filesystem::path& root,
               const std::function<void(Platform&)>& game);

// --- Pieces of the SDL host that hold no SDL types ---------------------------

// The desktop's sound output: one voice; a newly started sound replaces the
// one playing. Loaded WAV files are kept by path. Without an audio device
// every sound is skipped silently.
class SdlAudio {
 public:
  static constexpr int kRate = 44100;
  static constexpr int kChannels = 2;

  // Starts SDL's audio (kept up while the object lives) and opens the
  // default output device.
  SdlAudio();
  ~SdlAudio();
  SdlAudio(const SdlAudio&) = delete;
  SdlAudio& operator=(const SdlAudio&) = delete;

  bool is_open() const;
  // Starts a WAV file; a missing or unreadable file plays nothing (and stops
  // nothing). A file that is there but cannot be played (not a regular file,
  // too big, not a WAV) is reported once and not read again.
  void play_file(const std::string& path);
  void play_beep();
  // Frames of the current sound still to be played (0 when silent).
  std::size_t frames_left() const;
  // How many files are kept loaded.
  std::size_t cached_files() const;
  // How many files failed and are not read again.
  std::size_t failed_files() const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace rt
