// The desktop host's sound: the one-voice output on SDL's silent "dummy"
// audio driver.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <thread>
#include <vector>

#include "hosts/sdl/sdl_host.h"
#include "platform/formats/wav.h"
#include "tests/support/sim_fixture.h"

namespace rt {
namespace {

class SdlAudioTest : public ::testing::Test {
 protected:
  void SetUp() override { ::setenv("SDL_AUDIODRIVER", "dummy", 1); }

  // A mono tone file of `seconds` at `rate`, written under the temp folder.
  std::string write_tone(const std::string& name, double seconds, int rate) {
    std::vector<std::int16_t> samples(static_cast<std::size_t>(seconds * rate));
    for (std::size_t i = 0; i < samples.size(); ++i) {
      samples[i] = static_cast<std::int16_t>(std::lround(8000 * std::sin(i * 0.1)));
    }
    const auto bytes = encode_wav(samples, rate);
    dir.write(name, std::string(bytes.begin(), bytes.end()));
    return (dir.path() / name).string();
  }

  testing::TempDir dir;
};

TEST_F(SdlAudioTest, PlaysAFileConvertedToTheDeviceRateAndKeepsIt) {
  SdlAudio audio;
  ASSERT_TRUE(audio.is_open());
  EXPECT_EQ(audio.frames_left(), 0u);
  // Two seconds at 22050 Hz become 88200 frames at 44100 Hz.
  const std::string path = write_tone("long.wav", 2.0, 22050);
  audio.play_file(path);
  EXPECT_GT(audio.frames_left(), 80000u);
  EXPECT_LE(audio.frames_left(), 88200u);
  EXPECT_EQ(audio.cached_files(), 1u);
  // Playing it again starts it from the beginning, without loading it twice.
  audio.play_file(path);
  EXPECT_GT(audio.frames_left(), 80000u);
  EXPECT_EQ(audio.cached_files(), 1u);
}

TEST_F(SdlAudioTest, ANewSoundReplacesThePlayingOne) {
  SdlAudio audio;
  ASSERT_TRUE(audio.is_open());
  audio.play_file(write_tone("long.wav", 2.0, 44100));
  ASSERT_GT(audio.frames_left(), 80000u);
  audio.play_file(write_tone("short.wav", 0.1, 44100));
  EXPECT_LE(audio.frames_left(), 4410u);
  audio.play_beep();
  EXPECT_GT(audio.frames_left(), 0u);
  EXPECT_LE(audio.frames_left(), 11025u);
}

TEST_F(SdlAudioTest, MissingOrBrokenFilesPlayNothingAndStopNothing) {
  SdlAudio audio;
  ASSERT_TRUE(audio.is_open());
  audio.play_file(write_tone("long.wav", 2.0, 44100));
  ASSERT_GT(audio.frames_left(), 80000u);
  std::string problem;
  audio.play_file((dir.path() / "missing.wav").string(), &problem);
  EXPECT_EQ(problem, "") << "a missing file is not reported";
  dir.write("broken.wav", "RIFF\x10\0\0\0WAVEfmt junk");
  audio.play_file((dir.path() / "broken.wav").string(), &problem);
  EXPECT_EQ(problem, "ist kein lesbarer Klang");
  audio.play_file("");
  // 8-bit samples: a WAV that SDL's own loader would take, but not the
  // game's reader, which the page uses too; a sound plays on both or neither.
  std::vector<std::int16_t> tone(4410, 1000);
  std::vector<std::uint8_t> eight_bit = encode_wav(tone, 44100);
  eight_bit[32] = 1;  // block align
  eight_bit[34] = 8;  // bits per sample
  dir.write("eight.wav", std::string(eight_bit.begin(), eight_bit.end()));
  audio.play_file((dir.path() / "eight.wav").string());
  EXPECT_EQ(audio.failed_files(), 2u);
  EXPECT_GT(audio.frames_left(), 80000u) << "the long sound plays on";
  EXPECT_EQ(audio.cached_files(), 1u) << "failures are not kept";
  // A file that appears later plays.
  const std::string late = write_tone("missing.wav", 0.1, 44100);
  audio.play_file(late);
  EXPECT_LE(audio.frames_left(), 4410u);
  EXPECT_EQ(audio.cached_files(), 2u);
}

TEST_F(SdlAudioTest, ASilentDeviceIsClosedAndTheNextSoundOpensItAgain) {
  SdlAudio audio(std::chrono::milliseconds(0));
  ASSERT_TRUE(audio.is_open());
  audio.play_file(write_tone("long.wav", 2.0, 44100));
  audio.close_when_silent();
  audio.close_when_silent();
  EXPECT_TRUE(audio.device_open()) << "a sound plays";
  // A sound of a few frames replaces it and is soon played out.
  audio.play_file(write_tone("tick.wav", 0.001, 44100));
  for (int i = 0; i < 100 && audio.frames_left() > 0; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  ASSERT_EQ(audio.frames_left(), 0u);
  audio.close_when_silent();  // silence seen
  audio.close_when_silent();  // and still silent: closed
  EXPECT_FALSE(audio.device_open());
  EXPECT_TRUE(audio.is_open()) << "sound can still be played";
  audio.play_beep();
  EXPECT_TRUE(audio.device_open());
  EXPECT_GT(audio.frames_left(), 0u);
}

// Neither a named pipe nobody writes to, nor an endless device, nor a huge
// file holds the game up; each is tried once only.
TEST_F(SdlAudioTest, FilesThatAreNoSoundsAreTriedOnceAndNeverBlock) {
  SdlAudio audio;
  ASSERT_TRUE(audio.is_open());
  ASSERT_EQ(::mkfifo((dir.path() / "pipe.wav").c_str(), 0644), 0);
  std::filesystem::create_symlink("/dev/zero", dir.path() / "zero.wav");
  dir.write("huge.wav", "");
  std::filesystem::resize_file(dir.path() / "huge.wav", std::uintmax_t{1} << 31);  // sparse
  std::filesystem::create_directory(dir.path() / "folder.wav");
  dir.write("broken.wav", "RIFF\x10\0\0\0WAVEfmt junk");
  const auto start = std::chrono::steady_clock::now();
  for (int round = 0; round < 3; ++round) {
    for (const char* name : {"pipe.wav", "zero.wav", "huge.wav", "folder.wav", "broken.wav"}) {
      audio.play_file((dir.path() / name).string());
    }
  }
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
  EXPECT_EQ(audio.failed_files(), 5u);
  EXPECT_EQ(audio.cached_files(), 0u);
  EXPECT_EQ(audio.frames_left(), 0u);
}

}  // namespace
}  // namespace rt
