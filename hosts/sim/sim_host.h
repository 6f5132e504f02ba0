// The deterministic host the tests and tools run the game on.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "platform/host.h"

namespace rt {

// Thrown by the simulated host when its run is over (the virtual clock passed
// the limit, or a scheduled action asked to stop). Not caught by the game.
struct SimStop {
  double time = 0.0;
};

// The deterministic host for tests and tools. Time is virtual: it starts at
// 0.0, advances by the pauses the program makes and by 10 microseconds at
// every clock reading. Key events and other actions are scheduled at virtual
// times and happen as soon as the clock reaches them; within a pause they
// happen in order, at their own times. Sounds are recorded. No threads; the
// same schedule gives the same run.
//
// While the player is away (between blur and focus) the game's clock stands
// still: any pause or clock reading of the program waits, in virtual time,
// for the player's return, and the game's clock afterwards reads the virtual
// time less the time away.
class SimHost : public Host {
 public:
  static constexpr double kClockReadStep = 10e-6;
  static constexpr double kRepeatDelay = 0.5;
  static constexpr double kRepeatPeriod = 0.05;

  struct Sound {
    double time;
    std::string name;  // file name without folders, e.g. "ping.wav"; "beep" for the tone
  };

  SimHost() = default;

  // Host
  void attach(Platform& platform) override;
  void open_display(const std::string& title) override;
  double clock_seconds() override;
  void pause_ms(int ms) override;
  void pause_until(double seconds) override;
  void wait_for_key(double poll_seconds, const std::function<bool()>& arrived,
                    double within_seconds) override;
  void play_sound(const std::string& path) override;
  void beep() override;
  void set_mouse(int x, int y, bool visible, bool confine) override;
  void report(const std::string& line) override;
  std::string share_track(const std::string& code) override;

  // The virtual time now, without advancing it.
  double now() const { return now_; }
  // The virtual seconds spent away so far.
  double time_away() const;

  // Key events at a virtual time. A press holds the key's state and puts
  // `code` into the key buffer (0: nothing enters the buffer); while held the
  // code repeats 0.5 s after the press and then every 0.05 s. A release ends
  // the hold. A typed code enters the buffer without touching key states.
  void press(double time, int scan_code, int code);
  void release(double time, int scan_code);
  void type_code(double time, int code);
  // Any other action at a virtual time (runs with the platform attached).
  void at(double time, std::function<void()> action);
  // The window loses the keyboard at a virtual time: every held key is
  // released and the game's clock stands still until `focus`.
  void blur(double time);
  void focus(double time);
  // The player asks to close the program at a virtual time.
  void close_request(double time);
  bool away() const { return away_; }
  // The run stops with SimStop when the clock passes this time.
  void set_time_limit(double seconds) { limit_ = seconds; }

  // Called at every sound with its time and name (besides being recorded).
  std::function<void(const Sound&)> on_sound;
  const std::vector<Sound>& sounds() const { return sounds_; }
  // Lines the program reported about files, in order; each also goes to
  // on_report when it is set.
  std::function<void(const std::string&)> on_report;
  const std::vector<std::string>& reports() const { return reports_; }

  // The track codes the player shared, in order.
  const std::vector<std::string>& shared_tracks() const { return shared_; }

  bool display_open() const { return display_open_; }
  const std::string& display_title() const { return display_title_; }
  bool mouse_visible() const { return mouse_visible_; }
  int mouse_x() const { return mouse_x_; }
  int mouse_y() const { return mouse_y_; }

 private:
  struct Event {
    enum class Kind { Press, Release, Code, Repeat, Action } kind;
    int scan_code = 0;
    int code = 0;
    std::uint64_t hold = 0;   // which press a repeat belongs to
    double press_time = 0.0;  // a repeat: when its key went down
    int repeat = 0;           // a repeat: 0 for the first, then 1, 2, ...
    std::function<void()> action;
  };

  // Time moves in whole clock-read steps, so that `now_` is always the
  // nearest double to a round number of steps and never drifts.
  // Moves the game's clock on by `steps`, delivering the events on the way
  // at their own times, and waiting out any time away.
  void advance(std::int64_t steps);
  void deliver_due();
  // The first step at or after `time`.
  static std::int64_t step_at(double time);
  void set_steps(std::int64_t steps);
  // Time away with nothing left to bring the player back: the run is over.
  [[noreturn]] void stop_at_limit();
  void schedule(double time, Event event);
  void repeat_later(const Event& repeat);

  Platform* platform_ = nullptr;
  std::int64_t steps_ = 0;       // virtual time in clock-read steps
  std::int64_t away_steps_ = 0;  // of which the player was away
  bool away_ = false;
  double now_ = 0.0;
  double limit_ = 1e300;
  // Events by (time, sequence number): ties run in the order scheduled.
  std::multimap<std::pair<double, std::uint64_t>, Event> events_;
  std::uint64_t sequence_ = 0;
  std::map<int, std::uint64_t> held_;  // scan code -> hold id of its press
  std::vector<Sound> sounds_;
  std::vector<std::string> reports_;
  std::vector<std::string> shared_;
  bool display_open_ = false;
  std::string display_title_;
  bool mouse_visible_ = true;
  int mouse_x_ = 0;
  int mouse_y_ = 0;
};

// How a run on the simulated host ended: `body` returned, the program ended
// through end_program with `status`, or the host stopped it (SimStop).
struct SimEnd {
  enum class How { Returned, Ended, Stopped };
  How how = How::Returned;
  int status = 0;
  double time = 0.0;  // the virtual clock when it ended
};

// Runs `body` on `host` and catches the two ways a run ends; any other
// exception passes through.
SimEnd run_until_end(const SimHost& host, const std::function<void()>& body);

}  // namespace rt
