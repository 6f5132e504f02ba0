// The desktop program under a virtual X server: started as a player would,
// driven by key presses that go through the X server.
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "support/front_fixture.h"

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
      for (const std::string& e : env) ::putenv(const_cast<char*>(e.c_str()));
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
                                           std::to_string(fds[1]), "-screen", "0", "800x600x24",
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

  std::unique_ptr<Child> start_game(const fs::path& program, const fs::path& cwd) {
    return std::make_unique<Child>(
        std::vector<std::string>{program.string()}, cwd,
        std::vector<std::string>{"DISPLAY=:" + std::to_string(display_), "RANGIERTRUBEL_WINDOWED=1",
                                 "SDL_AUDIODRIVER=dummy"},
        dir.path() / "game.err");
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
    if (const auto geometry = on_display(display_, "xdotool getwindowgeometry --shell " + window)) {
      std::istringstream lines(*geometry);
      for (std::string line; std::getline(lines, line);) {
        if (line.rfind("X=", 0) == 0) left = std::stoi(line.substr(2));
        if (line.rfind("Y=", 0) == 0) top = std::stoi(line.substr(2));
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
  std::optional<Child> xvfb_;
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

}  // namespace
}  // namespace rt::testing
