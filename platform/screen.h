// The 800 x 600 screen the game draws on and the host shows.
#pragma once

#include <array>
#include <cstddef>
#include <memory>

#include "platform/formats/color.h"
#include "platform/formats/image.h"

namespace rt {

// The 800 x 600 frame buffer with its two pages. Page 0 is drawn on and shown;
// page 1 exists but is never used. Every drawing call marks the pixel rows it
// touched so that the refresh copies only what changed. Not thread-safe by
// itself: the Platform guards it with its lock.
class Screen {
 public:
  static constexpr int kWidth = 800;
  static constexpr int kHeight = 600;

  Screen();
  Screen(const Screen& other);
  Screen& operator=(const Screen& other);

  // Drawing colours, used by clear_screen and the text output.
  Color foreground = 0xFFFFFFFF;
  Color background = 0xFF000000;

  // Sets every pixel of both pages to `c` and marks the whole screen.
  void fill_all_pages(Color c);
  // Fills page 0 with `c` and marks the whole screen.
  void fill(Color c);

  // Opaque copy of `image` with its top-left corner at (x, y), the float
  // corner rounded half away from zero, clipped to the screen.
  void put_image(float x, float y, const Image& image);
  // Fills the box between the corners, both included, in either order.
  void fill_box(float x1, float y1, float x2, float y2, Color c);
  // The stored value, or 0xFFFFFFFF outside the screen.
  Color read_pixel(int x, int y) const;

  const Color* row(int y) const { return &page0_[static_cast<std::size_t>(y) * kWidth]; }
  Color* row(int y) { return &page0_[static_cast<std::size_t>(y) * kWidth]; }

  // Changed-row set.
  void mark_rows(int first, int last);
  // Gives the span of changed rows and clears the set; false when none changed.
  bool take_changed_rows(int& first, int& last);

 private:
  // Page 0's pixels, in a block of whole huge pages (see os::advise_huge_pages).
  struct FreePixels {
    void operator()(Color* pixels) const;
  };
  std::unique_ptr<Color[], FreePixels> page0_;
  // The second page is only ever cleared, never drawn on or shown: its one
  // colour stands for all its pixels (and spares every run 1.9 MB).
  Color page1_ = 0xFF000000;
  std::array<bool, kHeight> changed_{};
};

// Rounds a float coordinate to the nearest integer, halves away from zero.
int round_half_away(float v);

}  // namespace rt
