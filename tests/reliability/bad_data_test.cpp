// Data a player may bring: missing, empty, huge, lying and garbled files in
// the game's folders. The whole program starts, plays and ends normally with
// each of them.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <random>
#include <string>

#include "tests/support/game_fixture.h"
#include "tests/support/soak.h"

namespace rt::testing {
namespace {

class BadData : public ::testing::Test {
 protected:
  void SetUp() override {
    write_levels(dir, rail_level_text());
    for (const auto& s : kSpriteColours) {
      dir.write(sprite(s.name), solid_bmp(s.width, s.height, s.colour));
    }
  }

  static std::string sprite(const std::string& name) { return "Sprites/" + name + ".bmp"; }

  // Plays the short game and expects the program to end by itself, with
  // status 0, within a few seconds of real time.
  ProgramRun play(const std::string& script = kShortGameScript) {
    const auto start = std::chrono::steady_clock::now();
    ProgramRun run = run_program(dir.path(), script);
    const double real =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_EQ(run.status, 0) << run.out << run.err;
    EXPECT_NE(run.out.find("\"exit\": 0}"), std::string::npos) << run.out;
    EXPECT_LT(real, 20.0);
    return run;
  }

  // The first `state` line of a run.
  static std::string first_state(const ProgramRun& run) {
    const auto at = run.out.find("\"GameState\"");
    if (at == std::string::npos) return {};
    const auto begin = run.out.rfind('\n', at);
    const auto end = run.out.find('\n', at);
    return run.out.substr(begin == std::string::npos ? 0 : begin + 1, end - begin);
  }

  // Twenty lines of the list file as the game writes it.
  static void expect_well_formed_list(const std::string& bytes) {
    std::size_t lines = 0;
    std::size_t pos = 0;
    while (pos < bytes.size()) {
      const auto end = bytes.find("\r\n", pos);
      ASSERT_NE(end, std::string::npos) << "a line without CR LF";
      const std::string line = bytes.substr(pos, end - pos);
      if (lines % 2 == 0) {
        ASSERT_GE(line.size(), 2u);
        EXPECT_EQ(line.front(), '"');
        EXPECT_EQ(line.back(), '"');
        EXPECT_EQ(line.find('"', 1), line.size() - 1) << "a quote inside a name";
      } else {
        EXPECT_EQ(std::to_string(std::stoll(line)), line);
      }
      ++lines;
      pos = end + 2;
    }
    EXPECT_EQ(lines, 20u);
  }

  TempDir dir;
};

TEST_F(BadData, EveryPictureMissing) {
  std::filesystem::remove_all(dir.path() / "Sprites");
  const ProgramRun run = play();
  EXPECT_NE(first_state(run).find("\"GameState\": 0"), std::string::npos) << run.out;
}

TEST_F(BadData, EveryLevelMissing) {
  for (int n = 1; n <= 10; ++n) {
    char name[32];
    std::snprintf(name, sizeof name, "Data/lev%02d.dat", n);
    std::filesystem::remove(dir.path() / name);
  }
  // An empty field: the hole lands on the start cell, under the locomotive,
  // so each locomotive is lost at once and the game ends by itself.
  play();
}

// Codes the game has no picture and no rule for, on the locomotive's start
// cell: drawn as nothing, never track, and the locomotive still sets off.
TEST_F(BadData, AnUnknownCodeOnTheStartCell) {
  for (const std::int64_t code : {7LL, 99LL, -1LL, 2147483647LL, -2147483648LL}) {
    SCOPED_TRACE(code);
    std::string level = rail_level_text();
    level.replace(0, 2, std::to_string(code));
    write_levels(dir, level);
    const ProgramRun run = play();
    EXPECT_NE(first_state(run).find("\"board\": [[" + std::to_string(code) + ", 10"),
              std::string::npos)
        << first_state(run);
  }
}

TEST_F(BadData, EveryPictureAnEmptyFile) {
  for (const auto& s : kSpriteColours) dir.write(sprite(s.name), "");
  play();
}

// A picture of 100 MB (a sparse file: a proper 40 x 40 header, then nothing
// but zeros) where the grass and the station belong.
TEST_F(BadData, AHundredMegabytePicture) {
  for (const char* name : {"Gruen", "Hbf"}) {
    const std::string path = (dir.path() / sprite(name)).string();
    dir.write(sprite(name), solid_bmp(40, 40, 0xFF00C000).substr(0, 54));
    const int fd = ::open(path.c_str(), O_WRONLY);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::ftruncate(fd, 100 * 1024 * 1024), 0);
    ::close(fd);
  }
  play();
}

// Headers that claim 2^31 pixels (65536 x 32768, in both row orders, and
// 2^31 x 1) over a file of a few bytes.
TEST_F(BadData, PicturesWhoseHeaderClaimsTwoToTheThirtyOnePixels) {
  auto lying = [](std::uint32_t width, std::uint32_t height) {
    std::string bmp = solid_bmp(2, 2, 0xFF123456);
    auto put32 = [&bmp](std::size_t at, std::uint32_t v) {
      for (int i = 0; i < 4; ++i) bmp[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
    };
    put32(18, width);
    put32(22, height);
    return bmp;
  };
  // 65536 x -32768 is the same picture stored top row first.
  const std::string forms[] = {lying(65536, 32768), lying(65536, 0xFFFF8000u),
                               lying(0x80000000u, 1)};
  int i = 0;
  for (const auto& s : kSpriteColours) {
    dir.write(sprite(s.name), forms[i++ % 3]);
  }
  play();
}

// A list file of 10,000 lines: the first ten entries are read, and the save
// writes the list back in twenty lines.
TEST_F(BadData, AListFileOfTenThousandLines) {
  std::string bytes;
  for (int i = 0; i < 5000; ++i) {
    bytes += "\"Name" + std::to_string(i) + "\"\r\n" + std::to_string(100000 - i) + "\r\n";
  }
  dir.write("Data/High.dat", bytes);
  const ProgramRun run = play();
  EXPECT_NE(first_state(run).find("{\"name\": \"Name9\", \"points\": 99991}]"), std::string::npos)
      << first_state(run);
  const std::string saved = dir.read("Data/High.dat");
  expect_well_formed_list(saved);
  EXPECT_EQ(saved.substr(0, 17), "\"Name0\"\r\n100000\r\n");
}

// Binary garbage as the list: whatever it reads as, the game plays, and the
// list it saves is twenty proper lines.
TEST_F(BadData, AListFileOfBinaryGarbage) {
  for (const unsigned seed : {1u, 2u, 3u}) {
    SCOPED_TRACE(seed);
    std::mt19937 rng(seed);
    std::string bytes(4096, '\0');
    for (char& c : bytes) c = static_cast<char>(rng() & 0xFF);
    // Quotes, separators and the text-mode end mark among them.
    for (std::size_t i = 0; i < bytes.size(); i += 97) bytes[i] = "\",\r\n\x1a"[i % 5];
    dir.write("Data/High.dat", bytes);
    play();
    expect_well_formed_list(dir.read("Data/High.dat"));
  }
}

}  // namespace
}  // namespace rt::testing
