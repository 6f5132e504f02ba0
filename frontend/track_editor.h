// The editor "Strecke bauen": the field drawn with the game's pictures, the
// palette under it and the solver's verdict beside the palette, worked by
// keys, mouse and touch; the test drive, saving, the player's tracks and
// sharing.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "frontend/track_edit.h"
#include "game/game.h"
#include "levels/track_rating.h"
#include "platform/platform.h"

namespace rt {

class TrackEditor {
 public:
  // The field's cells are 40 pixels from the top-left corner; the palette's
  // pieces stand in a row under it, the text beside them.
  static constexpr int kPaletteTop = kRows * kCellSize;
  static constexpr int kTextColumn = 57;  // right of the palette
  static constexpr int kVerdictRow = 36;
  static constexpr int kMessageRow = 37;
  // The draft: the track as it was when the editor was last left.
  static constexpr const char* kDraftName = "Entwurf.dat";

  TrackEditor(Platform& platform, Game& game, TrackRater& rater);
  // Keeps the draft, however the editor is left.
  ~TrackEditor();
  TrackEditor(const TrackEditor&) = delete;
  TrackEditor& operator=(const TrackEditor&) = delete;

  // Opens the track in `file` and makes it the file Speichern writes; a file
  // that is not there yet is a new track to be saved there. A file that is
  // no track changes nothing: its reason (German) is returned.
  std::string open(const std::filesystem::path& file);
  // Starts from `level` (a shared track) at speed level `speed_level`.
  void start_from(const Level& level, int speed_level);
  // Starts from the draft kept last time, when there is one.
  void restore_draft();

  // The editor, until the player leaves it with Escape.
  void run();

  const TrackEdit& track() const { return edit_; }
  // The message row's text as last shown (UTF-8), for tests.
  const std::string& message() const { return message_; }
  // The verdict row's text as last shown (UTF-8), and whether it is current.
  const std::string& verdict_line() const { return verdict_line_; }
  bool verdict_current() const { return !asked_; }

 private:
  // One key-buffer code: false when it leaves the editor.
  bool on_key(const std::string& key);
  void on_pointer(const CanvasEvent& event);
  // Places the chosen piece; `stroke` joins it to the change begun by the
  // pointer's press.
  void place_at(int x, int y, bool stroke);

  void draw_all();
  void draw_field_cell(int x, int y);
  void draw_palette();
  void draw_changes(const Level& before);
  void draw_frame(int left, int top, Color color);
  void move_mark(int dx, int dy);
  void choose(int index);
  void show_message(const std::string& text);
  void show_speed();
  void describe();
  void forget_other_keys();

  // The verdict: asked anew after every change, shown as outdated until
  // the answer comes.
  void ask_verdict();
  void take_verdict();
  void show_verdict();

  void test_drive();
  void share();
  void save();
  void take_template();
  void my_tracks();
  void help();
  void keep_draft();

  Platform& p_;
  Game& game_;
  TrackRater& rater_;
  TrackEdit edit_;
  std::optional<std::filesystem::path> file_;  // where Speichern writes
  std::string message_;
  std::string verdict_line_;
  std::optional<TrackRating> last_rating_;
  bool asked_ = false;
  std::uint64_t question_ = 0;
  unsigned rated_version_ = ~0u;
  int rated_speed_ = 0;
  unsigned drafted_version_ = 0;
  double drafted_at_ = -1.0;
  bool stroke_ = false;  // the pointer is down on the field, painting
  int stroke_x_ = 0;
  int stroke_y_ = 0;
  int next_template_ = 1;
};

}  // namespace rt
