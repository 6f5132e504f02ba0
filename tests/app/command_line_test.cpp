// The command line: options, --help and --version, wrong options.
#include "app/command_line.h"

#include <gtest/gtest.h>

#include <vector>

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

TEST(CommandLine, UsageNamesTheProgramEveryOptionAndTheKeys) {
  const std::string text = usage_text("rangiertrubel");
  EXPECT_EQ(text.rfind("Usage: rangiertrubel [OPTION]...\n", 0), 0u);
  for (const char* word : {"--fullscreen", "--windowed", "--integer-scale", "--help", "--version",
                           "Escape", "F11", "Alt+Enter", "gamepad"}) {
    EXPECT_NE(text.find(word), std::string::npos) << word;
  }
}

}  // namespace
}  // namespace rt
