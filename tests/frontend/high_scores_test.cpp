// The list of the ten best scores: loading, showing, entering a name and
// keeping the file.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/keyboard.h"
#include "tests/support/front_fixture.h"

namespace rt::testing {
namespace {

class HighScoresTest : public FrontFixture {
 protected:
  // The file's text for a list of entries, the rest empty.
  static std::string list_text(std::initializer_list<HighScoreEntry> entries) {
    HighScoreTable list;
    std::size_t i = 0;
    for (const HighScoreEntry& e : entries) list[i++] = e;
    return high_score_bytes(list);
  }
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
  EXPECT_TRUE(host.reports().empty());
}

// Named pipes and /dev/zero are POSIX things; Windows has neither in a folder.
#ifndef _WIN32
// A named pipe nobody writes to, or an endless device, in the list's place:
// the list is empty at once and the player is told; a save replaces it.
TEST_F(HighScoresTest, AListThatIsNoFileIsEmptyAndReported) {
  const std::filesystem::path list = dir.path() / "Data" / "High.dat";
  std::filesystem::create_directories(list.parent_path());
  ASSERT_EQ(::mkfifo(list.c_str(), 0644), 0);
  front.high_scores[3] = {"old", 5};
  front.load_high_scores();
  EXPECT_EQ(front.high_scores[3].points, 0);
  ASSERT_EQ(host.reports().size(), 1u);
  EXPECT_NE(host.reports()[0].find(list.string()), std::string::npos);

  std::filesystem::remove(list);
  std::filesystem::create_symlink("/dev/zero", list);
  front.load_high_scores();
  EXPECT_EQ(front.high_scores[0].points, 0);
  front.high_scores[0] = {"Anna", 10};
  front.save_high_scores();
  EXPECT_TRUE(std::filesystem::is_regular_file(std::filesystem::symlink_status(list)));
  EXPECT_EQ(parse_high_scores(dir.read("Data/High.dat"))[0].name, "Anna");
}
#endif

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
  // An older, longer file: the same first entry and stray bytes after the
  // twenty fields.
  std::string old = "\"Anna\"\r\n1200\r\n";
  for (int i = 0; i < 9; ++i) old += "\"\"\r\n0\r\n";
  dir.write("Data/High.dat", old + std::string(1000, 'x'));
  front.high_scores[0] = {"Anna", 1200};
  front.high_scores[1] = {std::string("Zo\x89", 3), 42};  // bytes written unchanged
  front.save_high_scores();
  std::string want = "\"Anna\"\r\n1200\r\n\"Zo\x89\"\r\n42\r\n";
  for (int i = 0; i < 8; ++i) want += "\"\"\r\n0\r\n";
  EXPECT_EQ(dir.read("Data/High.dat"), want);
  EXPECT_TRUE(front.high_scores_saved);
  // Nothing is left beside it.
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(dir.path() / "Data")) {
    (void)entry;
    ++files;
  }
  EXPECT_EQ(files, 1);
}

// --- Long names ----------------------------------------------------------------

// Names of 17, 18 and 2,300 characters from the file: the menu looks as if
// they were 17 characters long, nothing runs into the points or scrolls the
// screen, and a save keeps every name whole.
TEST_F(HighScoresTest, LongNamesFromTheFileAreShownCutAndKeptWhole) {
  const std::string seventeen(17, 'A');
  const std::string eighteen(18, 'B');
  const std::string huge(2300, 'C');
  const std::string file = list_text({{seventeen, 900}, {eighteen, 800}, {huge, 700}});
  dir.write("Data/High.dat", file);
  front.load_high_scores();
  EXPECT_EQ(front.high_scores[2].name, huge);

  auto screen = [&] {
    std::vector<Color> pixels;
    for (int y = 0; y < 600; ++y) {
      for (int x = 0; x < 800; ++x) pixels.push_back(platform.read_pixel(x, y));
    }
    return pixels;
  };
  // Each menu is drawn twice, so that both start from the same screen.
  run([&] { front.main_menu(); }, 0.5);
  run([&] { front.main_menu(); }, 1.0);
  const std::vector<Color> shown = screen();
  EXPECT_EQ(screen_text(platform, 18, 35, 17), eighteen.substr(0, 17));
  EXPECT_EQ(screen_text(platform, 19, 35, 17), huge.substr(0, 17));
  EXPECT_EQ(screen_text(platform, 19, 53, 6), "   700");

  const HighScoreTable whole = front.high_scores;
  front.high_scores[1].name = eighteen.substr(0, 17);
  front.high_scores[2].name = huge.substr(0, 17);
  run([&] { front.main_menu(); }, 1.5);
  const std::vector<Color> cut = screen();
  for (std::size_t i = 0; i < cut.size(); ++i) {
    ASSERT_EQ(cut[i], shown[i]) << "the menu differs from one with 17-character names at x "
                                << i % 800 << ", y " << i / 800;
  }

  front.high_scores = whole;
  front.save_high_scores();
  EXPECT_EQ(dir.read("Data/High.dat"), file);
}

