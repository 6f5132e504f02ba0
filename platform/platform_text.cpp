// The text services of the Platform: colours, cursor, printing and the line
// input of the name entry. Printing holds the lock for the whole call; the
// line input lets go of it while it waits for keys.

#include <algorithm>
#include <cstddef>
#include <mutex>
#include <string>

#include "platform/platform.h"

namespace rt {

namespace {

constexpr int kKeyCheckMs = 25;
constexpr int kTabWidth = 8;
constexpr std::ptrdiff_t kRowCells = TextConsole::kColumns;
constexpr std::size_t kRowChars = TextConsole::kColumns;
constexpr std::ptrdiff_t kGridCells = TextConsole::kColumns * TextConsole::kRows;

// The typed text of the line input and where it stands in the text grid.
// Cell i of the text lies `start + i` cells from the grid's top-left cell,
// counted row by row; scrolling moves the start up one row.
class LineEditor {
 public:
  LineEditor(TextConsole& text, std::ptrdiff_t start) : text_(text), start_(start) {}

  const std::string& typed() const { return typed_; }
  std::size_t point() const { return point_; }

  // The grid cell of text position i as (row, column); a row below 1 has
  // scrolled out of sight and is not painted.
  void cell(std::size_t i, int& row, int& column) const {
    const std::ptrdiff_t at = start_ + static_cast<std::ptrdiff_t>(i);
    const std::ptrdiff_t r = at >= 0 ? at / kRowCells : (at - kRowCells + 1) / kRowCells;
    row = static_cast<int>(r + 1);
    column = static_cast<int>(at - r * kRowCells + 1);
  }

  void show_point() {
    int row = 0;
    int column = 0;
    cell(point_, row, column);
    text_.paint_underline(row, column);
  }
  // Repaints the cell under the insertion point, removing the underline.
  void hide_point() { repaint(point_, point_ + 1); }

  void insert(std::size_t count, char ch) {
    typed_.insert(point_, count, ch);
    point_ += count;
    keep_in_sight();
    repaint(point_ - count, typed_.size());
  }
  // Removes `count` characters at `from`; the vacated cells at the end are
  // painted blank.
  void erase(std::size_t from, std::size_t count) {
    const std::size_t old_size = typed_.size();
    typed_.erase(from, count);
    repaint(from, old_size);
  }
  void backspace() {
    if (point_ == 0) return;
    --point_;
    erase(point_, 1);
  }
  // False at the end of the text, where there is nothing to delete.
  bool delete_at_point() {
    if (point_ >= typed_.size()) return false;
    erase(point_, 1);
    return true;
  }
  void clear() {
    point_ = 0;
    erase(0, typed_.size());
  }
  void move_to(std::size_t point) { point_ = std::min(point, typed_.size()); }

 private:
  // The cell behind the text must be on the grid; text reaching below row 37
  // scrolls the screen like printed text.
  void keep_in_sight() {
    while (start_ + static_cast<std::ptrdiff_t>(typed_.size()) >= kGridCells) {
      text_.scroll_up();
      start_ -= kRowCells;
    }
  }
  // Paints text positions [from, to): characters, or blanks past the end.
  void repaint(std::size_t from, std::size_t to) {
    for (std::size_t i = from; i < to; ++i) {
      int row = 0;
      int column = 0;
      cell(i, row, column);
      const auto ch = i < typed_.size() ? static_cast<unsigned char>(typed_[i]) : ' ';
      text_.paint_cell(row, column, static_cast<unsigned char>(ch));
    }
  }

  TextConsole& text_;
  std::ptrdiff_t start_;
  std::string typed_;
  std::size_t point_ = 0;
};

}  // namespace

void Platform::set_text_color(Color foreground, Color background) {
  std::lock_guard guard(mutex_);
  screen_.foreground = foreground;
  screen_.background = background;
}

void Platform::locate(int row, int column) {
  std::lock_guard guard(mutex_);
  text_.locate(row, column);
}

void Platform::print_text(std::string_view text) {
  std::lock_guard guard(mutex_);
  text_.write(text, [this] { host_.beep(); });
  text_.line_end();
}

void Platform::print_using(std::string_view mask, double value) {
  std::lock_guard guard(mutex_);
  text_.write(format_using(mask, value));
  text_.line_end();
}

void Platform::input_line(std::string_view prompt, std::size_t max_length) {
  std::unique_lock guard(mutex_);
  // Taps mean nothing while the line is typed; a keyboard on the screen is
  // shown meanwhile, however the line input ends.
  set_pointer_screen(screen_of_kind(PointerScreen::Kind::TextEntry));
  host_.text_input(true, max_length);
  struct TypingEnd {
    Platform& platform;
    ~TypingEnd() {
      platform.host().text_input(false, 0);
      platform.set_pointer_screen(PointerScreen{});
    }
  } typing_end{*this};
  text_.write(prompt, [this] { host_.beep(); });
  text_.write("? ");
  // "? " leaves no line end held back, so the cursor is the first text cell.
  LineEditor line(text_,
                  static_cast<std::ptrdiff_t>(text_.row() - 1) * kRowCells + (text_.column() - 1));
  for (;;) {
    line.show_point();
    int code = keyboard_.pop();
    while (code == 0) {
      guard.unlock();
      host_.pause_ms(kKeyCheckMs);
      end_if_close_requested();
      guard.lock();
      code = keyboard_.pop();
    }
    line.hide_point();

    if (code == keycode::kEnter || code == keycode::kLineFeed) break;
    const std::size_t point = line.point();
    if (code >= keycode::kSpace && code <= keycode::kExtendedPrefix) {
      if (line.typed().size() < max_length) line.insert(1, static_cast<char>(code));
    } else if (code == keycode::kBackspace) {
      line.backspace();
    } else if (code == keycode::kTab) {
      const std::size_t blanks = kTabWidth - point % kTabWidth;
      if (line.typed().size() + blanks <= max_length) line.insert(blanks, ' ');
    } else if (code == keycode::kEscape) {
      line.clear();
    } else if (code == extended_code(scan::kDelete)) {
      if (!line.delete_at_point()) host_.beep();
    } else if (code == extended_code(scan::kLeft)) {
      if (point > 0) line.move_to(point - 1);
    } else if (code == extended_code(scan::kRight)) {
      line.move_to(point + 1);
    } else if (code == extended_code(scan::kHome)) {
      line.move_to(0);
    } else if (code == extended_code(scan::kEnd)) {
      line.move_to(line.typed().size());
    } else if (code == extended_code(scan::kUp)) {
      if (point >= kRowChars) line.move_to(point - kRowChars);
    } else if (code == extended_code(scan::kDown)) {
      if (point + kRowChars <= line.typed().size()) line.move_to(point + kRowChars);
    }
    // Any other key is ignored.
  }

  int row = 0;
  int column = 0;
  line.cell(line.typed().size(), row, column);
  text_.locate(row, column);
  text_.line_end();
  files_.read_typed_line(line.typed());
}

}  // namespace rt
