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

namespace rt {

class Platform;

// Runs `game` with a Platform on the SDL2 host: the window, its refresh and
// the keyboard on the calling (main) thread, the game on a thread of its own.
// Returns the exit status the game gave to end_program (0 when it returned).
// `title` names the window when it is not full screen.
// `icon` names the window's icon, a square BMP picture of `icon_size` pixels
// in the game's own path form (for example "Sprites\\Symbol.bmp"); a window
// without one keeps the window system's default.
struct WindowIcon {
  std::string path;
  int size = 0;
};
int run_on_sdl(const std::string& title, const std::filesystem::path& root,
               const std::function<void(Platform&)>& game, const WindowIcon& icon = {});

// --- Pieces of the SDL host that hold no SDL types ---------------------------

// What a key event means to the platform: a held state set or cleared, or a
// code for the key buffer.
struct KeyAction {
  enum class Kind { Down, Up, Code };
  Kind kind = Kind::Code;
  int value = 0;  // a scan code for Down and Up, a buffer code for Code
  friend bool operator==(const KeyAction&, const KeyAction&) = default;
};

// The PC set-1 scan code of a physical key given as its USB usage number
// (SDL numbers its scancodes this way), or 0 for a key the PC set lacks.
int set1_scan_code(int usb_usage);

// The key-buffer code a key-down event adds by itself: the keycode:: codes of
// Enter, Escape, Backspace and Tab, and the extended code for keys without a
// character (arrows, Home, End, Insert, Delete, Page Up, Page Down, function
// keys; the keypad's movement keys while Num Lock is off). 0 for keys whose
// character arrives as typed text, and for keys that add nothing (Shift,
// Ctrl, ...).
int key_down_code(int usb_usage, bool num_lock);

// Turns the window system's keyboard events into key actions. Remembers which
// physical keys are held, so that a scan code shared by two keys (the arrow
// and the keypad's 8) stays held until both are up.
class KeyTranslator {
 public:
  static constexpr int kUsbUsages = 512;

  // A key went down. The window system's auto-repeat of a held key comes
  // here again: the state stays held and the key's code is added again.
  void key_down(int usb_usage, bool num_lock, std::vector<KeyAction>& out);
  void key_up(int usb_usage, std::vector<KeyAction>& out);
  // Typed text in UTF-8: each character with a code page 437 byte of 32 or
  // more (DEL excepted) enters the key buffer as that byte.
  void text(std::string_view utf8, std::vector<KeyAction>& out);
  // The window's close button or the system's quit request.
  void close_request(std::vector<KeyAction>& out);
  // The window lost the keyboard: every held key counts as released.
  void release_all(std::vector<KeyAction>& out);

 private:
  bool scan_held(int scan_code) const;
  std::array<bool, kUsbUsages> held_{};
};

// The 1000 Hz, 250 ms tone with short fades, as interleaved signed 16-bit
// samples at `rate` frames per second on `channels` channels.
std::vector<std::int16_t> make_beep(int rate, int channels);

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
