// A game on the levels of a seed, run as the whole program on the simulated
// host: generated levels instead of the shipped files, the same level again
// after each loss, and a list of best scores of its own.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "app/program.h"
#include "app/sim_run.h"
#include "game/level_file.h"
#include "levels/generator.h"
#include "platform/keyboard.h"
#include "tests/support/front_fixture.h"

namespace rt::testing {
namespace {

constexpr std::uint32_t kSeed = 20261207;

std::string shipped_file(const char* name) {
  std::ifstream in(std::filesystem::path(RT_TEST_SOURCE_DIR) / "data" / "levels" / name,
                   std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

std::string list_of(const std::string& prefix) {
  std::string file;
  for (int i = 1; i <= 10; ++i) {
    file +=
        "\"" + prefix + std::to_string(i) + "\"\r\n" + std::to_string(i == 10 ? 1 : 1000) + "\r\n";
  }
  return file;
}

// The shipped first level in the data folder, so that a game reading the
// files would play it; the program plays the seed.
class SeededGameTest : public SimFixture {
 protected:
  SeededGameTest() {
    dir.write("Data/lev01.dat", shipped_file("lev01.dat"));
    program.play_seed(kSeed);
  }

  void key(double t, int scan, int code) {
    host.press(t, scan, code);
    host.release(t + 0.1, scan);
  }

  Program program{platform};
};

TEST_F(SeededGameTest, PlaysGeneratedLevelsAndKeepsItsOwnList) {
  dir.write("Data/High.dat", list_of("E"));
  const std::string shipped_list = dir.read("Data/High.dat");
  dir.write("Data/HighGen.dat", list_of("G"));
  EXPECT_EQ(program.seed(), kSeed);

  int starts = 0;
  int explosions = 0;
  host.at(1.0, [&] {
    EXPECT_EQ(program.frontend.high_scores[0].name, "G1");
    EXPECT_EQ(screen_text(platform, 37, 40, 17), "STRECKEN 20261207");
  });
  key(1.5, scan::kEnter, keycode::kEnter);
  // Every level start: Space starts it at the fast, scoring speed, and
  // Escape gives the locomotive up a second later. Each of the three starts
  // is the seed's first level afresh, not the shipped one.
  const Board generated = generate_level(kSeed, 1).board;
  host.on_sound = [&](const SimHost::Sound& sound) {
    if (sound.name == "next.wav") {
      ++starts;
      EXPECT_EQ(program.game.level, 1);
      EXPECT_FALSE(program.game.board == read_level(shipped_file("lev01.dat")).board);
      EXPECT_TRUE(program.game.board == generated) << "start " << starts;
      key(sound.time + 3.5, scan::kSpace, ' ');
      key(sound.time + 4.5, scan::kEscape, 0);
    } else if (sound.name == "Explosion.wav" && ++explosions == 3) {
      for (const char c : std::string("Zug\r")) host.type_code(sound.time + 4.0, c);
    }
  };
  host.set_time_limit(60.0);
  EXPECT_EQ(run_on_sim(host, program).how, SimEnd::How::Stopped);
  EXPECT_EQ(starts, 3);
  EXPECT_EQ(explosions, 3);
  EXPECT_NE(dir.read("Data/HighGen.dat").find("\"Zug\""), std::string::npos);
  EXPECT_EQ(dir.read("Data/High.dat"), shipped_list);
}

}  // namespace
}  // namespace rt::testing
