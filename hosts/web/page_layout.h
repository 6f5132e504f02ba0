// Where the browser page shows the 800 x 600 screen, and how sharply: pure
// arithmetic, so that it is tested without a browser.
#pragma once

namespace rt {

// The screen at 4:3, as large as the page allows, centred. The canvas holds
// the screen enlarged by a whole factor with every game pixel an exact square
// of canvas pixels; the browser then takes the canvas to its size on the
// page with linear filtering. So every game pixel ends up equally wide, with
// soft edges only where a pixel meets its neighbour (the "sharp" look of the
// desktop). When the page size is itself a whole multiple of the screen, the
// canvas is shown pixel for pixel and no filtering is wanted.
struct PageLayout {
  // The canvas's own size in canvas pixels: the screen times `factor`.
  int factor = 1;
  int canvas_width = 0;
  int canvas_height = 0;
  // Where the canvas lies on the page and how large, in CSS pixels.
  double left = 0;
  double top = 0;
  double width = 0;
  double height = 0;
  // The canvas is shown at exactly its own size in device pixels: the
  // browser should not filter it ("pixelated"); otherwise linear filtering.
  bool exact = false;

  // The layout for a page of `page_width` x `page_height` CSS pixels on a
  // display with `device_pixel_ratio` device pixels per CSS pixel. Sizes that
  // are negative, not numbers or absurdly large count as 0 or the largest
  // sensible size; a ratio that is not a positive number counts as 1.
  static PageLayout fit(double page_width, double page_height, double device_pixel_ratio);
};

}  // namespace rt
