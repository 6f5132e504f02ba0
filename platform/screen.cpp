// The frame buffer's drawing: images, boxes and pixels, clipped to the
// screen, with the changed rows marked for the host.
#include "platform/screen.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <new>
#include <utility>

#include "platform/os/os.h"

namespace rt {

namespace {

constexpr std::size_t kPagePixels = static_cast<std::size_t>(Screen::kWidth) * Screen::kHeight;
constexpr std::size_t kPageBytes = (kPagePixels * sizeof(Color) + os::kHugePageBytes - 1) /
                                   os::kHugePageBytes * os::kHugePageBytes;

// An image whose pixel array does not match its size is drawn as nothing
// rather than read past its end.
bool drawable(const Image& image) {
  return image.width > 0 && image.height > 0 &&
         image.pixels.size() ==
             static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height);
}

// Copies `rows` rows of `width` pixels from rows `stride` pixels apart onto
// the screen's rows.
template <std::size_t Width>
void copy_fixed_rows(const Color* src, std::size_t stride, Color* dst, std::int64_t rows) {
  for (; rows > 0; --rows, src += stride, dst += Screen::kWidth) {
    std::memcpy(dst, src, Width * sizeof(Color));
  }
}

template <std::size_t... Eighths>
bool copy_short_rows(const Color* src, std::size_t stride, Color* dst, std::int64_t width,
                     std::int64_t rows, std::index_sequence<Eighths...> /*unused*/) {
  return ((width == static_cast<std::int64_t>(8 * (Eighths + 1))
               ? (copy_fixed_rows<8 * (Eighths + 1)>(src, stride, dst, rows), true)
               : false) ||
          ...);
}

// The rows of cells and sprites are short: for widths of 8, 16, ... 64
// pixels a copy of known size, which the compiler turns into a few plain
// moves, beats a call into the library's general copy for every row.
void copy_rows(const Color* src, std::size_t stride, Color* dst, std::int64_t width,
               std::int64_t rows) {
  if (copy_short_rows(src, stride, dst, width, rows, std::make_index_sequence<8>{})) return;
  for (; rows > 0; --rows, src += stride, dst += Screen::kWidth) std::copy(src, src + width, dst);
}

}  // namespace

int round_half_away(float v) {
  if (std::isnan(v)) return 0;
  // std::round on the exact double value rounds halves away from zero; the
  // result is held to the int range so that far-off corners stay far off.
  const double r = std::round(static_cast<double>(v));
  if (r <= static_cast<double>(std::numeric_limits<int>::min())) {
    return std::numeric_limits<int>::min();
  }
  if (r >= static_cast<double>(std::numeric_limits<int>::max())) {
    return std::numeric_limits<int>::max();
  }
  return static_cast<int>(r);
}

void Screen::FreePixels::operator()(Color* pixels) const {
  ::operator delete (pixels, std::align_val_t{os::kHugePageBytes});
}

Screen::Screen()
    : page0_(
          static_cast<Color*>(::operator new (kPageBytes, std::align_val_t{os::kHugePageBytes}))) {
  os::advise_huge_pages(page0_.get(), kPageBytes);
  std::fill_n(page0_.get(), kPagePixels, 0xFF000000);
}

Screen::Screen(const Screen& other) : Screen() {
  *this = other;
}

Screen& Screen::operator=(const Screen& other) {
  if (this == &other) return *this;
  foreground = other.foreground;
  background = other.background;
  std::copy_n(other.page0_.get(), kPagePixels, page0_.get());
  page1_ = other.page1_;
  changed_ = other.changed_;
  return *this;
}

void Screen::fill_all_pages(Color c) {
  std::fill_n(page0_.get(), kPagePixels, c);
  page1_ = c;
  mark_rows(0, kHeight - 1);
}

void Screen::fill(Color c) {
  std::fill_n(page0_.get(), kPagePixels, c);
  mark_rows(0, kHeight - 1);
}

void Screen::put_image(float x, float y, const Image& image) {
  if (!drawable(image)) return;
  // Wide arithmetic: a corner near the int limits plus the image size must
  // not overflow.
  const std::int64_t left = round_half_away(x);
  const std::int64_t top = round_half_away(y);
  const std::int64_t x0 = std::max<std::int64_t>(left, 0);
  const std::int64_t y0 = std::max<std::int64_t>(top, 0);
  const std::int64_t x1 = std::min<std::int64_t>(left + image.width, kWidth);
  const std::int64_t y1 = std::min<std::int64_t>(top + image.height, kHeight);
  if (x0 >= x1 || y0 >= y1) return;
  // One block copy per row, walking both rows by pointer: the level intro
  // draws thousands of cells, and this loop is most of a simulated run.
  const auto stride = static_cast<std::size_t>(image.width);
  const auto width = static_cast<std::ptrdiff_t>(x1 - x0);
  const Color* src = image.pixels.data() + static_cast<std::size_t>(y0 - top) * stride +
                     static_cast<std::size_t>(x0 - left);
  Color* dst = row(static_cast<int>(y0)) + x0;
  copy_rows(src, stride, dst, width, y1 - y0);
  mark_rows(static_cast<int>(y0), static_cast<int>(y1 - 1));
}

void Screen::fill_box(float x1, float y1, float x2, float y2, Color c) {
  int left = round_half_away(x1);
  int right = round_half_away(x2);
  int top = round_half_away(y1);
  int bottom = round_half_away(y2);
  if (left > right) std::swap(left, right);
  if (top > bottom) std::swap(top, bottom);
  left = std::max(left, 0);
  top = std::max(top, 0);
  right = std::min(right, kWidth - 1);
  bottom = std::min(bottom, kHeight - 1);
  if (left > right || top > bottom) return;
  for (int y = top; y <= bottom; ++y) {
    std::fill(row(y) + left, row(y) + right + 1, c);
  }
  mark_rows(top, bottom);
}

Color Screen::read_pixel(int x, int y) const {
  if (x < 0 || y < 0 || x >= kWidth || y >= kHeight) return 0xFFFFFFFF;
  return row(y)[x];
}

void Screen::mark_rows(int first, int last) {
  first = std::max(first, 0);
  last = std::min(last, kHeight - 1);
  if (first > last) return;
  std::fill(changed_.begin() + first, changed_.begin() + last + 1, true);
}

bool Screen::take_changed_rows(int& first, int& last) {
  const auto begin = std::find(changed_.begin(), changed_.end(), true);
  if (begin == changed_.end()) return false;
  const auto end = std::find(changed_.rbegin(), changed_.rend(), true);
  first = static_cast<int>(begin - changed_.begin());
  last = kHeight - 1 - static_cast<int>(end - changed_.rbegin());
  changed_.fill(false);
  return true;
}

}  // namespace rt
