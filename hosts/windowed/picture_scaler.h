// The picture's place and size in a window, its even scaling, and the
// paused picture a host shows while the player is away.
#pragma once

#include <cstddef>
#include <vector>

#include "platform/formats/color.h"

namespace rt {

// Where the 800 x 600 picture lies in a window of a given size: centred, the
// rest black. Either as large as fits with its 4:3 shape kept, or (whole
// factors only) the largest whole multiple that fits, with wider bars; a
// window smaller than the picture gets the picture shrunk to fit.
struct PictureLayout {
  int window_w = 0;
  int window_h = 0;
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  bool whole_factor = false;  // drawn by nearest pixel at a whole factor

  static PictureLayout fit(int window_w, int window_h, bool whole_factors_only);
  bool empty() const { return width <= 0 || height <= 0; }
  bool contains(int x, int y) const {
    return x >= left && x < left + width && y >= top && y < top + height;
  }
  // The picture pixel under window position (x, y): 0..799 and 0..599 on
  // the picture, beyond that range off it (to the left and above negative).
  // (-1, -1) while the layout is empty.
  void to_picture(int x, int y, int& picture_x, int& picture_y) const;
  friend bool operator==(const PictureLayout&, const PictureLayout&) = default;
};

// Scales the picture to its layout so that every game pixel looks alike:
// scaled up by nearest pixel to the next whole factor at or above the wanted
// size, then down to the wanted size with linear filtering ("sharp
// bilinear"). Inside a game pixel the colour stays pure; only the one screen
// column or row where two game pixels meet is a blend. At a whole factor this
// is plain nearest-pixel scaling. Rows are drawn on their own, so that only
// the rows showing changed screen rows need drawing.
class PictureScaler {
 public:
  // One axis: for each target position the source pixel and the weight
  // (0..256) of the pixel after it.
  struct Tap {
    int source = 0;
    int weight = 0;
  };
  static std::vector<Tap> axis(int source_size, int target_size);

  void set_layout(const PictureLayout& layout);
  const PictureLayout& layout() const { return layout_; }

  // The picture rows [begin, end) (counted from the picture's top) whose
  // colours come from screen rows first..last.
  void rows_showing(int first, int last, int& begin, int& end) const;

  // Draws picture rows [begin, end) from `screen` (800 x 600, row after row)
  // to `target`, the picture's top-left pixel, `pitch` pixels from one row
  // to the next. Every pixel written gets `opaque` or-ed in.
  void draw(const Color* screen, int begin, int end, Color* target, std::ptrdiff_t pitch,
            Color opaque) const;

 private:
  // The source row `row` scaled sideways, kept for the next rows.
  const Color* scaled_row(const Color* screen, int row) const;

  PictureLayout layout_;
  std::vector<Tap> columns_;
  std::vector<Tap> rows_;
  mutable std::vector<Color> cache_[2];
  mutable int cached_row_[2] = {-1, -1};
};

// What a host shows while the player is away: the 800 x 600 `screen` dimmed
// to a third, with "PAUSE" in large letters in the middle. The game's own
// screen stays as it is.
void draw_paused_picture(const Color* screen, Color* out);

}  // namespace rt
