// The desktop program under a virtual X server of its own, for the tests
// that start it as a player would: the child processes, screenshots and the
// fixture that makes a display and the game's data for each test.
#pragma once

#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/front_fixture.h"

namespace rt::testing {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

inline std::optional<fs::path> find_program(const std::string& name) {
  const char* path = std::getenv("PATH");
  std::stringstream dirs(path != nullptr ? path : "/usr/bin:/bin");
  for (std::string dir; std::getline(dirs, dir, ':');) {
    const fs::path candidate = fs::path(dir) / name;
    if (::access(candidate.c_str(), X_OK) == 0) return candidate;
  }
  return std::nullopt;
}

// A child process started with its own working directory, environment
// additions and standard error file; killed when still running at the end.
class Child {
 public:
  Child(const std::vector<std::string>& argv, const fs::path& cwd,
        const std::vector<std::string>& env, const fs::path& err_file) {
    pid_ = ::fork();
    if (pid_ == 0) {
      if (::chdir(cwd.c_str()) != 0) ::_exit(127);
      // "NAME=value" sets a variable, a bare "NAME" removes it.
      for (const std::string& e : env) {
        if (e.find('=') == std::string::npos) {
          ::unsetenv(e.c_str());
        } else {
          ::putenv(const_cast<char*>(e.c_str()));
        }
      }
      if (!err_file.empty()) {
        std::FILE* f = std::freopen(err_file.c_str(), "w", stderr);
        if (f == nullptr) ::_exit(127);
      }
      std::vector<char*> args;
      for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
      args.push_back(nullptr);
      ::execv(args[0], args.data());
      ::_exit(127);
    }
  }
  // Asks the process to end, so that an X server can remove its lock file,
  // and forces it after a grace period.
  ~Child() {
    if (pid_ <= 0 || done_) return;
    ::kill(pid_, SIGTERM);
    if (!wait_for(3s)) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, nullptr, 0);
    }
  }
  Child(const Child&) = delete;
  Child& operator=(const Child&) = delete;

  bool started() const { return pid_ > 0; }
  pid_t pid() const { return pid_; }
  // The exit status, or nothing when the process still runs after `limit`.
  std::optional<int> wait_for(std::chrono::milliseconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < end) {
      int status = 0;
      if (::waitpid(pid_, &status, WNOHANG) == pid_) {
        done_ = true;
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
      }
      std::this_thread::sleep_for(20ms);
    }
    return std::nullopt;
  }

 private:
  pid_t pid_ = -1;
  bool done_ = false;
};

// Runs a shell command on the virtual display; its standard output.
inline std::optional<std::string> on_display(int display, const std::string& command) {
  const std::string full = "DISPLAY=:" + std::to_string(display) + " " + command;
  std::FILE* pipe = ::popen(full.c_str(), "r");
  if (pipe == nullptr) return std::nullopt;
  std::string out;
  char buffer[4096];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
  const int status = ::pclose(pipe);
  if (status != 0) return std::nullopt;
  return out;
}

struct Picture {
  int width = 0;
  int height = 0;
  std::vector<unsigned char> rgb;
  std::uint32_t at(int x, int y) const {
    const std::size_t i = (static_cast<std::size_t>(y) * width + x) * 3;
    return static_cast<std::uint32_t>(rgb[i]) << 16 | static_cast<std::uint32_t>(rgb[i + 1]) << 8 |
           rgb[i + 2];
  }
};

inline std::optional<Picture> read_ppm(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::string magic;
  in >> magic;
  if (magic != "P6") return std::nullopt;
  auto number = [&]() -> int {
    for (;;) {
      in >> std::ws;
      if (in.peek() == '#') {
        std::string comment;
        std::getline(in, comment);
      } else {
        int n = -1;
        in >> n;
        return n;
      }
    }
  };
  Picture p;
  p.width = number();
  p.height = number();
  const int max = number();
  in.get();
  if (p.width <= 0 || p.height <= 0 || max != 255) return std::nullopt;
  p.rgb.resize(static_cast<std::size_t>(p.width) * p.height * 3);
  in.read(reinterpret_cast<char*>(p.rgb.data()), static_cast<std::streamsize>(p.rgb.size()));
  if (!in) return std::nullopt;
  return p;
}

class DesktopProgramTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* tool : {"Xvfb", "xdotool", "import"}) {
      if (!find_program(tool)) GTEST_SKIP() << tool << " is not installed";
    }
    // The programs of the build lie beside this test program.
    if (const char* binary_dir = std::getenv("RT_BINARY_DIR")) {
      bin_ = fs::path(binary_dir) / "bin";
    } else {
      std::error_code ec;
      bin_ = fs::read_symlink("/proc/self/exe", ec).parent_path();
    }
    if (!fs::exists(bin_ / "rangiertrubel")) GTEST_SKIP() << "rangiertrubel is not built";

    // The X server picks a free display itself and tells its number through
    // a pipe, so that tests running side by side never share one.
    int fds[2];
    ASSERT_EQ(::pipe(fds), 0);
    xvfb_.emplace(std::vector<std::string>{find_program("Xvfb")->string(), "-displayfd",
                                           std::to_string(fds[1]), "-screen", "0", screen_,
                                           "-nolisten", "tcp"},
                  dir.path(), std::vector<std::string>{}, dir.path() / "xvfb.log");
    ::close(fds[1]);
    std::string number;
    pollfd reader{fds[0], POLLIN, 0};
    while (number.find('\n') == std::string::npos && ::poll(&reader, 1, 10000) > 0) {
      char c = 0;
      if (::read(fds[0], &c, 1) != 1) break;
      number += c;
    }
    ::close(fds[0]);
    ASSERT_TRUE(xvfb_->started());
    ASSERT_NE(number.find('\n'), std::string::npos) << "Xvfb did not start";
    display_ = std::stoi(number);
  }

  // Copies the built data folders into `to` (without a high-score list).
  void copy_data(const fs::path& to, bool with_waves = true) {
    fs::create_directories(to);
    for (const char* folder : {"Data", "Sprites", "Waves"}) {
      if (!with_waves && std::string(folder) == "Waves") continue;
      fs::copy(bin_ / folder, to / folder, fs::copy_options::recursive);
    }
    fs::remove(to / "Data" / "High.dat");
  }

  std::unique_ptr<Child> start_game(const fs::path& program, const fs::path& cwd,
                                    const std::vector<std::string>& options = {"--windowed"}) {
    std::vector<std::string> argv{program.string()};
    argv.insert(argv.end(), options.begin(), options.end());
    return std::make_unique<Child>(
        argv, cwd,
        std::vector<std::string>{"DISPLAY=:" + std::to_string(display_), "SDL_AUDIODRIVER=dummy",
                                 "RANGIERTRUBEL_WINDOWED", "SDL_VIDEODRIVER"},
        dir.path() / "game.err");
  }

  // Starts openbox on the display; false when it is not installed.
  bool start_window_manager() {
    const auto openbox = find_program("openbox");
    if (!openbox) return false;
    // Tried again should it find the X server still starting up.
    for (int attempt = 0; attempt < 3; ++attempt) {
      wm_.emplace(std::vector<std::string>{openbox->string()}, dir.path(),
                  std::vector<std::string>{"DISPLAY=:" + std::to_string(display_)},
                  dir.path() / "openbox.log");
      // Up once it has announced itself on the root window.
      for (int i = 0; i < 100; ++i) {
        const auto props = on_display(display_, "xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null");
        if (props && props->find("window id") != std::string::npos) return true;
        if (wm_->wait_for(50ms)) break;  // it gave up
      }
      wm_.reset();
    }
    ADD_FAILURE() << "openbox did not start: " << dir.read("openbox.log");
    return false;
  }

  // The screen of the game's menu as the simulated host draws it.
  Image expected_menu(const fs::path& data) {
    const fs::path shot = dir.path() / "menu.bmp";
    const fs::path ppm = dir.path() / "menu.ppm";
    const std::string command = (bin_ / "rangiertrubel-sim").string() + " --dir " + data.string() +
                                " - >/dev/null <<'EOF'\n5 shot " + shot.string() +
                                "\n5.1 end\nEOF\nconvert " + shot.string() +
                                " -depth 8 ppm:" + ppm.string() + "\n";
    EXPECT_EQ(std::system(command.c_str()), 0);
    Image menu;
    if (const auto picture = read_ppm(ppm)) {
      menu = Image(picture->width, picture->height, 0);
      for (int y = 0; y < menu.height; ++y) {
        for (int x = 0; x < menu.width; ++x) menu.at(x, y) = picture->at(x, y);
      }
    }
    return menu;
  }

  std::optional<Picture> screenshot() {
    const fs::path shot = dir.path() / "root.ppm";
    if (!on_display(display_, "import -window root -depth 8 ppm:" + shot.string())) {
      return std::nullopt;
    }
    return read_ppm(shot);
  }

  // The window's id once it is mapped.
  std::string wait_for_window(const std::string& name = "rangiertrubel") {
    const auto id =
        on_display(display_, "timeout 15 xdotool search --sync --onlyvisible --name '^" + name +
                                 "$' 2>/dev/null | head -n 1");
    return id ? std::string(id->substr(0, id->find('\n'))) : std::string();
  }

  // Waits until the magnified title shows in a screenshot of the root window.
  bool wait_for_title(const std::string& window) {
    Image want(800, 600, 0);
    draw_expected_title(want);
    int left = 0;
    int top = 0;
    // Where the window's inside lies on the screen, below a window
    // manager's frame too.
    if (const auto info = on_display(display_, "xwininfo -id " + window)) {
      std::istringstream lines(*info);
      for (std::string line; std::getline(lines, line);) {
        const auto colon = line.find(':');
        if (line.find("Absolute upper-left X") != std::string::npos) {
          left = std::stoi(line.substr(colon + 1));
        }
        if (line.find("Absolute upper-left Y") != std::string::npos) {
          top = std::stoi(line.substr(colon + 1));
        }
      }
    }
    const fs::path shot = dir.path() / "root.ppm";
    for (int attempt = 0; attempt < 50; ++attempt) {
      if (on_display(display_, "import -window root -depth 8 ppm:" + shot.string())) {
        if (const auto picture = read_ppm(shot)) {
          int wrong = 0;
          for (int y = 50; y <= 110; ++y) {
            for (int x = 95; x <= 690; ++x) {
              const int sx = x + left;
              const int sy = y + top;
              if (sx >= picture->width || sy >= picture->height ||
                  picture->at(sx, sy) != (want.at(x, y) & 0xFFFFFFu)) {
                ++wrong;
              }
            }
          }
          if (wrong == 0) return true;
        }
      }
      std::this_thread::sleep_for(200ms);
    }
    return false;
  }

  // Down, then Enter: the menu leaves through "SPIEL BEENDEN". Each key is
  // held long enough for the menu's poll of the held keys.
  void quit_through_menu(const std::string& window) {
    on_display(display_, "xdotool windowfocus --sync " + window + " 2>/dev/null");
    on_display(display_,
               "xdotool keydown Down sleep 0.25 keyup Down sleep 0.3 keydown Return sleep 0.25 "
               "keyup Return");
  }

  TempDir dir;
  fs::path bin_;
  int display_ = 0;
  std::string screen_ = "800x600x24";
  std::optional<Child> xvfb_;
  std::optional<Child> wm_;
};

}  // namespace rt::testing
