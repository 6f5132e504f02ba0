// The desktop program started as a player would, in a window and without a
// window manager, driven by key presses and mouse clicks that go through
// the X server.
#include "tests/hosts/sdl/desktop_program.h"

#include <gtest/gtest.h>
#include <signal.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>
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

// Level 1 won with the mouse alone, full screen on an 800 x 600 display, so
// that window and picture pixels are the same: a click on "SPIEL STARTEN",
// one to start the level, one on the piece below the empty cell, one on the
// status line to speed the locomotive to the station.
TEST_F(DesktopProgramTest, AMouseClickBesideTheHoleSlidesThePieceAndWinsLevelOne) {
  const fs::path work = dir.path() / "work";
  copy_data(work);
  // Where each level's empty cell is: the last two numbers of its file.
  const auto hole_of = [&](const char* level) {
    std::ifstream in(work / "Data" / level);
    std::string all((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    for (char& c : all) c = c == ',' ? ' ' : c;
    std::istringstream numbers(all);
    std::vector<int> values;
    for (int v = 0; numbers >> v;) values.push_back(v);
    return values.size() == 282 ? std::pair{values[280], values[281]} : std::pair{0, 0};
  };
  const auto [cursor_x, cursor_y] = hole_of("lev01.dat");
  const auto [next_x, next_y] = hole_of("lev02.dat");
  ASSERT_GT(cursor_y, 0);
  ASSERT_LT(cursor_y, 14);
  const auto centre = [](int column_or_row) { return std::to_string(column_or_row * 40 - 20); };
  const auto black_at = [&](int x, int y) {
    const auto shot = screenshot();
    return shot && shot->at(x * 40 - 20, y * 40 - 20) == 0u;
  };

  auto game = start_game(bin_ / "rangiertrubel", work, {"--fullscreen"});
  const std::string window = wait_for_window();
  ASSERT_FALSE(window.empty());
  ASSERT_TRUE(wait_for_title(window));
  on_display(display_, "xdotool mousemove 340 470 click 1 sleep 4 mousemove 400 300 click 1");
  on_display(display_, "xdotool sleep 0.3 mousemove " + centre(cursor_x) + " " +
                           centre(cursor_y + 1) + " click 1 sleep 0.5");
  EXPECT_TRUE(black_at(cursor_x, cursor_y + 1)) << "the piece below the empty cell moved up";
  EXPECT_FALSE(black_at(cursor_x, cursor_y));
  on_display(display_, "xdotool mousemove 400 580 click 1");  // the status line: faster
  bool won = false;
  for (int attempt = 0; attempt < 60 && !won; ++attempt) {
    std::this_thread::sleep_for(250ms);
    won = black_at(next_x, next_y) && !black_at(cursor_x, cursor_y + 1);
  }
  EXPECT_TRUE(won) << "level 2 shows";
  ::kill(game->pid(), SIGINT);
  EXPECT_EQ(game->wait_for(5s), 0);
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
