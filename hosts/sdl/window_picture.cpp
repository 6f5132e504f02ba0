// The game's picture drawn into the desktop's window.
#include "hosts/sdl/window_picture.h"

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <cstdio>
#include <cstdlib>

#include "hosts/sdl/sdl_window.h"

namespace rt {
namespace {

// With RANGIERTRUBEL_TRACE set (to anything), every presented frame is
// reported on standard error as "rangiertrubel: frame N at SECONDS", SECONDS
// being the wall clock (Unix time, microseconds), so that the start-up can be
// measured from outside the process. Nothing is written otherwise.
bool trace_wanted() {
  return std::getenv("RANGIERTRUBEL_TRACE") != nullptr;
}

void trace_frame(long long number) {
  const auto since_epoch = std::chrono::duration_cast<std::chrono::microseconds>(
                               std::chrono::system_clock::now().time_since_epoch())
                               .count();
  std::fprintf(stderr, "rangiertrubel: frame %lld at %lld.%06lld\n", number,
               static_cast<long long>(since_epoch / 1000000),
               static_cast<long long>(since_epoch % 1000000));
}

}  // namespace

WindowPicture::WindowPicture(bool integer_scale)
    : integer_scale_(integer_scale),
      shown_(static_cast<std::size_t>(Screen::kWidth) * Screen::kHeight, 0),
      trace_(trace_wanted()) {}

void WindowPicture::set_paused(bool paused) {
  if (paused == paused_) return;
  paused_ = paused;
  if (paused_) {
    paused_picture_.resize(shown_.size());
    draw_paused_picture(shown_.data(), paused_picture_.data());
  }
  whole_window_wanted_ = true;
}

bool WindowPicture::copy_changed_rows(Screen& screen) {
  int first = 0;
  int last = 0;
  const bool changed = screen.take_changed_rows(first, last);
  if (full_copy_wanted_) {
    first = 0;
    last = Screen::kHeight - 1;
    full_copy_wanted_ = false;
  } else if (!changed) {
    return false;
  }
  first = std::clamp(first, 0, Screen::kHeight - 1);
  last = std::clamp(last, first, Screen::kHeight - 1);
  const auto offset = static_cast<std::size_t>(first) * Screen::kWidth;
  const auto count = static_cast<std::size_t>(last - first + 1) * Screen::kWidth;
  std::copy_n(screen.row(first), count, shown_.begin() + static_cast<std::ptrdiff_t>(offset));
  if (paused_) {
    draw_paused_picture(shown_.data(), paused_picture_.data());
    whole_window_wanted_ = true;
  }
  waiting_first_ = std::min(waiting_first_, first);
  waiting_last_ = std::max(waiting_last_, last);
  return true;
}

bool WindowPicture::present_if_wanted(SdlWindow& window) {
  if (!whole_window_wanted_ && waiting_first_ > waiting_last_) return false;
  SDL_Surface* surface = SDL_GetWindowSurface(window.get());
  if (surface == nullptr) return false;  // tried again at the next pass
  const PictureLayout& now = scaler_.layout();
  if (surface != surface_ || surface->w != now.window_w || surface->h != now.window_h) {
    surface_ = surface;
    scaler_.set_layout(PictureLayout::fit(surface->w, surface->h, integer_scale_));
    window.apply_pointer_rules(scaler_.layout());
    whole_window_wanted_ = true;
  }
  const PictureLayout& layout = scaler_.layout();
  int begin = 0;
  int end = 0;
  if (whole_window_wanted_) {
    SDL_FillRect(surface, nullptr, SDL_MapRGB(surface->format, 0, 0, 0));
    end = layout.height;
  } else {
    scaler_.rows_showing(waiting_first_, waiting_last_, begin, end);
  }
  SDL_Rect sent{0, 0, surface->w, surface->h};
  if (!layout.empty() && begin < end) {
    draw_rows(*surface, begin, end);
    if (!whole_window_wanted_)
      sent = SDL_Rect{layout.left, layout.top + begin, layout.width, end - begin};
  } else if (!whole_window_wanted_) {
    sent = SDL_Rect{};
  }
  whole_window_wanted_ = false;
  waiting_first_ = Screen::kHeight;
  waiting_last_ = -1;
  if (sent.w > 0 && sent.h > 0) SDL_UpdateWindowSurfaceRects(window.get(), &sent, 1);
  if (trace_) trace_frame(++frames_);
  return true;
}

// The alpha byte of the game's pixels is data, not transparency: a surface
// with alpha gets them opaque.
void WindowPicture::draw_rows(SDL_Surface& surface, int begin, int end) {
  const bool must_lock = SDL_MUSTLOCK(&surface);
  if (must_lock && SDL_LockSurface(&surface) != 0) return;
  const Uint32 format = surface.format->format;
  const bool direct = format == SDL_PIXELFORMAT_RGB888 || format == SDL_PIXELFORMAT_ARGB8888;
  const Color opaque = format == SDL_PIXELFORMAT_ARGB8888 ? 0xFF000000u : 0u;
  const PictureLayout& layout = scaler_.layout();
  const Color* picture = paused_ ? paused_picture_.data() : shown_.data();
  auto* pixels = static_cast<Uint8*>(surface.pixels);
  Uint8* top_left = pixels + static_cast<std::ptrdiff_t>(layout.top) * surface.pitch +
                    static_cast<std::ptrdiff_t>(layout.left) * surface.format->BytesPerPixel;
  if (direct && surface.pitch % static_cast<int>(sizeof(Color)) == 0) {
    scaler_.draw(picture, begin, end, reinterpret_cast<Color*>(top_left),
                 surface.pitch / static_cast<std::ptrdiff_t>(sizeof(Color)), opaque);
  } else {
    // Another pixel format: drawn aside, then converted.
    converted_.resize(static_cast<std::size_t>(layout.width) *
                      static_cast<std::size_t>(layout.height));
    scaler_.draw(picture, begin, end, converted_.data(), layout.width, 0);
    SDL_ConvertPixels(layout.width, end - begin, SDL_PIXELFORMAT_RGB888,
                      converted_.data() + static_cast<std::ptrdiff_t>(begin) * layout.width,
                      layout.width * static_cast<int>(sizeof(Color)), format,
                      top_left + static_cast<std::ptrdiff_t>(begin) * surface.pitch, surface.pitch);
  }
  if (must_lock) SDL_UnlockSurface(&surface);
}

}  // namespace rt
