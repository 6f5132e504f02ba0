// The explosion of a lost locomotive and the four sound effects.

#include <gtest/gtest.h>

#include "tests/support/game_fixture.h"

namespace rt::testing {
namespace {

class CrashTest : public GameFixture {
 protected:
  // Samples the locomotive's cell in the middle of each 150 ms frame.
  std::vector<Color> sample_frames(double start, int count) {
    auto frames = std::make_shared<std::vector<Color>>();
    for (int k = 0; k < count; ++k) {
      host.at(start + 0.075 + 0.15 * k,
              [this, frames] { frames->push_back(cell_colour(game.loco_x, game.loco_y)); });
    }
    game.explode_locomotive();
    return *frames;
  }
};

TEST_F(CrashTest, FifteenPicturesInTwoAndAQuarterSecondsExplo1FirstAndLast) {
  game.loco_x = 6;
  game.loco_y = 3;
  const double start = host.now();
  const std::vector<Color> frames = sample_frames(start, 15);
  const double took = host.now() - start;
  EXPECT_GT(took, 2.25);
  EXPECT_LT(took, 2.251);
  ASSERT_EQ(frames.size(), 15u);
  int first = 0, second = 0;
  for (std::size_t k = 0; k < frames.size(); ++k) {
    const Color want = colour_of(k % 2 == 0 ? "Explo1" : "Explo2");
    EXPECT_EQ(frames[k], want) << k;
    first += frames[k] == colour_of("Explo1");
    second += frames[k] == colour_of("Explo2");
  }
  EXPECT_EQ(first, 8);
  EXPECT_EQ(second, 7);
  EXPECT_TRUE(cell_is(6, 3, colour_of("Explo1")));
  EXPECT_TRUE(host.sounds().empty());
}

TEST_F(CrashTest, EveryCallStartsWithExplo1) {
  game.loco_x = 2;
  game.loco_y = 2;
  game.explode_locomotive();
  const double start = host.now();
  const std::vector<Color> frames = sample_frames(start, 1);
  ASSERT_EQ(frames.size(), 1u);
  EXPECT_EQ(frames[0], colour_of("Explo1"));
}

TEST_F(CrashTest, KeysCutTheWaitsShortButTheAnimationStillEndsAfterTwoSeconds) {
  game.loco_x = 2;
  game.loco_y = 2;
  // A held key repeating every 50 ms from the start.
  host.press(host.now(), scan::kUp, extended_code(scan::kUp));
  const double start = host.now();
  game.explode_locomotive();
  const double took = host.now() - start;
  EXPECT_GT(took, 2.0);
  EXPECT_LT(took, 2.2);
}

class SoundTest : public GameFixture {};

TEST_F(SoundTest, EachEffectPlaysItsFileWhenTheSoundIsOn) {
  game.play_ping();
  game.play_explosion();
  game.play_ding();
  game.play_next();
  EXPECT_EQ(sound_names(),
            (std::vector<std::string>{"ping.wav", "Explosion.wav", "ding.wav", "next.wav"}));
}

TEST_F(SoundTest, NoEffectPlaysWhenTheSoundIsOff) {
  game.sound_on = 0;
  game.play_ping();
  game.play_explosion();
  game.play_ding();
  game.play_next();
  EXPECT_TRUE(host.sounds().empty());
}

TEST_F(SoundTest, AnyValueButZeroCountsAsOn) {
  game.sound_on = -1;
  game.play_ding();
  game.sound_on = 2;
  game.play_ping();
  EXPECT_EQ(sound_names(), (std::vector<std::string>{"ding.wav", "ping.wav"}));
}

}  // namespace
}  // namespace rt::testing
