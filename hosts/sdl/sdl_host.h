// The desktop host on SDL2; only its own files include SDL.
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/beep.h"

namespace rt {

class Platform;

// How the desktop shows the game.
struct SdlOptions {
  // Full screen or a window; unset: full screen unless the environment
  // variable RANGIERTRUBEL_WINDOWED is 1.
  std::optional<bool> fullscreen;
  // Whole factors only (nearest pixel, wider black bars) instead of the
  // even "sharp bilinear" scaling to the largest 4:3 size that fits.
  bool integer_scale = false;
  // The window's icon: a square BMP picture of `icon_size` pixels, named in
  // the game's own path form (for example "Sprites\\Symbol.bmp"); without
  // one the window keeps the window system's default.
  std::string icon_path;
  int icon_size = 0;
};

// The one line on standard error when no display can be had.
extern const char* const kNoDisplayMessage;

// Runs `game` with a Platform on the SDL2 host: the window, its refresh, the
// keyboard and game controllers on the calling (main) thread, the game on a
// thread of its own. Returns the exit status the game gave to end_program
// (0 when it returned, or when the player closed the window or the program
// got SIGINT or SIGTERM), or 1 at once when there is no display.
// `title` names the window when it is not full screen. While the window has
// lost the keyboard or is minimised, the game's clock stands still and the
// window shows the picture dimmed with "PAUSE".
int run_on_sdl(const std::string& title, const std::filesystem::path& root,
               const std::function<void(Platform&)>& game, const SdlOptions& options = {});

// The desktop's sound output: one voice; a newly started sound replaces the
// one playing. Loaded WAV files are kept by path. Without an audio device
// every sound is skipped silently.
class SdlAudio {
 public:
  static constexpr int kRate = 44100;
  static constexpr int kChannels = 2;

  // Starts SDL's audio (kept up while the object lives) and opens the
  // default output device. A silent device is closed after `linger`.
  explicit SdlAudio(std::chrono::milliseconds linger = std::chrono::milliseconds(300));
  ~SdlAudio();
  SdlAudio(const SdlAudio&) = delete;
  SdlAudio& operator=(const SdlAudio&) = delete;

  // Whether sound can be played (a device could be opened).
  bool is_open() const;
  // Starts a WAV file; a missing or unreadable file plays nothing (and stops
  // nothing). A file that is there but cannot be played (not a regular file,
  // too big, not a WAV) is reported once and not read again.
  // A file that is there but cannot be played gives its reason in
  // `problem` (when given), the first time only.
  void play_file(const std::string& path, std::string* problem = nullptr);
  void play_beep();
  // Closes the device once no sound has played for a while, so that its
  // thread stops waking to feed silence; the next sound opens it again.
  // Called now and then from the main thread.
  void close_when_silent();
  // Whether the device is open right now.
  bool device_open() const;
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
