// Track codes: every shipped level and many varied tracks come back as they
// went, the shipped ones short enough for a link, and a damaged code is
// refused rather than read as another track.
#include "levels/track_code.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <vector>

namespace rt {
namespace {

// A field of pieces drawn at random, grass most often, with one hole and
// one station: fuller and more varied than any generated level.
Level random_track(std::mt19937& random) {
  static constexpr std::array<TileCode, 10> kPieces{
      tile::kGruen,    tile::kGruen,    tile::kSchieneWage, tile::kSchieneSenk, tile::kKurveOLi,
      tile::kKurveORe, tile::kKurveULi, tile::kKurveURe,    tile::kBaum1,       tile::kHaus};
  Level level;
  for (int x = 1; x <= kColumns; ++x) {
    for (int y = 1; y <= kRows; ++y) level.board.set(x, y, kPieces[random() % kPieces.size()]);
  }
  const int cells = kColumns * kRows;
  const int hole = static_cast<int>(random() % cells);
  const int station = (hole + 1 + static_cast<int>(random() % (cells - 1))) % cells;
  level.cursor_x = hole / kRows + 1;
  level.cursor_y = hole % kRows + 1;
  level.board.set(level.cursor_x, level.cursor_y, tile::kSchwarz);
  level.board.set(station / kRows + 1, station % kRows + 1, tile::kHbf);
  return level;
}

std::vector<Level> shipped_levels() {
  const char* source = std::getenv("RT_SOURCE_DIR");
  std::vector<Level> levels;
  if (source == nullptr) return levels;
  for (int n = 1; n <= kLevelCount; ++n) {
    std::ostringstream name;
    name << "lev" << (n < 10 ? "0" : "") << n << ".dat";
    std::ifstream file(std::filesystem::path(source) / "data" / "levels" / name.str(),
                       std::ios::binary);
    std::stringstream bytes;
    bytes << file.rdbuf();
    levels.push_back(read_level(bytes.str()));
  }
  return levels;
}

TEST(TrackCode, ShippedAndRandomTracksComeBackAsTheyWent) {
  const std::vector<Level> shipped = shipped_levels();
  ASSERT_EQ(shipped.size(), static_cast<std::size_t>(kLevelCount)) << "RT_SOURCE_DIR unset";
  std::vector<Level> tracks = shipped;
  std::mt19937 random(20261209);
  for (int i = 0; i < 200; ++i) tracks.push_back(random_track(random));
  for (std::size_t i = 0; i < tracks.size(); ++i) {
    const int speed = static_cast<int>(i % kLevelCount) + 1;
    const std::optional<std::string> code = encode_track(tracks[i], speed);
    ASSERT_TRUE(code) << i;
    if (i < shipped.size()) {
      EXPECT_LE(code->size(), 120u) << "level " << i + 1;
    }
    EXPECT_LE(code->size(), kMaxTrackCodeLength);
    EXPECT_EQ(
        code->find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_"),
        std::string::npos);
    const DecodedTrack back = decode_track(*code);
    ASSERT_EQ(back.error, TrackCodeError::None) << i << " " << *code;
    EXPECT_EQ(back.level.board, tracks[i].board) << i;
    EXPECT_EQ(back.level.cursor_x, tracks[i].cursor_x);
    EXPECT_EQ(back.level.cursor_y, tracks[i].cursor_y);
    EXPECT_EQ(back.speed_level, speed);
  }
}

TEST(TrackCode, EveryOneCharacterChangeIsRefusedOrGivesTheSameTrack) {
  static constexpr std::string_view kAlphabet =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_";
  std::mt19937 random(7);
  int refusals = 0;
  for (int i = 0; i < 100; ++i) {
    const Level track = random_track(random);
    const std::string code = *encode_track(track, 1 + i % kLevelCount);
    for (std::size_t at = 0; at < code.size(); ++at) {
      // Every position, each with eight other characters of the alphabet.
      for (int k = 0; k < 8; ++k) {
        std::string changed = code;
        changed[at] = kAlphabet[(kAlphabet.find(code[at]) + 1 + random() % 63) % 64];
        const DecodedTrack read = decode_track(changed);
        if (read.error != TrackCodeError::None) {
          ++refusals;
          continue;
        }
        EXPECT_EQ(read.level.board, track.board) << changed;
      }
    }
  }
  EXPECT_GT(refusals, 0);
}

TEST(TrackCode, BadCodesAndTracksAreRefusedWithTheirReason) {
  std::mt19937 random(3);
  const Level track = random_track(random);
  const std::string code = *encode_track(track, 4);
  const auto error = [](std::string_view text) { return decode_track(text).error; };
  EXPECT_EQ(error(""), TrackCodeError::Empty);
  EXPECT_EQ(error(std::string(kMaxTrackCodeLength + 1, 'B')), TrackCodeError::TooLong);
  EXPECT_EQ(error(code.substr(0, 10) + "!" + code.substr(11)), TrackCodeError::ForeignCharacter);
  EXPECT_EQ(error(code.substr(0, code.size() - 1)), TrackCodeError::Damaged);  // cut short
  EXPECT_EQ(error(code.substr(0, 20)), TrackCodeError::Damaged);
  EXPECT_EQ(error("BAAAAAA"), TrackCodeError::Damaged);
  EXPECT_EQ(error("C" + code.substr(1)), TrackCodeError::NewerVersion);
  EXPECT_EQ(error(code + "A"), TrackCodeError::Damaged);  // a character too many
  EXPECT_EQ(decode_track("").error, TrackCodeError::Empty);
  EXPECT_EQ(track_code_error_text(decode_track("C" + code.substr(1))),
            "Der Streckencode stammt aus einer neueren Version des Spiels.");

  // What cannot be coded: a track that breaks the rules, a piece the palette
  // lacks, a speed beyond the ten levels.
  Level no_station = track;
  for (int x = 1; x <= kColumns; ++x) {
    for (int y = 1; y <= kRows; ++y) {
      if (no_station.board.get(x, y) == tile::kHbf) no_station.board.set(x, y, tile::kGruen);
    }
  }
  EXPECT_FALSE(encode_track(no_station, 1));
  Level foreign = track;
  foreign.board.set(foreign.cursor_x == 1 ? 2 : 1, 1, 99);
  EXPECT_FALSE(encode_track(foreign, 1));
  EXPECT_FALSE(encode_track(track, 0));
  EXPECT_FALSE(encode_track(track, kLevelCount + 1));
}

}  // namespace
}  // namespace rt
