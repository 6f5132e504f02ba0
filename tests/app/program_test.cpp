// The program's outer cycle on the simulated host: start-up, menu, game,
// high-score entry and the ways the program ends.
#include "app/program.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>

#include "app/sim_run.h"
#include "platform/keyboard.h"
#include "tests/support/front_fixture.h"

namespace rt::testing {
namespace {

constexpr int kXScan = 45;  // a key the game does not use

// The whole program on the simulated host. The only level makes the
// locomotive crash on its first step, so a game is three short lives. A key is tapped at every
// level start to end its wait; with `speed_up` it is Space, which makes every step after a restart
// earn the bonus (the first step of a game comes before the first poll).
class ProgramTest : public SimFixture {
 protected:
  ProgramTest() {
    dir.write("Data/lev01.dat", crash_level());
    host.on_sound = [this](const SimHost::Sound& sound) {
      if (sound.name == "next.wav") {
        const int scan = speed_up ? scan::kSpace : kXScan;
        host.press(sound.time + 3.5, scan, speed_up ? 32 : 'x');
        host.release(sound.time + 3.6, scan);
      } else if (sound.name == "Explosion.wav" && ++explosions == 3 && after_game_over) {
        after_game_over(sound.time);
      }
    };
  }

  std::optional<int> run(double limit) {
    host.set_time_limit(limit);
    const SimEnd end = run_on_sim(host, program);
    if (end.how == SimEnd::How::Ended) return end.status;
    stopped = end.how == SimEnd::How::Stopped;
    return std::nullopt;
  }

  void start_game_at(double t) {
    host.press(t, scan::kEnter, keycode::kEnter);
    host.release(t + 0.1, scan::kEnter);
  }

  void write_list(std::int32_t tenth_points) {
    std::string file;
    for (int i = 1; i <= 10; ++i) {
      file += "\"E" + std::to_string(i) + "\"\r\n" +
              std::to_string(i == 10 ? tenth_points : 10000 - i) + "\r\n";
    }
    dir.write("Data/High.dat", file);
  }

  Program program{platform};
  bool speed_up = false;
  int explosions = 0;
  std::function<void(double)> after_game_over;
  bool stopped = false;
};

TEST_F(ProgramTest, StartsUpIntoTheMenu) {
  write_list(5);
  host.at(1.0, [&] {
    EXPECT_TRUE(host.display_open());
    EXPECT_FALSE(host.mouse_visible());
    EXPECT_EQ(host.mouse_x(), 400);
    EXPECT_EQ(host.mouse_y(), 300);
    EXPECT_EQ(program.game.sound_on, 1);
    EXPECT_EQ(program.game.GameState, state::kGameOver);
    EXPECT_EQ(program.frontend.high_scores[0].name, "E1");
    EXPECT_EQ(screen_text(platform, 30, 40, 13), "SPIEL STARTEN");
    EXPECT_EQ(screen_text(platform, 17, 35, 2), "E1");
    // The two start-up clock readings are separate ones.
    EXPECT_GT(program.game.last_step_time, program.game.last_poll_time);
  });
  EXPECT_FALSE(run(2.0));
  EXPECT_TRUE(host.sounds().empty());  // no game before the player chooses
}

TEST_F(ProgramTest, ScoreEqualToTheTenthEntryAsksNothingAndLeadsToTheMenu) {
  start_game_at(0.5);
  EXPECT_FALSE(run(40.0));
  EXPECT_EQ(explosions, 3);
  EXPECT_EQ(program.game.score, 0);
  EXPECT_EQ(program.game.GameState, state::kGameOver);
  EXPECT_EQ(screen_text(platform, 30, 40, 13), "SPIEL STARTEN");
  EXPECT_NE(screen_text(platform, 20, 35, 6), "Namen ");
  EXPECT_FALSE(std::filesystem::exists(dir.path() / "Data" / "High.dat"));
}

TEST_F(ProgramTest, EscapeWaitingAfterGameOverEndsTheProgramWithoutSaving) {
  write_list(0);
  const std::string before = dir.read("Data/High.dat");
  start_game_at(0.5);
  // Pressed during the last explosion: it waits in the buffer until the game
  // is over.
  after_game_over = [&](double t) {
    host.press(t + 1.0, scan::kEscape, keycode::kEscape);
    host.release(t + 1.1, scan::kEscape);
  };
  EXPECT_EQ(run(40.0), 0);
  EXPECT_EQ(explosions, 3);
  EXPECT_EQ(dir.read("Data/High.dat"), before);
}

TEST_F(ProgramTest, OtherKeyWaitingAfterGameOverLeadsToTheMenu) {
  start_game_at(0.5);
  after_game_over = [&](double t) { host.type_code(t + 1.0, 'q'); };
  EXPECT_FALSE(run(40.0));
  EXPECT_EQ(screen_text(platform, 30, 40, 13), "SPIEL STARTEN");
}

TEST_F(ProgramTest, BeatingTheTenthEntryAsksForTheNameAndSavesAtOnce) {
  write_list(150);
  speed_up = true;
  start_game_at(0.5);
  after_game_over = [&](double t) {
    double at = t + 4.0;
    for (char c : std::string("Zug")) {
      host.type_code(at, c);
      at += 0.05;
    }
    host.type_code(at, keycode::kEnter);
  };
  EXPECT_FALSE(run(60.0));
  // Two restarts with the bonus on their one step: 200 points, entered above
  // the old tenth entry and written to the file before anything else.
  EXPECT_EQ(program.frontend.high_scores[9].name, "Zug");
  EXPECT_EQ(program.frontend.high_scores[9].points, 200);
  const std::string file = dir.read("Data/High.dat");
  EXPECT_NE(file.find("\"Zug\"\r\n200\r\n"), std::string::npos);
  EXPECT_EQ(file.find("\"E10\""), std::string::npos);
  EXPECT_EQ(program.game.GameState, state::kGameOver);
  EXPECT_EQ(screen_text(platform, 26, 35, 3), "Zug");  // back in the menu
}

TEST(ProgramTitle, IsTheProgramFilesNameWithoutFolderAndExtension) {
  EXPECT_EQ(program_title("/usr/games/rangiertrubel"), "rangiertrubel");
  EXPECT_EQ(program_title("./schiebespiel"), "schiebespiel");
  EXPECT_EQ(program_title("C:\\Spiele\\Rangier.Trubel.exe"), "Rangier.Trubel");
  EXPECT_EQ(program_title("/opt/.hidden"), ".hidden");
  EXPECT_EQ(program_title("rangiertrubel"), "rangiertrubel");
  EXPECT_EQ(program_title(""), "rangiertrubel");
  EXPECT_EQ(program_title("/usr/games/"), "rangiertrubel");
}

}  // namespace
}  // namespace rt::testing
