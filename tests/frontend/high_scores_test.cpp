// The list of the ten best scores: loading, showing, entering a name and
// keeping the file.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/keyboard.h"
#include "support/front_fixture.h"

namespace rt::testing {
namespace {

class HighScoresTest : public FrontFixture {
 protected:
  void set_points(std::initializer_list<std::int32_t> points) {
    std::size_t i = 0;
    for (std::int32_t p : points) {
      front.high_scores[i] = {"P" + std::to_string(i + 1), p};
      ++i;
    }
  }
  // Types `line` and Enter into the name entry, with `score` as the result.
  void enter(std::int32_t score, const std::string& line) {
    game.score = score;
    double t = 0.5;
    for (char c : line) {
      host.type_code(t, static_cast<unsigned char>(c));
      t += 0.05;
    }
    host.type_code(t, keycode::kEnter);
    run([&] { front.enter_high_score(); });
    ASSERT_TRUE(returned);
  }
  std::string names() const {
    std::string all;
    for (const auto& e : front.high_scores) all += e.name + ":" + std::to_string(e.points) + " ";
    return all;
  }
};

// --- Loading -----------------------------------------------------------

TEST_F(HighScoresTest, LoadsTwentyFieldsFromLinesOrCommas) {
  std::string lines;
  for (int i = 1; i <= 10; ++i)
    lines += "\"N" + std::to_string(i) + "\"\r\n" + std::to_string(1000 - i) + "\r\n";
  dir.write("Data/High.dat", lines);
  front.load_high_scores();
  EXPECT_EQ(front.high_scores[0].name, "N1");
  EXPECT_EQ(front.high_scores[0].points, 999);
  EXPECT_EQ(front.high_scores[9].name, "N10");
  EXPECT_EQ(front.high_scores[9].points, 990);

  dir.write("Data/High.dat", "\"Meier, Hans\",500\n Anna , -7\n");
  front.load_high_scores();
  EXPECT_EQ(front.high_scores[0].name, "Meier, Hans");
  EXPECT_EQ(front.high_scores[0].points, 500);
  EXPECT_EQ(front.high_scores[1].name, "Anna ");
  EXPECT_EQ(front.high_scores[1].points, -7);
  // A short file: the rest empty.
  EXPECT_EQ(front.high_scores[2].name, "");
  EXPECT_EQ(front.high_scores[9].points, 0);
}

TEST_F(HighScoresTest, MissingFileGivesAnEmptyList) {
  front.high_scores[3] = {"old", 5};
  front.load_high_scores();
  for (const auto& e : front.high_scores) {
    EXPECT_EQ(e.name, "");
    EXPECT_EQ(e.points, 0);
  }
}

// --- Showing -----------------------------------------------------------

TEST_F(HighScoresTest, ShowsHeadingNamesAndRightAlignedPoints) {
  front.show_title_screen();
  front.high_scores[0] = {"Anna", 1200};
  front.high_scores[1] = {"Bert", -5};
  front.show_high_scores();
  EXPECT_EQ(screen_text(platform, 15, 41, 11), "BESTENLISTE");
  EXPECT_EQ(screen_text(platform, 17, 35, 4), "Anna");
  EXPECT_EQ(screen_text(platform, 17, 53, 6), "  1200");
  EXPECT_EQ(screen_text(platform, 18, 35, 4), "Bert");
  EXPECT_EQ(screen_text(platform, 18, 53, 6), "    -5");
  // An empty entry: no name, the points 0 in the last position.
  EXPECT_EQ(screen_text(platform, 26, 53, 6), "     0");
  EXPECT_EQ(screen_text(platform, 27, 53, 6), "??????");  // nothing below row 26
}

// --- Entering ----------------------------------------------------------

TEST_F(HighScoresTest, EntryShowsTitleAndPromptAtRow20Column35) {
  enter(10, "Ute");
  EXPECT_EQ(platform.read_pixel(1, 1), kURColor);
  EXPECT_EQ(screen_text(platform, 20, 35, 25), "Namen bitte eingeben? Ute");
  EXPECT_EQ(screen_text(platform, 15, 41, 11), "???????????");  // the list is not shown
}

TEST_F(HighScoresTest, EqualPointsGoBelowAndTheLastEntryDropsOut) {
  set_points({500, 400, 400, 300, 200, 100, 90, 80, 70, 60});
  enter(400, "Neu");
  EXPECT_EQ(names(), "P1:500 P2:400 P3:400 Neu:400 P4:300 P5:200 P6:100 P7:90 P8:80 P9:70 ");
  EXPECT_EQ(game.score, 0);
}

TEST_F(HighScoresTest, BestScoreMovesEveryEntryDown) {
  set_points({500, 400, 300, 200, 100, 50, 40, 30, 20, 10});
  enter(501, "Top");
  EXPECT_EQ(names(), "Top:501 P1:500 P2:400 P3:300 P4:200 P5:100 P6:50 P7:40 P8:30 P9:20 ");
}

TEST_F(HighScoresTest, NameIsTheFirstFieldOfTheTypedLine) {
  set_points({500, 400, 300, 200, 100, 50, 40, 30, 20, 10});
  enter(1000, "  Meier,Hans");
  EXPECT_EQ(front.high_scores[0].name, "Meier");
}

TEST_F(HighScoresTest, QuotedNameLosesItsQuotesAndKeepsItsComma) {
  enter(1000, "\"Meier, Hans\"");
  EXPECT_EQ(front.high_scores[0].name, "Meier, Hans");
}

TEST_F(HighScoresTest, EmptyLineGivesAnEmptyName) {
  front.high_scores[0] = {"Alt", 5};
  enter(7, "");
  EXPECT_EQ(front.high_scores[0].name, "");
  EXPECT_EQ(front.high_scores[0].points, 7);
  EXPECT_EQ(front.high_scores[1].name, "Alt");
}

TEST_F(HighScoresTest, QuoteInsideANameIsKeptAsAnApostrophe) {
  enter(1000, "O\"Neil");
  EXPECT_EQ(front.high_scores[0].name, "O'Neil");
  // And the list still reads back as it was saved.
  dir.write("Data/keep", "");
  front.save_high_scores();
  const HighScoreTable saved = front.high_scores;
  front.high_scores = {};
  front.load_high_scores();
  for (std::size_t i = 0; i < saved.size(); ++i) {
    EXPECT_EQ(front.high_scores[i].name, saved[i].name);
    EXPECT_EQ(front.high_scores[i].points, saved[i].points);
  }
}

TEST_F(HighScoresTest, NameIsInsertedOnceAboveNegativePoints) {
  set_points({500, 400, 300, -1, -2, -3, -4, -5, -6, -7});
  enter(350, "Eva");
  EXPECT_EQ(names(), "P1:500 P2:400 Eva:350 P3:300 P4:-1 P5:-2 P6:-3 P7:-4 P8:-5 P9:-6 ");
}

TEST_F(HighScoresTest, EditingKeysOfTheLineInputShapeTheName) {
  // Typing H a n s, Left, Left, x, Enter leaves "Haxns".
  game.score = 5;
  double t = 0.5;
  const int left = extended_code(scan::kLeft);
  for (int code : {int{'H'}, int{'a'}, int{'n'}, int{'s'}, left, left, int{'x'}, 13}) {
    host.type_code(t, code);
    t += 0.05;
  }
  run([&] { front.enter_high_score(); });
  EXPECT_EQ(front.high_scores[0].name, "Haxns");
}

// --- Saving ------------------------------------------------------------

TEST_F(HighScoresTest, SaveWritesTwentyQuotedLinesWithCrLf) {
  dir.write("Data/High.dat", std::string(1000, 'x'));  // an older, longer file
  front.high_scores[0] = {"Anna", 1200};
  front.high_scores[1] = {std::string("Zo\x89", 3), -42};  // bytes written unchanged
  front.save_high_scores();
  std::string want = "\"Anna\"\r\n1200\r\n\"Zo\x89\"\r\n-42\r\n";
  for (int i = 0; i < 8; ++i) want += "\"\"\r\n0\r\n";
  EXPECT_EQ(dir.read("Data/High.dat"), want);
  // Nothing is left beside it.
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(dir.path() / "Data")) {
    (void)entry;
    ++files;
  }
  EXPECT_EQ(files, 1);
}

TEST_F(HighScoresTest, SaveWithoutADataFolderWritesNothingAndGoesOn) {
  front.high_scores[0] = {"Anna", 1200};
  front.save_high_scores();
  EXPECT_FALSE(std::filesystem::exists(dir.path() / "Data"));
}

}  // namespace
}  // namespace rt::testing
