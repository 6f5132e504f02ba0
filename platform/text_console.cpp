// The text grid: characters painted into the screen, the cursor, scrolling
// and numbers formatted by a mask.
#include "platform/text_console.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "platform/formats/vga_font.h"

namespace rt {

namespace {

constexpr int kCellWidth = 8;
constexpr int kCellHeight = 16;
// Pixel rows 0..591 hold the 37 text rows; the rows below are never touched.
constexpr int kTextAreaHeight = TextConsole::kRows * kCellHeight;
constexpr int kTabWidth = 8;

}  // namespace

void TextConsole::locate(int row, int column) {
  if (row < 1 || row > kRows || column < 1 || column > kColumns) return;
  row_ = row;
  column_ = column;
  held_line_end_ = false;
}

void TextConsole::home() {
  locate(1, 1);
}

void TextConsole::line_end() {
  scroll_if_needed();
  column_ = 1;
  if (row_ < kRows) {
    ++row_;
  } else {
    held_line_end_ = true;
  }
}

void TextConsole::scroll_up() {
  const auto row_pixels = static_cast<std::ptrdiff_t>(Screen::kWidth) * kCellHeight;
  Color* top = screen_.row(0);
  std::copy(top + row_pixels, top + static_cast<std::ptrdiff_t>(Screen::kWidth) * kTextAreaHeight,
            top);
  for (int y = kTextAreaHeight - kCellHeight; y < kTextAreaHeight; ++y) {
    std::fill(screen_.row(y), screen_.row(y) + Screen::kWidth, screen_.background);
  }
  screen_.mark_rows(0, kTextAreaHeight - 1);
}

void TextConsole::scroll_if_needed() {
  if (!held_line_end_) return;
  held_line_end_ = false;
  scroll_up();
}

void TextConsole::advance() {
  if (column_ < kColumns) {
    ++column_;
    return;
  }
  column_ = 1;
  if (row_ < kRows) {
    ++row_;
  } else {
    scroll_up();
  }
}

void TextConsole::put_byte(unsigned char ch) {
  switch (ch) {
    case 8:
      column_ = std::max(column_ - 1, 1);
      return;
    case 9:
      scroll_if_needed();
      do {
        paint_cell(row_, column_, ' ');
        advance();
      } while ((column_ - 1) % kTabWidth != 0);
      return;
    case 10:
      line_end();
      return;
    case 13:
      column_ = 1;
      return;
    default:
      scroll_if_needed();
      paint_cell(row_, column_, ch);
      advance();
      return;
  }
}

void TextConsole::paint_cell(int row, int column, unsigned char ch) {
  if (row < 1 || row > kRows || column < 1 || column > kColumns) return;
  const int left = (column - 1) * kCellWidth;
  const int top = (row - 1) * kCellHeight;
  const auto& glyph = kVgaFont[ch];
  for (int y = 0; y < kCellHeight; ++y) {
    Color* out = screen_.row(top + y) + left;
    const unsigned bits = glyph[static_cast<std::size_t>(y)];
    for (int x = 0; x < kCellWidth; ++x) {
      out[x] = (bits & (0x80u >> x)) != 0 ? screen_.foreground : screen_.background;
    }
  }
  screen_.mark_rows(top, top + kCellHeight - 1);
}

void TextConsole::paint_underline(int row, int column) {
  if (row < 1 || row > kRows || column < 1 || column > kColumns) return;
  const int y = (row - 1) * kCellHeight + kCellHeight - 1;
  Color* out = screen_.row(y) + (column - 1) * kCellWidth;
  std::fill(out, out + kCellWidth, screen_.foreground);
  screen_.mark_rows(y, y);
}

std::string format_using(std::string_view mask, double value) {
  const auto width = static_cast<std::size_t>(std::count(mask.begin(), mask.end(), '#'));
  // Whole numbers only: round first, halves away from zero. A value that is
  // not a number prints as 0.
  double rounded = std::isfinite(value) ? std::round(value) : 0.0;
  // -0.4 rounds to -0.0, which prints as a plain 0.
  const bool negative = rounded < 0;
  rounded = std::fabs(rounded);
  // Exact decimal digits of the rounded value, however large (at most 309).
  // (printf's fixed notation gives them exactly; it is used rather than the
  // floating-point to_chars, which not every C++ library has.)
  char buffer[400];
  const int length = std::snprintf(buffer, sizeof buffer, "%.0f", rounded);
  const std::string digits(buffer, static_cast<std::size_t>(std::clamp(length, 0, 399)));

  const std::size_t positions = negative ? (width == 0 ? 0 : width - 1) : width;
  std::string out;
  if (digits.size() <= positions) {
    out.assign(positions - digits.size(), ' ');
    if (negative) out += '-';
    out += digits;
    return out;
  }
  // Too many digits: the leading ones that fit, then how many were cut.
  if (negative) out += '-';
  out += digits.substr(0, positions);
  out += "%e+";
  out += std::to_string(digits.size() - positions);
  return out;
}

}  // namespace rt
