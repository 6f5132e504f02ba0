// The page's placement and scaling of the screen.

#include "hosts/web/page_layout.h"

#include <algorithm>
#include <cmath>

#include "hosts/windowed/picture_scaler.h"
#include "platform/screen.h"

namespace rt {

namespace {

// Larger pages than this (in device pixels) are treated as this large: a
// canvas beyond it would cost hundreds of megabytes for nothing visible.
constexpr double kLargestSide = 16384.0;
// The canvas is never enlarged more than this.
constexpr int kLargestFactor = 8;

double sane_size(double value) {
  if (!std::isfinite(value) || value <= 0) return 0;
  return std::min(value, kLargestSide);
}

}  // namespace

PageLayout PageLayout::fit(double page_width, double page_height, double device_pixel_ratio) {
  const double ratio =
      std::isfinite(device_pixel_ratio) && device_pixel_ratio > 0 ? device_pixel_ratio : 1.0;
  // Whole device pixels of the page.
  const auto device_w = static_cast<int>(std::floor(sane_size(page_width * ratio)));
  const auto device_h = static_cast<int>(std::floor(sane_size(page_height * ratio)));

  // The largest 4:3 rectangle of whole device pixels that fits, placed as
  // the desktop places it in a window.
  const PictureLayout picture = PictureLayout::fit(device_w, device_h, false);
  const long long w = picture.width;
  const long long h = picture.height;

  PageLayout l;
  // The whole factor at or just above the shown size: nearest-neighbour
  // enlargement there, linear reduction to the shown size.
  const long long factor = (w + Screen::kWidth - 1) / Screen::kWidth;
  l.factor = static_cast<int>(std::clamp<long long>(factor, 1, kLargestFactor));
  l.canvas_width = Screen::kWidth * l.factor;
  l.canvas_height = Screen::kHeight * l.factor;
  l.exact = w == l.canvas_width && h == l.canvas_height;
  l.width = static_cast<double>(w) / ratio;
  l.height = static_cast<double>(h) / ratio;
  l.left = static_cast<double>(picture.left) / ratio;
  l.top = static_cast<double>(picture.top) / ratio;
  return l;
}

}  // namespace rt
