// The desktop program under a virtual X server: started as a player would,
// driven by key presses that go through the X server.
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
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

std::optional<fs::path> find_program(const std::string& name) {
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
std::optional<std::string> on_display(int display, const std::string& command) {
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

std::optional<Picture> read_ppm(const fs::path& file) {
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
  // held long enough for the menu's look at the held keys.
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

TEST_F(DesktopProgramTest, MenuAppearsAndSpielBeendenSavesTheListAndEndsWithStatus0) {
  const fs::path work = dir.path() / "work";
  copy_data(work);
  auto game = start_game(bin_ / "rangiertrubel", work);
  const std::string window = wait_for_window();
  ASSERT_FALSE(window.empty()) << "no window";
  ASSERT_TRUE(wait_for_title(window)) << "the title screen did not appear";
  quit_through_menu(window);
  const auto status = game->wait_for(10s);
  ASSERT_TRUE(status) << "the program did not end";
  EXPECT_EQ(*status, 0);
  EXPECT_TRUE(fs::exists(work / "Data" / "High.dat"));
}

TEST_F(DesktopProgramTest, FindsItsDataBesideItselfAndReportsAMissingFolderOnce) {
  // The program and its data in one folder, started from an empty one; the
  // sound folder is missing.
  const fs::path app = dir.path() / "app";
  const fs::path elsewhere = dir.path() / "elsewhere";
  copy_data(app, false);
  fs::create_directories(elsewhere);
  // Under another name: the window is named after the program file.
  fs::copy_file(bin_ / "rangiertrubel", app / "schiebespiel");
  auto game = start_game(app / "schiebespiel", elsewhere);
  const std::string window = wait_for_window("schiebespiel");
  ASSERT_FALSE(window.empty()) << "no window named schiebespiel";
  ASSERT_TRUE(wait_for_title(window));
  quit_through_menu(window);
  const auto status = game->wait_for(10s);
  ASSERT_TRUE(status);
  EXPECT_EQ(*status, 0);
  EXPECT_TRUE(fs::exists(app / "Data" / "High.dat"));
  EXPECT_FALSE(fs::exists(elsewhere / "Data"));
  const std::string err = dir.read("game.err");
  std::size_t reports = 0;
  for (std::size_t at = err.find("Waves"); at != std::string::npos;
       at = err.find("Waves", at + 1)) {
    ++reports;
  }
  EXPECT_EQ(reports, 1u) << err;
  EXPECT_EQ(err.find("Sprites"), std::string::npos) << err;
}

// Where the picture lies on a screen of the given size in full screen: as
// large as fits at 4:3, centred.
struct Placement {
  int left = 0;
  int top = 0;
  double scale = 1.0;
};
Placement placement(int screen_w, int screen_h, bool whole_factors) {
  double scale = std::min(screen_w / 800.0, screen_h / 600.0);
  if (whole_factors) scale = std::max(1.0, std::floor(scale));
  const int width = static_cast<int>(800 * scale);
  const int height = static_cast<int>(600 * scale);
  return {(screen_w - width) / 2, (screen_h - height) / 2, scale};
}

// Game pixels whose eight neighbours share their colour must show exactly
// that colour at their centre on the screen; counts those that do not, and
// those checked.
std::pair<int, int> misplaced_pixels(const Picture& shot, const Image& screen, Placement at,
                                     int y_from, int y_to) {
  int wrong = 0;
  int checked = 0;
  for (int y = std::max(1, y_from); y < std::min(599, y_to); ++y) {
    for (int x = 1; x < 799; ++x) {
      const Color c = screen.at(x, y) & 0xFFFFFFu;
      bool uniform = true;
      for (int dy = -1; dy <= 1 && uniform; ++dy) {
        for (int dx = -1; dx <= 1; ++dx) {
          if ((screen.at(x + dx, y + dy) & 0xFFFFFFu) != c) uniform = false;
        }
      }
      if (!uniform) continue;
      const int sx = at.left + static_cast<int>((x + 0.5) * at.scale);
      const int sy = at.top + static_cast<int>((y + 0.5) * at.scale);
      ++checked;
      if (sx >= shot.width || sy >= shot.height || shot.at(sx, sy) != c) ++wrong;
    }
  }
  return {wrong, checked};
}

// For game pixels with another colour left and right of them (and the same
// above and below), how many screen columns show their pure colour.
std::vector<int> single_pixel_widths(const Picture& shot, const Image& screen, Placement at) {
  std::vector<int> widths;
  for (int y = 1; y < 599; ++y) {
    const int sy = at.top + static_cast<int>((y + 0.5) * at.scale);
    for (int x = 1; x < 799; ++x) {
      const Color c = screen.at(x, y) & 0xFFFFFFu;
      if ((screen.at(x - 1, y) & 0xFFFFFFu) == c || (screen.at(x + 1, y) & 0xFFFFFFu) == c ||
          (screen.at(x, y - 1) & 0xFFFFFFu) != c || (screen.at(x, y + 1) & 0xFFFFFFu) != c) {
        continue;
      }
      const int from = at.left + static_cast<int>(std::floor(x * at.scale));
      const int to = at.left + static_cast<int>(std::ceil((x + 1) * at.scale));
      int width = 0;
      for (int sx = from; sx < to && sx < shot.width; ++sx) {
        if (shot.at(sx, sy) == c) ++width;
      }
      if (width > 0) widths.push_back(width);
    }
  }
  return widths;
}

class DesktopFullScreenTest : public DesktopProgramTest,
                              public ::testing::WithParamInterface<const char*> {
 protected:
  DesktopFullScreenTest() { screen_ = GetParam(); }

  // Waits until the whole menu is on the screen; the last screenshot.
  std::optional<Picture> wait_for_menu(const Image& menu, Placement at) {
    std::optional<Picture> shot;
    for (int attempt = 0; attempt < 60; ++attempt) {
      shot = screenshot();
      if (shot && misplaced_pixels(*shot, menu, at, 0, 600).first == 0) return shot;
      std::this_thread::sleep_for(200ms);
    }
    return shot;
  }
};

TEST_P(DesktopFullScreenTest, WithoutAWindowManagerShowsTheWholeMenuEvenlyScaled) {
  const fs::path work = dir.path() / "work";
  copy_data(work);
  const Image menu = expected_menu(work);
  ASSERT_EQ(menu.width, 800);
  int width = 0;
  int height = 0;
  ASSERT_EQ(std::sscanf(screen_.c_str(), "%dx%d", &width, &height), 2);
  const Placement at = placement(width, height, false);

  auto game = start_game(bin_ / "rangiertrubel", work, {"--fullscreen"});
  const auto shot = wait_for_menu(menu, at);
  ASSERT_TRUE(shot);
  const auto [wrong, checked] = misplaced_pixels(*shot, menu, at, 0, 600);
  EXPECT_EQ(wrong, 0) << "of " << checked;
  // The title at the top of the picture is among them.
  const auto [title_wrong, title_checked] = misplaced_pixels(*shot, menu, at, 50, 110);
  EXPECT_EQ(title_wrong, 0);
  EXPECT_GT(title_checked, 5000);

  // No game pixel twice as wide as another.
  const std::vector<int> widths = single_pixel_widths(*shot, menu, at);
  ASSERT_GT(widths.size(), 200u);
  const auto [narrowest, widest] = std::minmax_element(widths.begin(), widths.end());
  EXPECT_LT(*widest, 2 * *narrowest) << "from " << *narrowest << " to " << *widest;

  ::kill(game->pid(), SIGINT);
  EXPECT_EQ(game->wait_for(5s), 0);
}

INSTANTIATE_TEST_SUITE_P(Screens, DesktopFullScreenTest,
                         ::testing::Values("1024x768x24", "1920x1080x24"));

class DesktopLargeScreenTest : public DesktopProgramTest {
 protected:
  DesktopLargeScreenTest() { screen_ = "1600x1200x24"; }
};

TEST_F(DesktopLargeScreenTest, IntegerScaleDrawsEveryGamePixelAsAWholeSquare) {
  const fs::path work = dir.path() / "work";
  copy_data(work);
  const Image menu = expected_menu(work);
  ASSERT_EQ(menu.width, 800);
  auto game = start_game(bin_ / "rangiertrubel", work, {"--fullscreen", "--integer-scale"});
  std::optional<Picture> shot;
  int wrong = -1;
  for (int attempt = 0; attempt < 60 && wrong != 0; ++attempt) {
    std::this_thread::sleep_for(200ms);
    shot = screenshot();
    if (!shot || shot->width != 1600) continue;
    wrong = 0;
    for (int y = 0; y < 1200; ++y) {
      for (int x = 0; x < 1600; ++x) {
        if (shot->at(x, y) != (menu.at(x / 2, y / 2) & 0xFFFFFFu)) ++wrong;
      }
    }
  }
  EXPECT_EQ(wrong, 0);
  ::kill(game->pid(), SIGTERM);
  EXPECT_EQ(game->wait_for(5s), 0);
}

class DesktopWindowTest : public DesktopProgramTest {
 protected:
  DesktopWindowTest() { screen_ = "1024x768x24"; }

  void keys(const std::string& sequence) { on_display(display_, "xdotool " + sequence); }
};

TEST_F(DesktopWindowTest, TheMenuNeverMovesThePointerInAWindow) {
  const fs::path work = dir.path() / "work";
  copy_data(work);
  auto game = start_game(bin_ / "rangiertrubel", work);
  const std::string window = wait_for_window();
  ASSERT_FALSE(window.empty());
  ASSERT_TRUE(wait_for_title(window));
  // Moved once the game is connected: the X server puts the pointer back in
  // the middle whenever its last client leaves.
  on_display(display_, "xdotool mousemove 7 9");
  on_display(display_, "xdotool windowfocus --sync " + window + " 2>/dev/null");
  keys("keydown Down sleep 0.25 keyup Down sleep 0.3 keydown Up sleep 0.25 keyup Up sleep 0.3");
  const auto where = on_display(display_, "xdotool getmouselocation --shell");
  ASSERT_TRUE(where);
  EXPECT_NE(where->find("X=7\n"), std::string::npos) << *where;
  EXPECT_NE(where->find("Y=9\n"), std::string::npos) << *where;
  ::kill(game->pid(), SIGTERM);
  EXPECT_EQ(game->wait_for(5s), 0);
}

TEST_F(DesktopWindowTest, CloseRequestsEndTheProgramFromTheMenuAndFromPlay) {
  const bool with_manager = start_window_manager();
  const fs::path work = dir.path() / "work";
  copy_data(work);
  // From the menu: the window manager's close (Alt+F4), or without one an
  // interrupt as from a terminal.
  {
    auto game = start_game(bin_ / "rangiertrubel", work);
    const std::string window = wait_for_window();
    ASSERT_FALSE(window.empty());
    ASSERT_TRUE(wait_for_title(window));
    on_display(display_, "xdotool windowfocus --sync " + window + " 2>/dev/null");
    if (with_manager) {
      keys("key alt+F4");
    } else {
      ::kill(game->pid(), SIGINT);
    }
    EXPECT_EQ(game->wait_for(5s), 0);
  }
  // During play: started from the menu, then closed in the level's intro.
  {
    auto game = start_game(bin_ / "rangiertrubel", work);
    const std::string window = wait_for_window();
    ASSERT_FALSE(window.empty());
    ASSERT_TRUE(wait_for_title(window));
    on_display(display_, "xdotool windowfocus --sync " + window + " 2>/dev/null");
    keys("keydown Return sleep 0.25 keyup Return sleep 1");
    if (with_manager) {
      keys("key alt+F4");
    } else {
      ::kill(game->pid(), SIGTERM);
    }
    EXPECT_EQ(game->wait_for(5s), 0);
  }
}

TEST_F(DesktopWindowTest, WithoutADisplayOneLineSaysSoAndTheStatusIs1) {
  const fs::path work = dir.path() / "work";
  copy_data(work);
  const auto start = std::chrono::steady_clock::now();
  Child game({(bin_ / "rangiertrubel").string()}, work,
             {"DISPLAY", "WAYLAND_DISPLAY", "SDL_VIDEODRIVER", "RANGIERTRUBEL_WINDOWED"},
             dir.path() / "game.err");
  EXPECT_EQ(game.wait_for(5s), 1);
  EXPECT_LT(std::chrono::steady_clock::now() - start, 2s);
  const std::string err = dir.read("game.err");
  EXPECT_NE(err.find("display"), std::string::npos) << err;
  EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
}

}  // namespace
}  // namespace rt::testing