// Typed names stop at 17 characters, however many keys come; the screen
// does not scroll and the menu afterwards shows the name in full.
TEST_F(HighScoresTest, TypedNamesStopAtSeventeenCharacters) {
  for (const std::size_t length : {17u, 18u, 2300u}) {
    SCOPED_TRACE(length);
    host.set_time_limit(host.now() + 200);
    game.score = 5000;
    double t = host.now() + 0.5;
    for (std::size_t i = 0; i < length; ++i, t += 0.01) {
      host.type_code(t, 'a' + static_cast<int>(i % 26));
    }
    host.type_code(t, keycode::kEnter);
    run([&] { front.enter_high_score(); }, t + 1.0);
    ASSERT_TRUE(returned);
    returned = false;
    EXPECT_EQ(front.high_scores[0].name, std::string("abcdefghijklmnopq"));
    EXPECT_EQ(platform.read_pixel(1, 1), kURColor);  // the title is where it was
  }
}

// --- Two copies of the game saving into one folder ------------------------------

// A second program on the same folder, as another copy of the game would be.
struct OtherCopy {
  explicit OtherCopy(const std::filesystem::path& folder) : platform(host, folder) {}
  SimHost host;
  Platform platform;
  Game game{platform};
  FrontEnd front{platform, game};
};

TEST_F(HighScoresTest, TwoCopiesSavingIntoOneFolderKeepBothEntries) {
  dir.write("Data/High.dat", list_text({{"Old", 300}}));
  front.load_high_scores();
  OtherCopy other(dir.path());
  other.front.load_high_scores();

  enter(500, "AAA");
  front.save_high_scores();
  other.game.score = 400;
  insert_high_score(other.front.high_scores, {"BBB", 400});
  other.front.save_high_scores();
  // The second copy now shows what the file holds, the first copy's entry too.
  EXPECT_EQ(other.front.high_scores[0].name, "AAA");
  EXPECT_EQ(other.front.high_scores[1].name, "BBB");
  EXPECT_EQ(other.front.high_scores[2].name, "Old");

  // The first copy leaves through "SPIEL BEENDEN" with the list it had: the
  // second copy's entry stays.
  front.save_high_scores();
  const HighScoreTable on_disk = parse_high_scores(dir.read("Data/High.dat"));
  EXPECT_EQ(on_disk[0].name, "AAA");
  EXPECT_EQ(on_disk[1].name, "BBB");
  EXPECT_EQ(on_disk[2].name, "Old");
  EXPECT_EQ(on_disk[3].points, 0);
}

TEST_F(HighScoresTest, MergedEntriesFollowTheEntryRule) {
  HighScoreTable disk = parse_high_scores(list_text({{"A", 500}, {"B", 300}}));
  HighScoreTable ours = parse_high_scores(list_text({{"A", 500}, {"C", 300}, {"B", 300}}));
  const HighScoreTable merged = merge_high_scores(disk, ours);
  // Equal points go below the entry already there; entries both hold count once.
  EXPECT_EQ(merged[0].name, "A");
  EXPECT_EQ(merged[1].name, "B");
  EXPECT_EQ(merged[2].name, "C");
  EXPECT_EQ(merged[3].name, "");
  // A full list on disk keeps an entry of ours out that beats none of it.
  HighScoreTable full;
  for (int i = 0; i < 10; ++i) full[static_cast<std::size_t>(i)] = {"F", 1000 - i};
  HighScoreTable low = full;
  low[9] = {"Gone", 5};
  EXPECT_EQ(high_score_bytes(merge_high_scores(full, low)), high_score_bytes(full));
  // A quote in a name matches the apostrophe the file keeps.
  ours[0].name = "Jo\"e";
  disk[0].name = "Jo'e";
  EXPECT_EQ(merge_high_scores(disk, ours)[2].name, "C");
  disk[0].name = "Jo\"e";  // as an edited file may hold it
  EXPECT_EQ(merge_high_scores(disk, ours)[2].name, "C");
}

// --- A save that fails ------------------------------------------------------------

TEST_F(HighScoresTest, AFailedSaveIsReportedAndShownUntilASaveSucceeds) {
  // A folder in the list's place: the rename over it fails.
  std::filesystem::create_directories(dir.path() / "Data" / "High.dat");
  front.high_scores[0] = {"Anna", 1200};
  front.save_high_scores();
  EXPECT_FALSE(front.high_scores_saved);
  EXPECT_EQ(front.high_scores[0].name, "Anna");  // the game goes on with it
  // One line for the failed save (the folder read in the list's place is
  // reported on its own line).
  ASSERT_FALSE(host.reports().empty());
  const std::string line = host.reports().back();
  EXPECT_NE(line.find((dir.path() / "Data" / "High.dat").string()), std::string::npos);
  EXPECT_NE(line.find("nicht gespeichert"), std::string::npos);
  const std::size_t reports = host.reports().size();
  EXPECT_TRUE(std::filesystem::is_directory(dir.path() / "Data" / "High.dat"));

  run([&] { front.main_menu(); }, 0.5);
  EXPECT_EQ(screen_text(platform, 36, 40, 29), "BESTENLISTE NICHT GESPEICHERT");

  std::filesystem::remove(dir.path() / "Data" / "High.dat");
  front.save_high_scores();
  EXPECT_TRUE(front.high_scores_saved);
  EXPECT_EQ(host.reports().size(), reports);
  platform.clear_screen();
  run([&] { front.main_menu(); }, 1.0);
  EXPECT_EQ(screen_text(platform, 36, 40, 29), std::string(29, ' '));
}

TEST_F(HighScoresTest, SaveWithoutADataFolderWritesNothingAndGoesOn) {
  front.high_scores[0] = {"Anna", 1200};
  front.save_high_scores();
  EXPECT_FALSE(std::filesystem::exists(dir.path() / "Data"));
}

}  // namespace
}  // namespace rt::testing
