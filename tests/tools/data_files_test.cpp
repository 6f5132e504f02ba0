// The generators make exactly the pictures and sounds of the game's table:
// a file the table lacks, or one it has that a generator misses, fails here.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>

#include "game/assets.h"
#include "tests/support/sim_fixture.h"

namespace rt::testing {
namespace {

namespace fs = std::filesystem;

// Runs the generator `program` from the build's bin/ with `out` as its
// folder and gives the names of the files it wrote.
std::set<std::string> files_made_by(const std::string& program, const fs::path& out) {
  const fs::path exe = fs::path(RT_TEST_BINARY_DIR) / "bin" / program;
  const std::string command = "'" + exe.string() + "' '" + out.string() + "'";
  EXPECT_EQ(std::system(command.c_str()), 0) << command;
  std::set<std::string> names;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(out, ec)) {
    names.insert(entry.path().filename().string());
  }
  return names;
}

TEST(DataFiles, ThePictureGeneratorMakesEveryPictureOfTheTableAndTheWindowIconAndNoOther) {
  TempDir dir;
  std::set<std::string> want;
  for (const auto& picture : assets::kPictures) {
    want.insert(std::string(picture.name) + std::string(assets::kPictureExtension));
  }
  EXPECT_EQ(want.size(), assets::kPictures.size()) << "a picture is named twice";
  // And the window's icon, which the desktop host loads beside them.
  EXPECT_TRUE(
      want.insert(std::string(assets::kWindowIcon.name) + std::string(assets::kPictureExtension))
          .second);
  EXPECT_EQ(files_made_by("make_sprites", dir.path() / "Sprites"), want);
}

TEST(DataFiles, TheSoundGeneratorMakesEverySoundOfTheTableAndNoOther) {
  TempDir dir;
  std::set<std::string> want;
  for (const auto name : assets::kSounds) {
    want.insert(std::string(name) + std::string(assets::kSoundExtension));
  }
  EXPECT_EQ(want.size(), assets::kSounds.size()) << "a sound is named twice";
  EXPECT_EQ(files_made_by("make_sounds", dir.path() / "Waves"), want);
}

}  // namespace
}  // namespace rt::testing
