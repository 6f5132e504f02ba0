// Seeds as a player types them: numbers, words with umlauts, and the rest.
#include "levels/seed.h"

#include <gtest/gtest.h>

#include <string>

#include "levels/generator.h"
#include "levels/seeded_levels.h"

namespace rt {
namespace {

TEST(Seed, NumbersAreThemselvesUpToThirtyTwoBits) {
  EXPECT_EQ(parse_seed("0"), 0u);
  EXPECT_EQ(parse_seed("12345"), 12345u);
  EXPECT_EQ(parse_seed("007"), 7u);
  EXPECT_EQ(parse_seed("4294967295"), 4294967295u);
  // One above the largest is no seed, and not a word either.
  EXPECT_EQ(parse_seed("4294967296"), std::nullopt);
  EXPECT_EQ(parse_seed("99999999999999999999"), std::nullopt);
}

TEST(Seed, WordsAreHashedByTheirUtf8Bytes) {
  // Published FNV-1a 32-bit values, so others can compute a seed.
  EXPECT_EQ(seed_of_word(""), 2166136261u);
  EXPECT_EQ(seed_of_word("a"), 0xE40C292Cu);
  EXPECT_EQ(seed_of_word("foobar"), 0xBF9CF968u);
  EXPECT_EQ(parse_seed("foobar"), 0xBF9CF968u);
  EXPECT_EQ(parse_seed("Lok42"), seed_of_word("Lok42"));
  EXPECT_NE(parse_seed("Lok42"), parse_seed("lok42"));

  // Umlauts and ß are letters; "Jörg" in UTF-8 is 5 bytes, 4 letters.
  EXPECT_EQ(parse_seed("J\xC3\xB6rg"), 3515088095u);
  EXPECT_NE(parse_seed("J\xC3\xB6rg"), parse_seed("Jorg"));
  EXPECT_TRUE(parse_seed("\xC3\x84\xC3\x96\xC3\x9C\xC3\xA4\xC3\xB6\xC3\xBC\xC3\x9F"));
  EXPECT_TRUE(parse_seed("\xC5\x81\xC3\xB3\x64\xC5\xBA"));  // Łódź

  // 32 letters are a seed, 33 are not, counted in letters, not bytes.
  std::string umlauts;
  for (int i = 0; i < 32; ++i) umlauts += "\xC3\xBC";
  EXPECT_TRUE(parse_seed(umlauts));
  EXPECT_FALSE(parse_seed(umlauts + "x"));
  EXPECT_TRUE(parse_seed(std::string(31, 'a') + "1"));
  EXPECT_FALSE(parse_seed(std::string(33, 'a')));
}

TEST(Seed, TheDaysTrackIsTheSeedOfTheUtcDate) {
  EXPECT_EQ(utc_date(0), "1970-01-01");
  EXPECT_EQ(utc_date(1709251199), "2024-02-29");  // the leap day's last second
  EXPECT_EQ(utc_date(1796774400), "2026-12-09");
  EXPECT_EQ(utc_date(-1), "1969-12-31");
  // FNV-1a of the ten characters, as anyone can compute it.
  EXPECT_EQ(seed_of_day("2026-12-09"), 3307136551u);
}

TEST(Seed, AnythingElseIsNoSeed) {
  for (const char* bad : {"", " 1", "1 ", "-1", "+1", "1.5", "Jo rg", "a-b", "a_b",
                          "\xC3\x97",           // × is a sign, not a letter
                          "\xC3\xB7",           // ÷
                          "\xC2\xA9",           // ©
                          "\xC3",               // cut off
                          "\xC3\x28",           // not a continuation byte
                          "\xC0\xB1",           // an overlong '1'
                          "\xE2\x82\xAC",       // €
                          "\xF0\x9F\x9A\x82"})  // a locomotive emoji
  {
    EXPECT_EQ(parse_seed(bad), std::nullopt) << bad;
  }
  EXPECT_EQ(parse_seed(std::string("a\0b", 3)), std::nullopt);
}

// The levels made ahead on their own threads are the generator's, kept: a
// level asked for again is the same one, and a number beyond ten is level 1.
TEST(SeededLevels, AreTheGeneratorsLevelsMadeOnce) {
  for (const LevelMaking making : {LevelMaking::Ahead, LevelMaking::WhenAsked}) {
    SeededLevels levels(77, making);
    const Level& first = levels.level(1);
    EXPECT_EQ(first.board, generate_level(77, 1).board);
    EXPECT_EQ(levels.level(2).board, generate_level(77, 2).board);
    EXPECT_EQ(&levels.level(1), &first);
    EXPECT_EQ(&levels.level(11), &first);
  }
}

}  // namespace
}  // namespace rt
