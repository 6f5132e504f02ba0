// The text grid drawn into the screen with the VGA font.
#pragma once

#include <string>
#include <string_view>

#include "platform/screen.h"

namespace rt {

// The 100 x 37 character grid drawn into the screen with the VGA font.
// Rows and columns are 1-based. Not thread-safe by itself.
class TextConsole {
 public:
  static constexpr int kColumns = 100;
  static constexpr int kRows = 37;

  explicit TextConsole(Screen& screen) : screen_(screen) {}

  int row() const { return row_; }
  int column() const { return column_; }
  // Moves the cursor; a position outside the grid is ignored.
  void locate(int row, int column);
  // Back to row 1, column 1 (clear_screen).
  void home();
  // Paints the bytes at the cursor, control bytes acting as on a terminal.
  // `beep` is called for byte 7.
  template <typename Beep>
  void write(std::string_view bytes, Beep&& beep) {
    for (char ch : bytes) {
      if (static_cast<unsigned char>(ch) == 7) {
        beep();
      } else {
        put_byte(static_cast<unsigned char>(ch));
      }
    }
  }
  void write(std::string_view bytes) {
    write(bytes, [] {});
  }
  // Carriage return and line feed, held back below row 37.
  void line_end();
  // Moves the text area (pixel rows 0..591) up one text row and clears the
  // new bottom row to the background colour.
  void scroll_up();
  // Paints one glyph opaquely at a cell (no cursor movement, no control codes).
  void paint_cell(int row, int column, unsigned char ch);
  // Draws the 1-pixel insertion underline across the cell's bottom row.
  void paint_underline(int row, int column);

 private:
  void put_byte(unsigned char ch);
  // Lets a held-back line end happen before something is painted.
  void scroll_if_needed();
  // One column on, continuing at column 1 of the next row after column 100.
  void advance();

  Screen& screen_;
  int row_ = 1;
  int column_ = 1;
  bool held_line_end_ = false;
};

// The text print_using produces for a mask of '#' characters (no line end).
std::string format_using(std::string_view mask, double value);

}  // namespace rt
