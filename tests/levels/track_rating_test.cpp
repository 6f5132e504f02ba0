// A player's track: the rules it must keep, the verdict's words, and the
// raters that answer the newest question.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "levels/level_text.h"
#include "levels/track_raters.h"
#include "levels/track_rules.h"

namespace rt {
namespace {

TEST(TrackRules, OneHoleTheLevelNamesAndOneStation) {
  EXPECT_EQ(track_fault(level_from_text({"--S", "..o"})), TrackFault::None);
  EXPECT_EQ(track_fault(level_from_text({"--S", "..."})), TrackFault::NoHole);
  EXPECT_EQ(track_fault(level_from_text({"--S", ".oo"})), TrackFault::ManyHoles);
  EXPECT_EQ(track_fault(level_from_text({"---", "..o"})), TrackFault::NoStation);
  EXPECT_EQ(track_fault(level_from_text({"-SS", "..o"})), TrackFault::ManyStations);
  Level moved = level_from_text({"--S", "..o"});
  moved.cursor_x = 1;
  EXPECT_EQ(track_fault(moved), TrackFault::HoleMisplaced);
  EXPECT_EQ(track_fault_text(TrackFault::NoStation), "Es fehlt der Bahnhof.");
}

TEST(TrackRating, VerdictsAndTheirWords) {
  // Won as it lies: the station is beside the locomotive after one step.
  const TrackRating won = rate_track(level_from_text({"--S", "..o"}), 4.0f);
  EXPECT_EQ(won.verdict, TrackVerdict::WonWithoutSlide);
  EXPECT_EQ(verdict_text(won), "ohne Zug gewonnen");
  // The locomotive runs into a tree at once: nothing saves it.
  EXPECT_EQ(rate_track(level_from_text({"-T.S", "...o"}), 0.3f).verdict,
            TrackVerdict::CannotBeSaved);
  EXPECT_EQ(verdict_text({TrackVerdict::Solvable, 5, 2.49}),
            "l\xC3\xB6sbar mit 5 Z\xC3\xBCgen, 2,4 s Luft");
  EXPECT_EQ(verdict_text({TrackVerdict::Solvable, 1, 0.3}), "l\xC3\xB6sbar mit 1 Zug, 0,3 s Luft");
  EXPECT_EQ(verdict_text({TrackVerdict::TooHard, 0, 0}), "zu schwer f\xC3\xBCr die Suche");
}

TEST(TrackRating, TheThreadAnswersTheNewestQuestionOnly) {
  ThreadTrackRater rater;
  const std::uint64_t first = rater.ask(level_from_text({"-T.S", "...o"}), 4.0f);
  const std::uint64_t second = rater.ask(level_from_text({"--S", "..o"}), 4.0f);
  EXPECT_GT(second, first);
  std::optional<TrackRating> answer;
  for (int i = 0; i < 2000 && !answer; ++i) {
    answer = rater.answer(second);
    if (!answer) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  ASSERT_TRUE(answer);
  EXPECT_EQ(answer->verdict, TrackVerdict::WonWithoutSlide);
  EXPECT_FALSE(rater.answer(first));

  InlineTrackRater inline_rater;
  const std::uint64_t asked = inline_rater.ask(level_from_text({"--S", "..o"}), 4.0f);
  EXPECT_EQ(inline_rater.answer(asked)->verdict, TrackVerdict::WonWithoutSlide);
}

}  // namespace
}  // namespace rt
