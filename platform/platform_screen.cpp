// The screen, image and drawing services of the Platform. Each call holds
// the platform's lock while it works, so the refresh never copies half of a
// drawing operation.

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <span>

#include "platform/formats/bmp.h"
#include "platform/platform.h"

namespace rt {

namespace {

// No BMP file of a picture the decoder accepts (at most 2^26 pixels of 4
// bytes, plus headers and palette) comes near this size; bigger files are
// refused before they are read into memory.
constexpr std::size_t kMaxBmpFileBytes = (std::size_t{1} << 28) + (std::size_t{1} << 20);
// Images beyond this many pixels are not made; the game's largest is 100 x 40.
constexpr std::int64_t kMaxImagePixels = std::int64_t{1} << 26;

}  // namespace

void Platform::set_screen_mode(const std::string& title) {
  {
    std::lock_guard guard(mutex_);
    screen_.fill_all_pages(0xFF000000);
    screen_.foreground = 0xFFFFFFFF;
    screen_.background = 0xFF000000;
    text_.home();
  }
  // The host may need its display thread, which takes the lock to refresh,
  // to open the window; asking without holding the lock cannot dead-lock.
  host_.open_display(title);
}

Image Platform::create_image(int width, int height, Color fill) const {
  // A size below 1 or beyond all reason gives an empty image, which draws
  // nothing and takes no picture, rather than a failed allocation.
  if (width < 1 || height < 1 ||
      static_cast<std::int64_t>(width) * static_cast<std::int64_t>(height) > kMaxImagePixels) {
    return Image{};
  }
  return Image(width, height, fill);
}

int Platform::load_bmp(std::string_view path, Image& image) {
  std::lock_guard guard(mutex_);
  const std::filesystem::path file = host_path(path);
  // Read in one block: taken byte by byte, a large file held up the start
  // for many seconds.
  const FileBytes read = read_bounded_file(file, kMaxBmpFileBytes);
  if (read.status == FileBytes::Status::TooBig) {
    report_file_problem(file, read.reason());
    return kBmpBad;
  }
  if (!read.ok()) {
    if (read.status != FileBytes::Status::Missing) report_file_problem(file, read.reason());
    return kBmpNotFound;
  }
  const auto* data = reinterpret_cast<const std::uint8_t*>(read.bytes.data());
  return decode_bmp(std::span<const std::uint8_t>(data, read.bytes.size()), image);
}

void Platform::put_image(float x, float y, const Image& image) {
  std::lock_guard guard(mutex_);
  screen_.put_image(x, y, image);
}

void Platform::fill_box(float x1, float y1, float x2, float y2, Color color) {
  std::lock_guard guard(mutex_);
  screen_.fill_box(x1, y1, x2, y2, color);
}

Color Platform::read_pixel(int x, int y) {
  std::lock_guard guard(mutex_);
  return screen_.read_pixel(x, y);
}

void Platform::clear_screen() {
  std::lock_guard guard(mutex_);
  screen_.fill(screen_.background);
  text_.home();
}

void Platform::lock_screen() {
  std::lock_guard guard(mutex_);
  // The first lock keeps one extra hold on the recursive lock, so the
  // refresh waits until the matching unlock.
  if (lock_count_++ == 0) mutex_.lock();
}

void Platform::unlock_screen(int first_row, int last_row) {
  std::lock_guard guard(mutex_);
  if (first_row < 0) first_row = 0;
  if (last_row < 0) last_row = Screen::kHeight - 1;
  if (first_row <= last_row && last_row < Screen::kHeight) screen_.mark_rows(first_row, last_row);
  // An unlock without a lock in force changes no count and releases nothing.
  if (lock_count_ > 0 && --lock_count_ == 0) mutex_.unlock();
}

}  // namespace rt

namespace rt {

void Platform::release_screen_lock() {
  while (lock_count_ > 0) {
    --lock_count_;
    mutex_.unlock();
  }
}

Platform::~Platform() {
  release_screen_lock();
}

}  // namespace rt
