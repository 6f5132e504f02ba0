// The command line: options, --help and --version, wrong options.
#include "app/command_line.h"

#include <gtest/gtest.h>

#include <sstream>
#include <vector>

#include "levels/seed.h"

namespace rt {
namespace {

CommandLine parse(std::vector<std::string_view> args) {
  return parse_command_line(args);
}

TEST(CommandLine, OptionsChooseTheScreenAndTheScaling) {
  const CommandLine none = parse({});
  EXPECT_EQ(none.action, CommandLine::Action::Play);
  EXPECT_FALSE(none.fullscreen.has_value());
  EXPECT_FALSE(none.integer_scale);

  const CommandLine both = parse({"--windowed", "--integer-scale", "--fullscreen"});
  EXPECT_EQ(both.action, CommandLine::Action::Play);
  EXPECT_EQ(both.fullscreen, true);  // the last one counts
  EXPECT_TRUE(both.integer_scale);
  EXPECT_EQ(parse({"--fullscreen", "--windowed"}).fullscreen, false);
}

TEST(CommandLine, HelpAndVersionWinUnknownOptionsAreWrong) {
  EXPECT_EQ(parse({"--windowed", "--help"}).action, CommandLine::Action::Help);
  EXPECT_EQ(parse({"-h"}).action, CommandLine::Action::Help);
  EXPECT_EQ(parse({"--version", "--help"}).action, CommandLine::Action::Help);
  EXPECT_EQ(parse({"--version"}).action, CommandLine::Action::Version);
  for (const char* wrong : {"--fullscreen=1", "-f", "--Help", "", "level1", "--"}) {
    const CommandLine line = parse({"--help", wrong});
    EXPECT_EQ(line.action, CommandLine::Action::Wrong) << wrong;
    EXPECT_EQ(line.wrong, wrong);
  }
}

TEST(CommandLine, SeedTakesANumberAWordOrRandomAndNothingElse) {
  EXPECT_EQ(parse({"--seed", "42", "--windowed"}).seed, 42u);
  EXPECT_EQ(parse({"--seed", "1", "--seed", "J\xC3\xB6rg"}).seed, parse_seed("J\xC3\xB6rg"));
  const CommandLine random = parse({"--seed", "random"});
  EXPECT_EQ(random.action, CommandLine::Action::Play);
  EXPECT_TRUE(random.random_seed);
  EXPECT_FALSE(random.seed);
  EXPECT_FALSE(parse({}).seed);
  const CommandLine today = parse({"--seed", "heute"});
  EXPECT_EQ(today.action, CommandLine::Action::Play);
  EXPECT_TRUE(today.day_seed);
  EXPECT_FALSE(today.seed);
  // A player's track: read from its code, or refused with the reason.
  Level track;
  for (int x = 1; x <= kColumns; ++x) {
    for (int y = 1; y <= kRows; ++y) track.board.set(x, y, tile::kGruen);
  }
  track.board.set(1, 1, tile::kSchieneWage);
  track.board.set(2, 1, tile::kHbf);
  track.board.set(3, 3, tile::kSchwarz);
  track.cursor_x = 3;
  track.cursor_y = 3;
  const std::optional<std::string> coded = encode_track(track, 6);
  ASSERT_TRUE(coded);
  const std::string code = *coded;
  const CommandLine shared = parse({"--track", code});
  ASSERT_TRUE(shared.track);
  EXPECT_EQ(shared.track->speed_level, 6);
  EXPECT_EQ(shared.track->level.board, track.board);
  const CommandLine cut = parse({"--track", code.substr(0, 12)});
  EXPECT_EQ(cut.action, CommandLine::Action::Wrong);
  EXPECT_EQ(cut.track_refused,
            "Der Streckencode ist besch\xC3\xA4"
            "digt oder unvollst\xC3\xA4ndig.");
  EXPECT_EQ(parse({"--track"}).action, CommandLine::Action::Wrong);

  for (const char* bad : {"4294967296", "zwei Worte", "", "--windowed"}) {
    const CommandLine line = parse({"--seed", bad});
    EXPECT_EQ(line.action, CommandLine::Action::Wrong) << bad;
    EXPECT_EQ(line.wrong, bad);
    EXPECT_FALSE(line.wrong_because.empty());
  }
  EXPECT_EQ(parse({"--help", "--seed"}).action, CommandLine::Action::Wrong);
}

TEST(CommandLine, EditTakesAFileUnlessAnOptionFollowsAndLevelOneToTen) {
  EXPECT_EQ(parse({"--edit", "meine.dat"}).edit_file, "meine.dat");
  const CommandLine bare = parse({"--edit", "--windowed"});
  EXPECT_TRUE(bare.edit);
  EXPECT_FALSE(bare.edit_file);
  EXPECT_EQ(bare.fullscreen, false);
  EXPECT_EQ(parse({"--level", "10"}).first_level, 10);
  for (const char* bad : {"0", "11", "x", "01"}) {
    EXPECT_EQ(parse({"--level", bad}).action, CommandLine::Action::Wrong) << bad;
  }
  EXPECT_EQ(parse({"--level"}).action, CommandLine::Action::Wrong);
}

TEST(CommandLine, UsageNamesTheProgramEveryOptionAndTheKeys) {
  const std::string text = usage_text("rangiertrubel");
  EXPECT_EQ(text.rfind("Usage: rangiertrubel [OPTION]...\n", 0), 0u);
  for (const char* word : {"--fullscreen", "--windowed", "--integer-scale", "--seed", "random",
                           "HighGen.dat", "--help", "--version", "Escape", "F11", "Alt+Enter",
                           "gamepad", "--edit", "--level", "Ctrl+Z", "Strecken"}) {
    EXPECT_NE(text.find(word), std::string::npos) << word;
  }
}

TEST(CommandLine, AnAnswerThatCannotBeWrittenIsAFailure) {
  std::ostringstream out;
  std::ostringstream err;
  EXPECT_EQ(write_answer(out, err, "rangiertrubel 1\n"), 0);
  EXPECT_EQ(out.str(), "rangiertrubel 1\n");
  EXPECT_TRUE(err.str().empty());
  // An output that takes nothing, as /dev/full or a closed pipe.
  std::ostream full(nullptr);
  EXPECT_EQ(write_answer(full, err, usage_text("rangiertrubel")), 1);
  EXPECT_EQ(err.str(), "rangiertrubel: cannot write the output\n");
}

}  // namespace
}  // namespace rt
