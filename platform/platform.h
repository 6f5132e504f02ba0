// The display, input and file services the game stands on, over a Host.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "platform/formats/color.h"
#include "platform/formats/field_reader.h"
#include "platform/formats/image.h"
#include "platform/formats/score_file.h"
#include "platform/host.h"
#include "platform/keyboard.h"
#include "platform/numbered_files.h"
#include "platform/os/bounded_read.h"
#include "platform/pointer_input.h"
#include "platform/rnd.h"
#include "platform/screen.h"
#include "platform/text_console.h"

namespace rt {

class Platform;

// Thrown by end_program and caught where the game starts, so that the game
// unwinds cleanly and the host can restore the desktop and exit with `status`.
struct ProgramEnd {
  int status = 0;
};

// Runs `game` on `platform` and turns the way it ended into an exit status:
// 0 when it returned, the status of end_program, 1 with a line on standard
// error when it failed with an exception. Every host starts the game
// through it.
int run_to_exit_status(const std::function<void(Platform&)>& game, Platform& platform);

// How a save of the list of best scores went.
struct SaveResult {
  bool ok = false;
  std::filesystem::path file;  // the file that was (to be) written
  std::string reason;          // why it failed, for the player ("" when ok)
};

// The display, input and file services the game stands on: the screen and
// images, the text grid, the keyboard, the clock, random numbers and text
// files. One object per run; one recursive lock guards the screen, the key
// states and the key buffer, as the refresh reads them from another thread.
class Platform {
 public:
  // `root` is the run's working directory: game paths such as "Data\High.dat"
  // are taken relative to it.
  explicit Platform(Host& host, std::filesystem::path root = ".");
  // Releases a screen lock the game still held when it was unwound.
  ~Platform();
  Platform(const Platform&) = delete;
  Platform& operator=(const Platform&) = delete;

  // --- Screen, images and drawing -------------------------------------
  // Clears both pages to 0xFF000000, resets the text cursor and colours, and
  // asks the host for its display titled `title`.
  void set_screen_mode(const std::string& title = "rangiertrubel");
  Image create_image(int width, int height, Color fill = 0) const;
  // 0 ok, 2 file not found, 3 bad or unsupported file (image unchanged).
  int load_bmp(std::string_view path, Image& image);
  void put_image(float x, float y, const Image& image);
  void fill_box(float x1, float y1, float x2, float y2, Color color);
  Color read_pixel(int x, int y);
  // Fills the screen with the background colour, text cursor to (1, 1).
  void clear_screen();
  void lock_screen();
  // Negative rows mean the first and the last row of the screen.
  void unlock_screen(int first_row = -1, int last_row = -1);

  // --- Text output -----------------------------------------------------
  void set_text_color(Color foreground, Color background);
  void locate(int row, int column);
  // Prints the bytes and a line end.
  void print_text(std::string_view text);
  // Prints `value` through a mask of '#' characters, then a line end.
  void print_using(std::string_view mask, double value);
  // Prints the prompt and "? ", lets the player type a line with editing,
  // ends the line, and makes the typed text the source of the next field read.
  // The line holds at most `max_length` characters: keys that would make it
  // longer are ignored, like keys the line input does not take.
  void input_line(std::string_view prompt, std::size_t max_length = kUnlimitedLine);
  static constexpr std::size_t kUnlimitedLine = static_cast<std::size_t>(-1);

  // --- Keyboard, timing and randomness -----------------------------------
  bool key_down(int scan_code);
  // "" when the buffer is empty; one byte; or byte 255 and the scan code.
  std::string inkey();
  int wait_key();
  // Waits until a code is in the key buffer or an event for a Canvas screen
  // waits, without taking either.
  void wait_input();
  // True when a code or a Canvas screen's event waits.
  bool input_waiting();
  // A Canvas screen's next event, a key's code or the pointer's (see
  // PointerScreen::Kind::Canvas).
  std::optional<CanvasEvent> take_canvas_event();
  void sleep_ms(int ms);
  // Gives the processor away until timer_seconds() reads `seconds` or more.
  void sleep_until(double seconds);
  double timer_seconds();
  double rnd();
  void set_mouse(int x, int y, int visible, int confine);
  // What the screen shows, for the pointer: the layers above describe each
  // screen as it changes.
  void set_pointer_screen(const PointerScreen& screen);
  [[noreturn]] void end_program(int status);

