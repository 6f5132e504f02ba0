// The level tool's encode, decode and rate: a level file to its code and
// back, its verdict, and the statuses of what goes wrong.
#include "tools/level_tool/track_code_command.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "game/level_file.h"
#include "levels/level_text.h"
#include "levels/track_rating.h"
#include "tests/support/temp_dir.h"
#include "tools/level_tool/exit_status.h"

namespace rt::level_tool {
namespace {

struct Outcome {
  int status;
  std::string out;
  std::string err;
};

template <typename Command>
Outcome run(Command command, const std::vector<std::string>& args) {
  std::ostringstream out;
  std::ostringstream err;
  const int status = command(args, out, err);
  return {status, out.str(), err.str()};
}

TEST(TrackCodeCommand, EncodeAndDecodeGiveTheLevelBackAndRefuseWhatTheyCannot) {
  rt::testing::TempDir dir;
  const Level level = rt::level_from_text({"--o-S", "TT-.."});
  dir.write("gap.dat", level_file_text(level));
  const std::string gap = (dir.path() / "gap.dat").string();
  const Outcome encoded = run(encode_command, {gap, "--speed", "7"});
  ASSERT_EQ(encoded.status, 0) << encoded.err;
  const std::string code = encoded.out.substr(0, encoded.out.find('\n'));
  const std::string back = (dir.path() / "back.dat").string();
  const Outcome decoded = run(decode_command, {code, "--out", back});
  ASSERT_EQ(decoded.status, 0) << decoded.err;
  EXPECT_EQ(decoded.out, back + ": speed level 7\n");
  EXPECT_EQ(dir.read("back.dat"), level_file_text(level));

  // A code with a character altered, a level without a station, bad
  // arguments, a file that is not there or cannot be written.
  std::string altered = code;
  altered[3] = altered[3] == 'A' ? 'B' : 'A';
  const Outcome refused = run(decode_command, {altered, "--out", back});
  EXPECT_EQ(refused.status, kFaultsStatus);
  EXPECT_NE(refused.err.find("besch\xC3\xA4"
                             "digt"),
            std::string::npos)
      << refused.err;
  EXPECT_EQ(dir.read("back.dat"), level_file_text(level)) << "a refused code writes nothing";
  dir.write("open.dat", level_file_text(rt::level_from_text({"--o--"})));
  EXPECT_EQ(run(encode_command, {(dir.path() / "open.dat").string()}).status, kFaultsStatus);
  EXPECT_EQ(run(encode_command, {gap, "--speed", "11"}).status, kUsageStatus);
  EXPECT_EQ(run(encode_command, {}).status, kUsageStatus);
  EXPECT_EQ(run(decode_command, {code}).status, kUsageStatus);
  EXPECT_EQ(run(encode_command, {(dir.path() / "none.dat").string()}).status, kFileStatus);
  EXPECT_EQ(run(decode_command, {code, "--out", (dir.path() / "no" / "x.dat").string()}).status,
            kFileStatus);

  // rate says what the editor says, and refuses a track without a station.
  const Outcome rated = run(rate_command, {gap, "--speed", "7"});
  EXPECT_EQ(rated.out, gap + ", speed level 7: " +
                           verdict_text(rate_track(level, interval_of_level(7))) + "\n");
  EXPECT_EQ(run(rate_command, {(dir.path() / "open.dat").string()}).status, kFaultsStatus);
  EXPECT_EQ(run(rate_command, {gap, "--speed"}).status, kUsageStatus);
}

}  // namespace
}  // namespace rt::level_tool
