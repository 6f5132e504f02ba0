// A game on a player's track, run as the whole program on the simulated
// host: the program proves the track and names the verdict in the menu, then
// plays the track at the code's speed, the same track for every level.
#include <gtest/gtest.h>

#include "app/program.h"
#include "app/sim_run.h"
#include "levels/level_text.h"
#include "levels/track_code.h"
#include "platform/keyboard.h"
#include "tests/support/front_fixture.h"

namespace rt::testing {
namespace {

using TrackGameTest = SimFixture;

TEST_F(TrackGameTest, ProvesTheTrackThenPlaysItAtItsSpeedLevelAfterLevel) {
  // Won as it lies: the station is beside the locomotive after two steps.
  const Level track = level_from_text({"---S", "...o"});
  const DecodedTrack shared = decode_track(*encode_track(track, 9));
  ASSERT_EQ(shared.error, TrackCodeError::None);
  Program program{platform};
  const TrackRating rating = program.play_track(shared.level, shared.speed_level);
  EXPECT_EQ(rating.verdict, TrackVerdict::WonWithoutSlide);

  host.at(1.0, [&] { EXPECT_EQ(screen_text(platform, 37, 40, 25), "Strecke ohne Zug gewonnen"); });
  host.press(1.5, scan::kEnter, keycode::kEnter);
  host.release(1.6, scan::kEnter);
  int starts = 0;
  host.on_sound = [&](const SimHost::Sound& sound) {
    if (sound.name != "next.wav") return;
    ++starts;
    // Level 9, then 10, then round two from level 1: the track each time.
    EXPECT_EQ(program.game.level, level_counter_of(8 + starts));
    EXPECT_TRUE(program.game.board == track.board);
    host.press(sound.time + 3.5, scan::kSpace, ' ');
    host.release(sound.time + 3.6, scan::kSpace);
  };
  host.set_time_limit(40.0);
  EXPECT_EQ(run_on_sim(host, program).how, SimEnd::How::Stopped);
  EXPECT_GE(starts, 2);
}

}  // namespace
}  // namespace rt::testing
