// The sharp-bilinear and whole-factor scaling of the picture, and the
// dimmed "PAUSE" picture.
#include "hosts/windowed/picture_scaler.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/formats/vga_font.h"
#include "platform/screen.h"

namespace rt {

namespace {

// a and b mixed, `weight` of 256 parts b; the alpha byte becomes 0.
Color mix(Color a, Color b, int weight) {
  const auto w = static_cast<std::uint32_t>(weight);
  const std::uint32_t v = 256u - w;
  const std::uint32_t red_blue = (((a & 0xFF00FFu) * v + (b & 0xFF00FFu) * w) >> 8) & 0xFF00FFu;
  const std::uint32_t green = (((a & 0x00FF00u) * v + (b & 0x00FF00u) * w) >> 8) & 0x00FF00u;
  return red_blue | green;
}

}  // namespace

void PictureLayout::to_picture(int x, int y, int& picture_x, int& picture_y) const {
  if (empty()) {
    picture_x = -1;
    picture_y = -1;
    return;
  }
  // Rounded down, also left of and above the picture.
  const auto scale = [](long long offset, long long size, long long picture) {
    const long long scaled = offset * picture;
    const long long q = scaled / size;
    return static_cast<int>(scaled % size < 0 ? q - 1 : q);
  };
  picture_x = scale(static_cast<long long>(x) - left, width, Screen::kWidth);
  picture_y = scale(static_cast<long long>(y) - top, height, Screen::kHeight);
}

PictureLayout PictureLayout::fit(int window_w, int window_h, bool whole_factors_only) {
  PictureLayout l;
  l.window_w = std::max(window_w, 0);
  l.window_h = std::max(window_h, 0);
  const long long ww = l.window_w;
  const long long wh = l.window_h;
  const int factor = std::min(l.window_w / Screen::kWidth, l.window_h / Screen::kHeight);
  if (whole_factors_only && factor >= 1) {
    l.width = Screen::kWidth * factor;
    l.height = Screen::kHeight * factor;
  } else if (ww * Screen::kHeight <= wh * Screen::kWidth) {
    l.width = l.window_w;
    l.height = static_cast<int>(ww * Screen::kHeight / Screen::kWidth);
  } else {
    l.height = l.window_h;
    l.width = static_cast<int>(wh * Screen::kWidth / Screen::kHeight);
  }
  l.whole_factor = l.width % Screen::kWidth == 0 && l.width / Screen::kWidth >= 1 &&
                   l.height == l.width / Screen::kWidth * Screen::kHeight;
  l.left = (l.window_w - l.width) / 2;
  l.top = (l.window_h - l.height) / 2;
  return l;
}

std::vector<PictureScaler::Tap> PictureScaler::axis(int source_size, int target_size) {
  std::vector<Tap> taps(static_cast<std::size_t>(std::max(target_size, 0)));
  if (source_size <= 0 || target_size <= 0) return taps;
  // Scaled up by a whole factor to at least the target size ...
  const long long factor = (target_size + source_size - 1) / source_size;
  const long long large = factor * source_size;
  for (int i = 0; i < target_size; ++i) {
    // ... then sampled linearly at the target pixel's centre.
    const double at = (i + 0.5) * static_cast<double>(large) / target_size - 0.5;
    const double floor = std::floor(at);
    long long cell = static_cast<long long>(floor);
    double fraction = at - floor;
    if (cell < 0) {
      cell = 0;
      fraction = 0.0;
    }
    if (cell >= large - 1) {
      cell = large - 1;
      fraction = 0.0;
    }
    Tap& tap = taps[static_cast<std::size_t>(i)];
    tap.source = static_cast<int>(cell / factor);
    // Within one game pixel both cells have its colour: no blend.
    const bool meets_next = (cell + 1) / factor != cell / factor;
    tap.weight = meets_next ? static_cast<int>(std::lround(fraction * 256.0)) : 0;
    if (tap.weight >= 256) {
      tap.source += 1;
      tap.weight = 0;
    }
  }
  return taps;
}

void PictureScaler::set_layout(const PictureLayout& layout) {
  layout_ = layout;
  if (layout.whole_factor) {
    // Nearest pixel: each game pixel exactly `factor` screen pixels.
    const int factor = layout.width / Screen::kWidth;
    columns_.assign(static_cast<std::size_t>(layout.width), Tap{});
    rows_.assign(static_cast<std::size_t>(layout.height), Tap{});
    for (int x = 0; x < layout.width; ++x)
      columns_[static_cast<std::size_t>(x)].source = x / factor;
    for (int y = 0; y < layout.height; ++y) rows_[static_cast<std::size_t>(y)].source = y / factor;
  } else {
    columns_ = axis(Screen::kWidth, layout.width);
    rows_ = axis(Screen::kHeight, layout.height);
  }
  for (auto& row : cache_) row.assign(columns_.size(), 0);
  cached_row_[0] = cached_row_[1] = -1;
}

void PictureScaler::rows_showing(int first, int last, int& begin, int& end) const {
  begin = 0;
  end = 0;
  bool found = false;
  for (int y = 0; y < static_cast<int>(rows_.size()); ++y) {
    const Tap& tap = rows_[static_cast<std::size_t>(y)];
    const int top = tap.source;
    const int bottom = tap.weight > 0 ? tap.source + 1 : tap.source;
    if (bottom < first || top > last) continue;
    if (!found) begin = y;
    found = true;
    end = y + 1;
  }
}

const Color* PictureScaler::scaled_row(const Color* screen, int row) const {
  for (int i = 0; i < 2; ++i) {
    if (cached_row_[i] == row) return cache_[i].data();
  }
  // Replaces the older of the two: rows are asked for top to bottom.
  const int slot = cached_row_[0] < cached_row_[1] ? 0 : 1;
  cached_row_[slot] = row;
  Color* out = cache_[slot].data();
  const Color* source = screen + static_cast<std::ptrdiff_t>(row) * Screen::kWidth;
  const int width = static_cast<int>(columns_.size());
  for (int x = 0; x < width; ++x) {
    const Tap& tap = columns_[static_cast<std::size_t>(x)];
    out[x] = tap.weight == 0 ? source[tap.source] & 0xFFFFFFu
                             : mix(source[tap.source], source[tap.source + 1], tap.weight);
  }
  return out;
}

void PictureScaler::draw(const Color* screen, int begin, int end, Color* target,
                         std::ptrdiff_t pitch, Color opaque) const {
  cached_row_[0] = cached_row_[1] = -1;  // the screen may have changed since
  begin = std::max(begin, 0);
  end = std::min(end, static_cast<int>(rows_.size()));
  const auto width = columns_.size();
  for (int y = begin; y < end; ++y) {
    const Tap& tap = rows_[static_cast<std::size_t>(y)];
    Color* out = target + static_cast<std::ptrdiff_t>(y) * pitch;
    const Color* upper = scaled_row(screen, tap.source);
    if (tap.weight == 0) {
      for (std::size_t x = 0; x < width; ++x) out[x] = upper[x] | opaque;
      continue;
    }
    // Both rows stay in the two-row cache.
    const Color* lower = scaled_row(screen, tap.source + 1);
    upper = scaled_row(screen, tap.source);
    for (std::size_t x = 0; x < width; ++x) out[x] = mix(upper[x], lower[x], tap.weight) | opaque;
  }
}

void draw_paused_picture(const Color* screen, Color* out) {
  constexpr int kPixels = Screen::kWidth * Screen::kHeight;
  for (int i = 0; i < kPixels; ++i) {
    const Color c = screen[i];
    out[i] = (c & 0xFF000000u) | ((((c & 0xFF00FFu) * 85u) >> 8) & 0xFF00FFu) |
             ((((c & 0x00FF00u) * 85u) >> 8) & 0x00FF00u);
  }
  // The word in the VGA font, each font pixel 5 x 5 screen pixels.
  constexpr const char* kWord = "PAUSE";
  constexpr int kScale = 5;
  constexpr int kGlyphW = 8 * kScale;
  constexpr int kGlyphH = 16 * kScale;
  constexpr int kLetters = 5;
  constexpr int kMargin = 16;
  const int left = (Screen::kWidth - kLetters * kGlyphW) / 2;
  const int top = (Screen::kHeight - kGlyphH) / 2;
  // On a black plate, so that the word stands out from any picture.
  for (int y = top - kMargin; y < top + kGlyphH + kMargin; ++y) {
    std::fill_n(out + static_cast<std::ptrdiff_t>(y) * Screen::kWidth + left - kMargin,
                kLetters * kGlyphW + 2 * kMargin, 0xFF000000u);
  }
  for (int letter = 0; letter < kLetters; ++letter) {
    const auto& glyph = kVgaFont[static_cast<unsigned char>(kWord[letter])];
    for (int y = 0; y < kGlyphH; ++y) {
      const std::uint8_t bits = glyph[static_cast<std::size_t>(y / kScale)];
      Color* row =
          out + static_cast<std::ptrdiff_t>(top + y) * Screen::kWidth + left + letter * kGlyphW;
      for (int x = 0; x < kGlyphW; ++x) {
        if ((bits & (0x80 >> (x / kScale))) != 0) row[x] = 0xFFFFFFFFu;
      }
    }
  }
}

}  // namespace rt
