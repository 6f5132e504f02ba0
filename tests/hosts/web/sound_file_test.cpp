// The page's sound files go through the bounded reader: a sound the game can
// play is decoded, one past the size cap or not a WAV plays nothing.
#include "hosts/web/sound_file.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/os/bounded_read.h"
#include "tests/support/sim_fixture.h"

namespace rt::testing {
namespace {

std::string wav_of(std::size_t samples) {
  const std::vector<std::int16_t> silence(samples, 100);
  const std::vector<std::uint8_t> bytes = encode_wav(silence, 22050);
  return std::string(bytes.begin(), bytes.end());
}

TEST(PageSoundFileTest, ReadsAPlayableSoundAndRefusesOneTooLongOrBroken) {
  TempDir dir;
  dir.write("Waves/Short.wav", wav_of(441));
  // A well-formed WAV one sample beyond the cap: read whole, it would have
  // held the page's memory and thread up.
  dir.write("Waves/Long.wav", wav_of(kMaxSoundFileBytes / 2 + 1));
  dir.write("Waves/Broken.wav", "RIFF not a sound");

  const auto sound = read_sound_file(dir.path() / "Waves/Short.wav");
  ASSERT_TRUE(sound);
  EXPECT_EQ(sound->channels, 1);
  EXPECT_EQ(sound->sample_rate, 22050);
  EXPECT_EQ(sound->samples.size(), 441u);

  EXPECT_FALSE(read_sound_file(dir.path() / "Waves/Long.wav"));
  std::string problem;
  EXPECT_FALSE(read_sound_file(dir.path() / "Waves/Broken.wav", &problem));
  EXPECT_EQ(problem, "ist kein lesbarer Klang");  // the host reports it as the platform does
  EXPECT_FALSE(read_sound_file(dir.path() / "Waves/Missing.wav"));
  EXPECT_FALSE(read_sound_file(dir.path() / "Waves"));  // a folder, not a file
}

}  // namespace
}  // namespace rt::testing