  // --- Sequential text files (NumberedFiles) --------------------------------
  int open_file(std::string_view path, FileMode mode, int file_number);
  int close_file(int file_number);
  void begin_read(int file_number);
  std::int32_t read_int_field();
  std::string read_string_field();

  // --- The list of best scores ----------------------------------------------
  // Where it is read and saved; by default `Data/High.dat` under the root.
  void set_score_file(ScoreFile file) { score_file_ = std::move(file); }
  const ScoreFile& score_file() const { return score_file_; }
  // The bytes of the list to read at start ("" when there is none; a file
  // that is not a regular file or too big counts as none and is reported).
  std::string read_score_file();
  // Saves the list so that copies of the game running at once keep each
  // other's entries: under an exclusive lock on the folder that holds the
  // list, `merge` gets the list as it is on disk now and returns what to
  // write, which then replaces the list atomically.
  SaveResult update_score_file(const std::function<std::string(std::string_view)>& merge);

  // --- The player's tracks ---------------------------------------------------
  // The folder that keeps them: "Strecken" beside the saved list of scores,
  // so that the page keeps them in the browser's storage with the list.
  std::filesystem::path tracks_folder() const;
  // Keeps `bytes` as the player's file `file`: its folder made when missing,
  // the file replaced atomically and stored by the host. "" when kept,
  // otherwise why not (for the player).
  std::string keep_players_file(const std::filesystem::path& file, std::string_view bytes);
  // The names of the ".dat" files in the tracks folder, sorted.
  std::vector<std::string> track_file_names() const;

  // Reports a file the game could not use, once per file and run.
  void report_file_problem(const std::filesystem::path& file, std::string_view reason);

  // --- Sound ---------------------------------------------------------------
  // Starts a WAV file by game path (see Host::play_sound).
  void play_sound(std::string_view path);

  // --- For hosts and tests ---------------------------------------------
  void host_key_down(int scan_code);
  void host_key_up(int scan_code);
  // A code enters the key buffer (a Canvas screen's events, when one is shown).
  void host_key_code(int code);
  // How many more codes the key buffer takes before it drops its oldest.
  int key_buffer_room();
  // The player left (the window lost the keyboard): key presses no poll has
  // seen yet are forgotten, as the held keys are released.
  void host_forget_key_presses();
  // The primary pointer (mouse, touch or pen) in picture pixels, after the
  // host's placement of the picture, and the touch buttons beside it: turned
  // into key presses by what the screen shows (see PointerInput).
  void host_pointer_down(int x, int y, PointerButton button = PointerButton::Primary);
  void host_pointer_move(int x, int y);
  void host_pointer_up(int x, int y);
  void host_pointer_button(TouchButton which);
  // The player asked to close the program (the window's close button, the
  // window manager, a signal): the pause or key wait the game is in, or the
  // next one, ends the program with status 0. Any thread.
  void host_close_request();
  bool close_requested() const { return close_requested_.load(); }
  std::recursive_mutex& lock() { return mutex_; }
  // Whether the game holds the screen (between lock_screen and the matching
  // unlock_screen): a host whose refresh runs on the game's own thread shows
  // nothing meanwhile, as the others wait for the lock.
  bool screen_locked() const { return lock_count_ > 0; }
  Screen& screen() { return screen_; }
  TextConsole& text() { return text_; }
  Host& host() { return host_; }
  // A game path ("Data\lev01.dat") as a path of this machine under the root.
  std::filesystem::path host_path(std::string_view game_path) const;
  const std::filesystem::path& root() const { return root_; }

 private:
  // Gives up every level of lock_screen still in force, so that the lock is
  // free once the game has been unwound.
  void release_screen_lock();
  // Ends the program with status 0 once a close request has come; called
  // after every pause.
  void end_if_close_requested();
  // Puts the code of a press the pointer started into the key buffer.
  void push_pointer_code(int code);

  Host& host_;
  std::filesystem::path root_;
  std::recursive_mutex mutex_;
  int lock_count_ = 0;
  std::atomic<bool> close_requested_{false};
  Screen screen_;
  TextConsole text_{screen_};
  Keyboard keyboard_;
  PointerInput pointer_;
  Rnd rnd_;
  NumberedFiles files_;  // the game only ever uses number 1
  ScoreFile score_file_;
  std::set<std::string> reported_files_;
};

}  // namespace rt
