// The platform object's set-up, the game paths under its root folder, the
// keys a host hands in and the sounds it starts.
#include "platform/platform.h"

#include <algorithm>
#include <exception>
#include <iostream>
#include <string>
#include <utility>

namespace rt {

int run_to_exit_status(const std::function<void(Platform&)>& game, Platform& platform) {
  try {
    game(platform);
    return 0;
  } catch (const ProgramEnd& end) {
    return end.status;
  } catch (const std::exception& error) {
    std::cerr << "rangiertrubel: " << error.what() << '\n';
    return 1;
  } catch (...) {
    std::cerr << "rangiertrubel: unexpected error\n";
    return 1;
  }
}

Platform::Platform(Host& host, std::filesystem::path root)
    : host_(host), root_(std::move(root)), score_file_(choose_score_file(root_, true, {})) {
  host_.attach(*this);
}

std::filesystem::path Platform::host_path(std::string_view game_path) const {
  // The game writes its paths with backslashes ("Data\High.dat").
  std::string path(game_path);
  std::replace(path.begin(), path.end(), '\\', '/');
  std::filesystem::path result(path);
  if (result.is_absolute()) {
    return result;
  }
  return root_ / result;
}

void Platform::host_key_down(int scan_code) {
  std::lock_guard guard(mutex_);
  keyboard_.set_down(scan_code, true);
}

void Platform::host_key_up(int scan_code) {
  std::lock_guard guard(mutex_);
  keyboard_.set_down(scan_code, false);
}

void Platform::host_key_code(int code) {
  std::lock_guard guard(mutex_);
  // A Canvas screen takes its codes in one line with the pointer's events.
  if (is_key_code(code) && pointer_.keep_key(code)) return;
  keyboard_.push(code);
}

void Platform::host_close_request() {
  close_requested_.store(true);
}

void Platform::end_if_close_requested() {
  if (close_requested_.load()) end_program(0);
}

void Platform::report_file_problem(const std::filesystem::path& file, std::string_view reason) {
  std::error_code ec;
  const std::string key = std::filesystem::absolute(file, ec).lexically_normal().string();
  if (!reported_files_.insert(key).second) return;
  host_.report("rangiertrubel: Datei \"" + key + "\" " + std::string(reason));
}

void Platform::play_sound(std::string_view path) {
  // Hosts take paths as UTF-8, whatever the system's own encoding.
  const std::u8string utf8 = host_path(path).u8string();
  host_.play_sound(std::string(utf8.begin(), utf8.end()));
}

}  // namespace rt
