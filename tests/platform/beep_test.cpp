// The line input's beep as every host plays it.

#include "platform/beep.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <vector>

namespace rt {
namespace {

TEST(Beep, IsAQuarterSecondOfOneKilohertzWithSoftEdges) {
  const std::vector<std::int16_t> beep = make_beep(44100, 2);
  ASSERT_EQ(beep.size(), 11025u * 2);
  int peak = 0;
  int rising_crossings = 0;
  for (std::size_t i = 0; i < beep.size(); i += 2) {
    EXPECT_EQ(beep[i], beep[i + 1]) << "both channels carry the same tone";
    peak = std::max(peak, std::abs(static_cast<int>(beep[i])));
    if (i >= 2 && beep[i - 2] < 0 && beep[i] >= 0) ++rising_crossings;
  }
  // One rising zero crossing per period: 250 periods in 0.25 s.
  EXPECT_NEAR(rising_crossings, 250, 1);
  // A moderate volume, well below full scale but clearly audible.
  EXPECT_GT(peak, 32767 / 8);
  EXPECT_LT(peak, 32767 / 2);
  // The fades: silent at both ends, quiet just inside them.
  EXPECT_EQ(beep.front(), 0);
  EXPECT_EQ(beep[beep.size() - 1], 0);
  for (std::size_t frame = 0; frame < 40; ++frame) {
    EXPECT_LT(std::abs(beep[frame * 2]), peak / 2) << "frame " << frame;
    EXPECT_LT(std::abs(beep[beep.size() - 2 - frame * 2]), peak / 2) << "frame from end " << frame;
  }
}

TEST(Beep, FollowsRateAndChannelsAndRefusesNonsense) {
  EXPECT_EQ(make_beep(8000, 1).size(), 2000u);
  EXPECT_EQ(make_beep(48000, 6).size(), 12000u * 6);
  EXPECT_TRUE(make_beep(0, 2).empty());
  EXPECT_TRUE(make_beep(44100, 0).empty());
  EXPECT_TRUE(make_beep(-44100, -2).empty());
}

}  // namespace
}  // namespace rt
