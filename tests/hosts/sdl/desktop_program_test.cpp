// The desktop program started as a player would, in a window and without a
// window manager, driven by key presses that go through the X server.
#include "tests/hosts/sdl/desktop_program.h"

#include <gtest/gtest.h>
#include <signal.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace rt::testing {
namespace {

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
