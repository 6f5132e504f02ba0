// The editor's screen: drawing the field, the palette and the two text rows,
// reading keys and the pointer, and the editor's commands.
#include "frontend/track_editor.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>

#include "levels/track_code.h"
#include "levels/track_file.h"
#include "levels/track_rules.h"
#include "platform/formats/cp437.h"
#include "platform/keyboard.h"

namespace rt {

namespace {

constexpr Color kWhite = 0xFFFFFFFF;
constexpr Color kBlack = 0xFF000000;
constexpr Color kGrey = 0xFF808080;
constexpr Color kYellow = 0xFFFFFF55;
constexpr Color kMark = 0xFFFFFF00;
constexpr Color kChosen = 0xFFFF5555;
// To column 99: a character in column 100 of the last row would scroll.
constexpr int kTextWidth = 99 - TrackEditor::kTextColumn + 1;  // 43 characters
// The message row: the speed level first, then the message.
constexpr int kSpeedWidth = 9;
constexpr int kMessageColumn = TrackEditor::kTextColumn + kSpeedWidth;
constexpr int kMessageWidth = kTextWidth - kSpeedWidth;
constexpr const char* kHint = "F1 Hilfe  P Probefahrt  Esc Ende";
// The keys of the palette's pieces, in its order; F1 is scan code 59.
constexpr std::array<char, TrackEdit::kPalette.size()> kPieceKeys{'1', '2', '3', '4', '5', '6',
                                                                  '7', '8', '9', '0', 'L'};
constexpr int kScanF1 = 59;
constexpr int kScanPageUp = 73;
constexpr int kScanPageDown = 81;
constexpr int kCtrlY = 25;
constexpr int kCtrlZ = 26;
// While a verdict is awaited the editor looks for it this often.
constexpr int kVerdictPollMs = 30;
// A stroke of the mouse keeps the draft at most this often.
constexpr double kDraftPeriod = 1.0;

// A key-buffer code as inkey gives it: one byte, or byte 255 and the scan code.
std::string key_text(int code) {
  if (code <= keycode::kExtendedPrefix) return std::string(1, static_cast<char>(code));
  return std::string{static_cast<char>(keycode::kExtendedPrefix),
                     static_cast<char>((code >> 8) & 0xFF)};
}

std::string fitted(const std::string& utf8, int width) {
  std::string bytes = utf8_to_cp437(utf8);
  bytes.resize(static_cast<std::size_t>(width), ' ');
  return bytes;
}

int field_column(int x) {
  return x / kCellSize + 1;
}

}  // namespace

TrackEditor::TrackEditor(Platform& platform, Game& game, TrackRater& rater)
    : p_(platform), game_(game), rater_(rater) {}

TrackEditor::~TrackEditor() {
  try {
    keep_draft();
  } catch (...) {
    // Leaving must not fail because the draft could not be kept.
  }
}

std::string TrackEditor::open(const std::filesystem::path& file) {
  const FileBytes read = read_bounded_file(file, kMaxTextFileBytes);
  if (read.status == FileBytes::Status::Missing) {
    file_ = file;
    return "";
  }
  if (!read.ok()) return "Die Datei ist nicht lesbar: " + read.reason();
  const TrackFile track = read_track_file(read.bytes);
  if (!track.level) return track.refused;
  edit_.replace(*track.level);
  file_ = file;
  return "";
}

void TrackEditor::start_from(const Level& level, int speed_level) {
  edit_.replace(level);
  edit_.set_speed_level(speed_level);
}

void TrackEditor::restore_draft() {
  const FileBytes read = read_bounded_file(p_.tracks_folder() / kDraftName, kMaxTextFileBytes);
  if (!read.ok()) return;
  const TrackFile track = read_track_file(read.bytes);
  if (track.level) edit_.replace(*track.level);
  drafted_version_ = edit_.version();
}

void TrackEditor::run() {
  p_.host().editor_shown(true);
  draw_all();
  describe();
  for (;;) {
    // Keys and the pointer in the order the player used them.
    while (const std::optional<CanvasEvent> event = p_.take_canvas_event()) {
      if (event->kind != CanvasEvent::Kind::Key) {
        on_pointer(*event);
      } else if (!on_key(key_text(event->code))) {
        keep_draft();
        p_.host().editor_shown(false);
        return;
      }
    }
    if (edit_.version() != rated_version_ || edit_.speed_level() != rated_speed_) ask_verdict();
    take_verdict();
    if (!stroke_ || p_.timer_seconds() - drafted_at_ >= kDraftPeriod) keep_draft();
    forget_other_keys();
    if (p_.input_waiting()) continue;
    if (asked_) {
      p_.sleep_ms(kVerdictPollMs);
    } else {
      p_.wait_input();
    }
  }
}

bool TrackEditor::on_key(const std::string& key) {
  const auto byte = static_cast<unsigned char>(key[0]);
  if (key.size() == 2 && byte == keycode::kExtendedPrefix) {
    switch (static_cast<unsigned char>(key[1])) {
      case scan::kUp:
        move_mark(0, -1);
        break;
      case scan::kDown:
        move_mark(0, 1);
        break;
      case scan::kLeft:
        move_mark(-1, 0);
        break;
      case scan::kRight:
        move_mark(1, 0);
        break;
      case scan::kDelete:
        choose(static_cast<int>(TrackEdit::kPalette.size()) - 1);
        break;
      case kScanF1:
        help();
        break;
      case kScanPageUp:
        edit_.set_speed_level(edit_.speed_level() + 1);
        show_speed();
        break;
      case kScanPageDown:
        edit_.set_speed_level(edit_.speed_level() - 1);
        show_speed();
        break;
      default:
        break;
    }
    return true;
  }
  const char c = static_cast<char>(byte >= 'a' && byte <= 'z' ? byte - 'a' + 'A' : byte);
  for (std::size_t i = 0; i < kPieceKeys.size(); ++i) {
    if (c == kPieceKeys[i]) choose(static_cast<int>(i));
  }
  switch (byte) {
    case keycode::kEscape:
      return false;
    case keycode::kSpace:
    case keycode::kEnter:
      place_at(edit_.mark_x(), edit_.mark_y(), false);
      return true;
    case keycode::kTab:
      choose((edit_.chosen() + 1) % static_cast<int>(TrackEdit::kPalette.size()));
      return true;
    case kCtrlZ:
    case keycode::kBackspace: {
      const Level before = edit_.level();
      if (edit_.undo()) draw_changes(before);
      show_message(edit_.can_undo() ? "Rückgängig gemacht." : "Nichts mehr rückgängig zu machen.");
      return true;
    }
    case kCtrlY: {
      const Level before = edit_.level();
      const bool done = edit_.redo();
      if (done) draw_changes(before);
      show_message(done ? "Wiederholt." : "Nichts zu wiederholen.");
      return true;
    }
    case '+':
      edit_.set_speed_level(edit_.speed_level() + 1);
      show_speed();
      return true;
    case '-':
      edit_.set_speed_level(edit_.speed_level() - 1);
      show_speed();
      return true;
    case '?':
      help();
      return true;
    default:
      break;
  }
  switch (c) {
    case 'A':
      edit_.choose(edit_.level().board.get(edit_.mark_x(), edit_.mark_y()));
      draw_palette();
      break;
    case 'H':
      help();
      break;
    case 'M':
      my_tracks();
      break;
    case 'N': {
      const Level before = edit_.level();
      edit_.replace(TrackEdit::empty_field());
      draw_changes(before);
      show_message("Neues Feld.");
      break;
    }
    case 'P':
      test_drive();
      break;
    case 'S':
      save();
      break;
    case 'T':
      share();
      break;
    case 'V':
      take_template();
      break;
    default:
      break;
  }
  return true;
}

void TrackEditor::on_pointer(const CanvasEvent& event) {
  const bool on_field =
      event.y >= 0 && event.y < kPaletteTop && event.x >= 0 && event.x < kColumns * kCellSize;
  const int x = field_column(event.x);
  const int y = event.y / kCellSize + 1;
  switch (event.kind) {
    case CanvasEvent::Kind::Down:
      if (on_field && event.button == PointerButton::Secondary) {
        // The piece under the pointer becomes the chosen one.
        if (edit_.choose(edit_.level().board.get(x, y))) draw_palette();
      } else if (on_field) {
        place_at(x, y, false);
        stroke_ = true;
        stroke_x_ = x;
        stroke_y_ = y;
      } else if (event.y >= kPaletteTop &&
                 event.x < static_cast<int>(TrackEdit::kPalette.size()) * kCellSize) {
        choose(event.x / kCellSize);
      } else if (event.y >= kPaletteTop) {
        help();
      }
      break;
    case CanvasEvent::Kind::Move:
      // Every cell on the way, one step at a time along the longer way
      // left: a fast pointer jumps over cells between two of its moves.
      while (stroke_ && on_field && (x != stroke_x_ || y != stroke_y_)) {
        const int dx = x - stroke_x_;
        const int dy = y - stroke_y_;
        if (std::abs(dx) >= std::abs(dy)) {
          stroke_x_ += dx > 0 ? 1 : -1;
        } else {
          stroke_y_ += dy > 0 ? 1 : -1;
        }
        place_at(stroke_x_, stroke_y_, true);
      }
      break;
    case CanvasEvent::Kind::Up:
      stroke_ = false;
      break;
    case CanvasEvent::Kind::Key:
      break;
  }
}

void TrackEditor::place_at(int x, int y, bool stroke) {
  const Level before = edit_.level();
  const int old_x = edit_.mark_x();
  const int old_y = edit_.mark_y();
  edit_.set_mark(x, y);
  edit_.place(x, y, edit_.piece(), stroke);
  draw_field_cell(old_x, old_y);
  draw_changes(before);
}

// --- Drawing -----------------------------------------------------------------

void TrackEditor::draw_all() {
  p_.lock_screen();
  p_.set_text_color(kWhite, kBlack);
  p_.clear_screen();
  for (int x = 1; x <= kColumns; ++x) {
    for (int y = 1; y <= kRows; ++y) draw_field_cell(x, y);
  }
  draw_palette();
  show_speed();
  show_message(message_.empty() ? kHint : message_);
  p_.unlock_screen();
  show_verdict();
}

void TrackEditor::draw_field_cell(int x, int y) {
  const TileCode code = edit_.level().board.get(x, y);
  const float left = static_cast<float>((x - 1) * kCellSize);
  const float top = static_cast<float>((y - 1) * kCellSize);
  p_.fill_box(left, top, left + kCellSize - 1, top + kCellSize - 1, kBlack);
  game_.draw_piece(x, y, code);
  const bool mark = x == edit_.mark_x() && y == edit_.mark_y();
  // The locomotive starts on the top-left cell heading right; the piece
  // under it shows while the mark is there.
  if (x == 1 && y == 1 && !mark) {
    p_.put_image(left, top, game_.sprites.LockWage1);
  }
  if (mark) draw_frame(static_cast<int>(left), static_cast<int>(top), kMark);
}

void TrackEditor::draw_palette() {
  p_.lock_screen();
  p_.set_text_color(kWhite, kBlack);
  for (std::size_t i = 0; i < TrackEdit::kPalette.size(); ++i) {
    const auto left = static_cast<float>(static_cast<int>(i) * kCellSize);
    const auto top = static_cast<float>(kPaletteTop);
    p_.fill_box(left, top, left + kCellSize - 1, top + kCellSize - 1, kBlack);
    if (const Image* picture = game_.picture_for(TrackEdit::kPalette[i])) {
      p_.put_image(left, top, *picture);
    }
    // The piece's key in the picture's top left corner.
    p_.locate(kVerdictRow, static_cast<int>(i) * (kCellSize / 8) + 1);
    p_.print_text(std::string(1, kPieceKeys[i]));
    if (static_cast<int>(i) == edit_.chosen()) {
      draw_frame(static_cast<int>(left), kPaletteTop, kChosen);
    }
  }
  p_.unlock_screen();
}

void TrackEditor::draw_changes(const Level& before) {
  p_.lock_screen();
  for (int x = 1; x <= kColumns; ++x) {
    for (int y = 1; y <= kRows; ++y) {
      const bool mark = x == edit_.mark_x() && y == edit_.mark_y();
      if (mark || before.board.get(x, y) != edit_.level().board.get(x, y)) {
        draw_field_cell(x, y);
      }
    }
  }
  p_.unlock_screen();
}

void TrackEditor::draw_frame(int left, int top, Color color) {
  const auto l = static_cast<float>(left);
  const auto t = static_cast<float>(top);
  const auto r = static_cast<float>(left + kCellSize - 1);
  const auto b = static_cast<float>(top + kCellSize - 1);
  p_.fill_box(l, t, r, t + 1, color);
  p_.fill_box(l, b - 1, r, b, color);
  p_.fill_box(l, t, l + 1, b, color);
  p_.fill_box(r - 1, t, r, b, color);
}

void TrackEditor::move_mark(int dx, int dy) {
  const int old_x = edit_.mark_x();
  const int old_y = edit_.mark_y();
  edit_.move_mark(dx, dy);
  draw_field_cell(old_x, old_y);
  draw_field_cell(edit_.mark_x(), edit_.mark_y());
}

void TrackEditor::choose(int index) {
  if (index < 0 || index >= static_cast<int>(TrackEdit::kPalette.size())) return;
  edit_.choose(TrackEdit::kPalette[static_cast<std::size_t>(index)]);
  draw_palette();
}

void TrackEditor::show_message(const std::string& text) {
  message_ = text;
  p_.set_text_color(kWhite, kBlack);
  p_.locate(kMessageRow, kMessageColumn);
  p_.print_text(fitted(text, kMessageWidth));
}

void TrackEditor::show_speed() {
  p_.set_text_color(kWhite, kBlack);
  p_.locate(kMessageRow, kTextColumn);
  p_.print_text(fitted("Stufe " + std::to_string(edit_.speed_level()), kSpeedWidth));
}

void TrackEditor::forget_other_keys() {
  // Codes that reached the key buffer while another screen was shown (a
  // help page, a drive) are not the editor's; left there they would keep
  // every wait for input from waiting.
  while (!p_.inkey().empty()) {
  }
}

void TrackEditor::describe() {
  p_.set_pointer_screen(screen_of_kind(PointerScreen::Kind::Canvas));
}

// --- The verdict -------------------------------------------------------------

void TrackEditor::ask_verdict() {
  rated_version_ = edit_.version();
  rated_speed_ = edit_.speed_level();
  if (track_fault(edit_.level()) != TrackFault::None) {
    asked_ = false;
    last_rating_.reset();
  } else {
    question_ = rater_.ask(edit_.level(), interval_of_level(edit_.speed_level()));
    asked_ = true;
  }
  show_verdict();
}

void TrackEditor::take_verdict() {
  if (!asked_) return;
  if (const std::optional<TrackRating> rating = rater_.answer(question_)) {
    last_rating_ = rating;
    asked_ = false;
    show_verdict();
  }
}

void TrackEditor::show_verdict() {
  const TrackFault fault = track_fault(edit_.level());
  Color color = kWhite;
  if (fault != TrackFault::None) {
    verdict_line_ = track_fault_text(fault);
    color = kYellow;
  } else if (last_rating_) {
    verdict_line_ = "Strecke " + verdict_text(*last_rating_);
    if (asked_) color = kGrey;
  } else {
    verdict_line_ = "Strecke wird geprüft …";
    color = kGrey;
  }
  p_.set_text_color(color, kBlack);
  p_.locate(kVerdictRow, kTextColumn);
  p_.print_text(fitted(verdict_line_, kTextWidth));
  p_.set_text_color(kWhite, kBlack);
}

// --- Commands ----------------------------------------------------------------

void TrackEditor::test_drive() {
  const TrackFault fault = track_fault(edit_.level());
  if (fault != TrackFault::None) {
    show_message("Erst " +
                 std::string(fault == TrackFault::NoStation || fault == TrackFault::ManyStations
                                 ? "den Bahnhof"
                                 : "das Loch") +
                 " richtig setzen.");
    return;
  }
  keep_draft();
  p_.host().editor_shown(false);
  const bool won = game_.play_trial(edit_.level(), edit_.speed_level());
  p_.host().editor_shown(true);
  // Keys of the drive (the Escape that ended it) are not the editor's.
  while (!p_.inkey().empty()) {
  }
  message_ = won ? "Probefahrt gewonnen!" : "Probefahrt verloren.";
  draw_all();
  describe();
}

void TrackEditor::share() {
  const TrackFault fault = track_fault(edit_.level());
  if (fault != TrackFault::None) {
    show_message("Erst ohne Fehler teilen.");
    return;
  }
  const std::optional<std::string> code = encode_track(edit_.level(), edit_.speed_level());
  if (!code) {
    show_message("Diese Strecke lässt sich nicht teilen.");
    return;
  }
  show_message(p_.host().share_track(*code));
}

void TrackEditor::save() {
  std::filesystem::path file;
  if (file_) {
    file = *file_;
  } else {
    // The first free name of "Strecke01.dat" to "Strecke99.dat".
    const std::vector<std::string> names = p_.track_file_names();
    for (int n = 1; n <= 99 && file.empty(); ++n) {
      char name[32];
      std::snprintf(name, sizeof name, "Strecke%02d.dat", n);
      if (std::find(names.begin(), names.end(), name) == names.end()) {
        file = p_.tracks_folder() / name;
      }
    }
    if (file.empty()) {
      show_message("Nicht gespeichert: 99 Strecken da.");
      return;
    }
  }
  const std::string reason = p_.keep_players_file(file, level_file_text(edit_.level()));
  if (!reason.empty()) {
    // The reason in full goes where the host reports files; the row says it
    // short, in the player's words.
    p_.report_file_problem(file, "nicht gespeichert: " + reason);
    show_message("Nicht gespeichert (Speicher voll?)");
    return;
  }
  file_ = file;
  show_message("Gespeichert: " + file.filename().string());
}

void TrackEditor::take_template() {
  const int number = next_template_;
  next_template_ = number % kLevelCount + 1;
  const Level level = game_.level_of(number);
  // A level that is missing or damaged (its file read as empty cells) is
  // no track to start from.
  if (track_fault(level) != TrackFault::None) {
    show_message("Vorlage " + std::to_string(number) + " fehlt oder ist kaputt.");
    return;
  }
  const Level before = edit_.level();
  edit_.replace(level);
  edit_.set_speed_level(number);
  draw_changes(before);
  show_speed();
  show_message("Vorlage: Stufe " + std::to_string(number) + ".");
}

void TrackEditor::my_tracks() {
  std::vector<std::string> names = p_.track_file_names();
  std::erase(names, std::string(kDraftName));
  constexpr int kFirstRow = 5;
  constexpr int kMostShown = 28;
  if (names.size() > static_cast<std::size_t>(kMostShown)) names.resize(kMostShown);
  int chosen = 0;
  const auto draw = [&] {
    p_.lock_screen();
    p_.set_text_color(kWhite, kBlack);
    p_.clear_screen();
    p_.locate(2, 10);
    p_.print_text("MEINE STRECKEN");
    if (names.empty()) {
      p_.locate(kFirstRow, 10);
      p_.print_text(utf8_to_cp437("Noch keine Strecke gespeichert (S im Editor)."));
    }
    for (std::size_t i = 0; i < names.size(); ++i) {
      p_.locate(kFirstRow + static_cast<int>(i), 10);
      p_.set_text_color(static_cast<int>(i) == chosen ? kBlack : kWhite,
                        static_cast<int>(i) == chosen ? kWhite : kBlack);
      p_.print_text(fitted(names[i], 30));
    }
    p_.set_text_color(kWhite, kBlack);
    p_.locate(kMessageRow, 10);
    p_.print_text(utf8_to_cp437("Pfeile wählen, Enter öffnet, Esc zurück"));
    p_.unlock_screen();
  };
  draw();
  std::optional<int> open;
  for (bool done = false; !done;) {
    forget_other_keys();
    p_.wait_input();
    while (const std::optional<CanvasEvent> event = p_.take_canvas_event()) {
      if (done) continue;
      if (event->kind == CanvasEvent::Kind::Down) {
        const int row = event->y / 16 + 1 - kFirstRow;
        if (row >= 0 && row < static_cast<int>(names.size())) open = row;
        // A tap on a name opens it, anywhere else goes back.
        done = true;
      } else if (event->kind == CanvasEvent::Kind::Key) {
        const int code = event->code;
        const int count = static_cast<int>(names.size());
        if (code == keycode::kEscape) done = true;
        if (code == keycode::kEnter && count > 0) {
          open = chosen;
          done = true;
        }
        if (code == extended_code(scan::kUp) && chosen > 0) --chosen;
        if (code == extended_code(scan::kDown) && chosen + 1 < count) ++chosen;
        if (!done) draw();
      }
    }
  }
  message_ = kHint;
  if (open) {
    const std::string name = names[static_cast<std::size_t>(*open)];
    const std::string refused = this->open(p_.tracks_folder() / name);
    message_ = refused.empty() ? "Geöffnet: " + name : refused;
  }
  draw_all();
  describe();
}

void TrackEditor::help() {
  static constexpr std::array<const char*, 21> kLines{
      "STRECKE BAUEN",
      "",
      "Pfeile          Feld wählen",
      "Leertaste/Enter gewähltes Teil setzen",
      "1 bis 0, L      Teil wählen: Gras, Gleise, Kurven, Baum, Haus,",
      "                Bahnhof, L das Loch (auch Entf); Tab das nächste",
      "A               das Teil unter dem Feld wählen",
      "Strg+Z, Rück    rückgängig       Strg+Y  wiederholen",
      "+ -             Stufe (Tempo) der Prüfung und der Probefahrt",
      "P               Probefahrt       T       Teilen (Code und Link)",
      "S               Speichern        M       Meine Strecken",
      "N               neues Feld       V       Vorlage: die Stufen 1 bis 10",
      "Esc             Ende (die Strecke bleibt als Entwurf)",
      "",
      "Maus: Klick setzt, Ziehen malt, rechte Taste wählt das Teil darunter.",
      "Die Teile unten wählt ein Klick oder Tippen.",
      "",
      "Die Lok startet oben links nach rechts. Eine Strecke braucht genau",
      "ein Loch und einen Bahnhof. Rechts unten steht, was der Löser sagt:",
      "ob und mit wie vielen Zügen sie zu retten ist.",
      "Weiter mit einer beliebigen Taste."};
  p_.lock_screen();
  p_.set_text_color(kWhite, kBlack);
  p_.clear_screen();
  for (std::size_t i = 0; i < kLines.size(); ++i) {
    p_.locate(3 + static_cast<int>(i), 8);
    p_.print_text(utf8_to_cp437(kLines[i]));
  }
  p_.unlock_screen();
  p_.set_pointer_screen(screen_of_kind(PointerScreen::Kind::AnyKey));
  while (!p_.inkey().empty()) {
  }
  p_.wait_key();
  draw_all();
  describe();
}

void TrackEditor::keep_draft() {
  if (edit_.version() == drafted_version_) return;
  drafted_version_ = edit_.version();
  drafted_at_ = p_.timer_seconds();
  // A draft that cannot be kept costs nothing the player saved.
  p_.keep_players_file(p_.tracks_folder() / kDraftName, level_file_text(edit_.level()));
}

}  // namespace rt
