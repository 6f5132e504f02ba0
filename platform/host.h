// The host interface: what a desktop, a test or any other world must provide
// for the platform services, and what it must promise.
#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <limits>
#include <string>

namespace rt {

class Platform;

// What differs between the desktop and a test: the outside world as the
// services see it. The hosts under hosts/ implement it; the defaults of
// pause_until, wait_for_key and report are defined in host.cpp.
//
// The clock is the game's clock: while the player is away (the window has
// lost the keyboard or is minimised) a host may stop it, and every pause then
// lasts longer by the time away. A host that receives a request to close the
// program calls Platform::host_close_request(); the platform ends the program
// with status 0 after the pause or key wait it is in, so every pause of a
// host must return soon after that call.
// A wait for a key with no deadline.
inline constexpr double kNoDeadline = std::numeric_limits<double>::infinity();

class Host {
 public:
  virtual ~Host() = default;

  // Called once by the Platform's constructor. The host may then feed key
  // events into the platform (host_key_* calls) and read its screen.
  virtual void attach(Platform& platform) = 0;
  // The display is wanted (set_screen_mode). `title` names the window.
  virtual void open_display(const std::string& title) = 0;
  // Seconds since program start, from a monotonic clock.
  virtual double clock_seconds() = 0;
  // Gives the processor away for `ms` milliseconds (0 or more).
  virtual void pause_ms(int ms) = 0;
  // Gives the processor away until clock_seconds() reads `seconds` or more;
  // returns at once when it already does. The default looks at the clock
  // every millisecond; a host that can sleep until a given moment should.
  virtual void pause_until(double seconds);
  // Gives the processor away until `arrived()` holds, and then on to the next
  // whole multiple of `poll_seconds` after the call: the moment a poll every
  // `poll_seconds` would have noticed the key. `arrived` reads the platform
  // under its lock; the host asks it again whenever it has handed the
  // platform a key (host_key_* calls) and whenever the platform's close
  // request is set, and then returns at once. Unless a key came before, it
  // returns `within_seconds` after the call (kNoDeadline: never). The
  // default polls every `poll_seconds` in pauses of that length.
  virtual void wait_for_key(double poll_seconds, const std::function<bool()>& arrived,
                            double within_seconds);
  // Starts a WAV file by host path without waiting; a new sound replaces the
  // one playing; a missing or unreadable file plays nothing.
  virtual void play_sound(const std::string& path) = 0;
  // The 1000 Hz, 250 ms tone of the line input, not waited for.
  virtual void beep() = 0;
  // A file under the root was replaced, written or deleted. A host whose
  // files live in memory and are kept elsewhere (the browser's storage)
  // stores them before returning; the others need do nothing. Returns why
  // they could not be kept (storage full, cleared or refused), empty when
  // they were.
  virtual std::string files_changed() { return {}; }
  // The list of best scores is about to be merged with what is kept: a host
  // whose files are kept elsewhere, where another copy of the game may have
  // changed them (another tab of the page), reads `file` in anew first.
  virtual void read_kept_file(const std::filesystem::path& file) { (void)file; }
  // Places the mouse pointer on the screen, hides or shows it over the game,
  // confines it or not.
  virtual void set_mouse(int x, int y, bool visible, bool confine) = 0;
  // The game asks for a typed line of at most `max_length` characters
  // (true) or is done with it (false): a host whose keyboard is on the
  // screen (a phone, a tablet, a Steam Deck) shows it meanwhile. The typed
  // text arrives as key-buffer codes.
  virtual void text_input(bool wanted, std::size_t max_length) {
    (void)wanted;
    (void)max_length;
  }
  // The player shares a track: `code` is its track code. The host hands it
  // on where the player can pass it to a friend (the clipboard, the page's
  // link, standard output) and returns what the editor tells the player
  // (German, at most 44 characters).
  virtual std::string share_track(const std::string& code);
  // The editor is shown (true) or left (false): a host with buttons of its
  // own beside the picture shows the editor's then.
  virtual void editor_shown(bool shown) { (void)shown; }
  // One line for the player about a file that failed, without a line end:
  // the desktop writes it to standard error.
  virtual void report(const std::string& line);
};

}  // namespace rt
