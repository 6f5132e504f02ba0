// The scripted runner: its script reader, its JSON output and whole runs.
#include "tools/sim/runner.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "frontend/track_edit.h"
#include "levels/track_file.h"
#include "levels/track_rating.h"
#include "platform/keyboard.h"
#include "platform/os/bounded_read.h"
#include "tests/support/front_fixture.h"
#include "tools/sim/script.h"

namespace rt::sim {
namespace {

using rt::testing::TempDir;

// --- Reading scripts -------------------------------------------------------

TEST(ScriptTest, ReadsCommandsSkippingBlankAndCommentLines) {
  const ParsedScript s = parse_script(
      "# a comment\n"
      "\n"
      "0.5 tap Down\r\n"
      "  1 press enter\n"
      "1 release ENTER\n"
      "2.25 type  Zü g \n"
      "3 shot out/a b.bmp\n"
      "   # indented comment\n"
      "4 state\n"
      "5 end");
  ASSERT_FALSE(s.error) << s.error->message;
  ASSERT_EQ(s.commands.size(), 7u);
  EXPECT_EQ(s.commands[0].verb, Verb::Tap);
  EXPECT_DOUBLE_EQ(s.commands[0].time, 0.5);
  EXPECT_EQ(s.commands[0].key.scan_code, scan::kDown);
  EXPECT_EQ(s.commands[0].key.code, extended_code(scan::kDown));
  EXPECT_EQ(s.commands[0].line, 3);
  EXPECT_EQ(s.commands[1].verb, Verb::Press);
  EXPECT_EQ(s.commands[1].key.code, 13);
  EXPECT_EQ(s.commands[2].verb, Verb::Release);
  EXPECT_EQ(s.commands[3].verb, Verb::Type);
  EXPECT_EQ(s.commands[3].text, " Zü g ");  // everything after one blank
  EXPECT_EQ(s.commands[4].text, "out/a b.bmp");
  EXPECT_EQ(s.commands[5].verb, Verb::State);
  EXPECT_EQ(s.commands[6].verb, Verb::End);
  EXPECT_EQ(s.commands[6].line, 10);
}

TEST(ScriptTest, KeyNamesGiveScanCodesAndBufferCodes) {
  struct Case {
    const char* name;
    int scan;
    int code;
  };
  for (const Case& c :
       {Case{"Esc", 1, 27}, Case{"enter", 28, 13}, Case{"Space", 57, 32}, Case{"Backspace", 14, 8},
        Case{"TAB", 15, 9}, Case{"s", 31, 's'}, Case{"S", 31, 's'}, Case{"q", 16, 'q'},
        Case{"M", 50, 'm'}, Case{"1", 2, '1'}, Case{"9", 10, '9'}, Case{"0", 11, '0'},
        Case{"Up", 72, 72 * 256 + 255}, Case{"Left", 75, 75 * 256 + 255},
        Case{"Home", 71, 71 * 256 + 255}, Case{"end", 79, 79 * 256 + 255},
        Case{"Delete", 83, 83 * 256 + 255}}) {
    const auto key = key_by_name(c.name);
    ASSERT_TRUE(key) << c.name;
    EXPECT_EQ(key->scan_code, c.scan) << c.name;
    EXPECT_EQ(key->code, c.code) << c.name;
  }
  for (const char* bad : {"", "F1", "Escape", "ä", "10", "Enter "}) {
    EXPECT_FALSE(key_by_name(bad)) << bad;
  }
}

TEST(ScriptTest, MalformedLinesAreReportedWithTheirLineNumber) {
  struct Case {
    const char* script;
    int line;
  };
  for (const Case& c : {Case{"tap Down", 1},
                        Case{"1 tap Down\n\n-1 tap Up", 3},
                        Case{"1.5.2 state", 1},
                        Case{"1. state", 1},
                        Case{".5 state", 1},
                        Case{"1e3 state", 1},
                        Case{"nan state", 1},
                        Case{"1", 1},
                        Case{"1 jump", 1},
                        Case{"1 tap", 1},
                        Case{"1 tap F1", 1},
                        Case{"1 state now", 1},
                        Case{"1 end 2", 1},
                        Case{"1 type", 1},
                        Case{"1 shot", 1},
                        Case{"1 click 10", 1},
                        Case{"1 click 800 0", 1},
                        Case{"1 click 0 600", 1},
                        Case{"1 click -1 5", 1},
                        Case{"1 click 1 2 3", 1},
                        Case{"1 swipe 1 2", 1},
                        Case{"1 swipe 1 2 Enter", 1},
                        Case{"#\n2 state\n1 state", 3}}) {
    const ParsedScript s = parse_script(c.script);
    ASSERT_TRUE(s.error) << c.script;
    EXPECT_EQ(s.error->line, c.line) << c.script;
    EXPECT_TRUE(s.commands.empty());
  }
  // The pointer's verbs: a pixel of the picture, a swipe's direction.
  const ParsedScript pointer = parse_script("1 click 799 599\n2 swipe 0 10 left\n");
  ASSERT_FALSE(pointer.error) << pointer.error->message;
  EXPECT_EQ(pointer.commands[0].verb, Verb::Click);
  EXPECT_EQ(pointer.commands[0].x, 799);
  EXPECT_EQ(pointer.commands[0].y, 599);
  EXPECT_EQ(pointer.commands[1].verb, Verb::Swipe);
  EXPECT_EQ(pointer.commands[1].y, 10);
  EXPECT_EQ(pointer.commands[1].key.scan_code, scan::kLeft);
  // Equal times are fine; an empty script is fine.
  EXPECT_FALSE(parse_script("1 state\n1 state\n").error);
  EXPECT_FALSE(parse_script("").error);
}

// --- JSON pieces -----------------------------------------------------------

TEST(RunnerJsonTest, TimesHaveSixDecimalsAndFloatsPrintExactly) {
  EXPECT_EQ(format_time(0.0), "0.000000");
  EXPECT_EQ(format_time(1.23456789), "1.234568");
  EXPECT_EQ(format_time(12.5), "12.500000");
  // The level-10 step interval: 4.0 minus nine times 0.4, summed as floats.
  float speedup = 0.0f;
  for (int i = 0; i < 9; ++i) speedup = static_cast<float>(static_cast<double>(speedup) + 0.4);
  const auto interval = static_cast<float>(4.0 - static_cast<double>(speedup));
  EXPECT_EQ(format_double(static_cast<double>(interval)), "0.39999961853027344");
  EXPECT_EQ(format_double(static_cast<double>(0.3f)), "0.30000001192092896");
  EXPECT_EQ(format_double(4.0), "4");
}

TEST(RunnerJsonTest, NamesAreConvertedToUtf8AndEscaped) {
  EXPECT_EQ(json_string_from_cp437("Anna"), "\"Anna\"");
  EXPECT_EQ(json_string_from_cp437(std::string("Z\x81gle", 5)), "\"Z\xC3\xBCgle\"");
  EXPECT_EQ(json_string_from_cp437("a\"b\\c"), "\"a\\\"b\\\\c\"");
  EXPECT_EQ(json_string_from_cp437(std::string("\x01\n", 2)), "\"\\u0001\\u000a\"");
}

// --- Whole runs ----------------------------------------------------------------

struct RunResult {
  int status = 0;
  std::string out;
  std::string err;
};

RunResult run_text(const std::vector<std::string>& args, const std::string& stdin_text = "") {
  std::istringstream in(stdin_text);
  std::ostringstream out;
  std::ostringstream err;
  RunResult r;
  r.status = runner_main(args, in, out, err);
  r.out = out.str();
  r.err = err.str();
  return r;
}

// The "t" of a JSON line, which always comes first with six decimals.
double time_of(const std::string& line) {
  const std::string prefix = "{\"t\": ";
  EXPECT_EQ(line.rfind(prefix, 0), 0u) << line;
  const std::size_t comma = line.find(',');
  const std::string number = line.substr(prefix.size(), comma - prefix.size());
  EXPECT_EQ(number.size() - number.find('.'), 7u) << line;
  return std::stod(number);
}

std::vector<std::string> lines_of(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream s(text);
  for (std::string line; std::getline(s, line);) lines.push_back(line);
  return lines;
}

class RunnerTest : public ::testing::Test {
 protected:
  RunnerTest() { dir.write("Data/keep", ""); }
  std::string script(const std::string& text, const std::string& name = "script.txt") {
    dir.write(name, text);
    return (dir.path() / name).string();
  }
  TempDir dir;
};

TEST_F(RunnerTest, MalformedScriptStopsBeforeAnythingRuns) {
  const std::string shot = (dir.path() / "a.bmp").string();
  const RunResult r =
      run_text({"--dir", dir.path().string(), script("0 shot " + shot + "\n# fine\n1 hop\n")});
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.out, "");
  EXPECT_NE(r.err.find(":3: unknown verb"), std::string::npos) << r.err;
  EXPECT_FALSE(std::filesystem::exists(shot));
}

TEST_F(RunnerTest, BadArgumentsGiveStatus2) {
  EXPECT_EQ(run_text({}).status, 2);
  EXPECT_EQ(run_text({"--until", "soon", "-"}).status, 2);
  EXPECT_EQ(run_text({"--until", "-1", "-"}).status, 2);
  EXPECT_EQ(run_text({"--speed", "2", "-"}).status, 2);
  EXPECT_EQ(run_text({"a", "b"}).status, 2);
  EXPECT_EQ(run_text({(dir.path() / "missing.txt").string()}).status, 2);
}

TEST_F(RunnerTest, QuitThroughTheMenuSavesAndExitsWithTheProgramsStatus) {
  const RunResult r =
      run_text({"--dir", dir.path().string(), "-"}, "0.5 tap Down\n1.0 tap Enter\n");
  EXPECT_EQ(r.status, 0);
  const auto lines = lines_of(r.out);
  ASSERT_EQ(lines.size(), 2u) << r.out;
  EXPECT_GE(time_of(lines[0]), 0.5);
  EXPECT_LT(time_of(lines[0]), 0.6);
  EXPECT_NE(lines[0].find("\"sound\": \"ping.wav\"}"), std::string::npos);
  EXPECT_GE(time_of(lines[1]), 1.0);
  EXPECT_LT(time_of(lines[1]), 1.1);
  EXPECT_NE(lines[1].find(", \"exit\": 0}"), std::string::npos);
  EXPECT_EQ(dir.read("Data/High.dat").substr(0, 7), "\"\"\r\n0\r\n");
}

TEST_F(RunnerTest, EndAndTheTimeLimitStopWithStatus3) {
  // Actions happen when the virtual clock reaches their time: in the menu's
  // wait for a key that is within 50 ms.
  RunResult r = run_text({"--dir", dir.path().string(), "-"}, "2 end\n");
  EXPECT_EQ(r.status, 3);
  EXPECT_GE(time_of(r.out), 2.0);
  EXPECT_LT(time_of(r.out), 2.06);
  EXPECT_NE(r.out.find(", \"stopped\": true}\n"), std::string::npos);
  EXPECT_EQ(lines_of(r.out).size(), 1u);

  r = run_text({"--dir", dir.path().string(), "--until", "1.5", "-"}, "2 state\n");
  EXPECT_EQ(r.status, 3);
  const auto lines = lines_of(r.out);
  ASSERT_EQ(lines.size(), 1u) << r.out;
  EXPECT_GT(time_of(lines[0]), 1.5);
  EXPECT_LT(time_of(lines[0]), 1.56);
  EXPECT_NE(lines[0].find("\"stopped\": true}"), std::string::npos);
}

TEST_F(RunnerTest, SeveralScriptsRunOneAfterAnotherAsSeparateRunsWould) {
  const std::string stop = script("2 end\n", "stop.txt");
  const std::string quit = script("0.5 tap Down\n1.0 tap Enter\n", "quit.txt");
  const RunResult alone = run_text({"--dir", dir.path().string(), stop});
  const RunResult both = run_text({"--dir", dir.path().string(), stop, quit});
  EXPECT_EQ(both.status, 0);
  const auto lines = lines_of(both.out);
  ASSERT_EQ(lines.size(), 3u) << both.out;
  EXPECT_EQ(lines[0] + "\n", alone.out);
  EXPECT_NE(lines[2].find(", \"exit\": 0}"), std::string::npos);
  EXPECT_EQ(run_text({"--dir", dir.path().string(), "-", "-"}).status, 2);
  // A bad script anywhere stops the run before any has run.
  EXPECT_EQ(run_text({"--dir", dir.path().string(), quit, script("1 hop\n", "bad.txt")}).out, "");
}

TEST_F(RunnerTest, StateLineHoldsTheGameVariablesBoardAndList) {
  dir.write("Data/High.dat", std::string("\"Z\x81gle\"\r\n300\r\n\"a\\\\b\"\r\n-1\r\n"));
  const RunResult r = run_text({"--dir", dir.path().string(), "-"}, "1 state\n1.5 end\n");
  const auto lines = lines_of(r.out);
  ASSERT_EQ(lines.size(), 2u) << r.out;
  const std::string& s = lines[0];
  std::string board = "[";
  for (int y = 0; y < 14; ++y) {
    board += y ? ", [" : "[";
    for (int x = 0; x < 20; ++x) board += x ? ", 0" : "0";
    board += "]";
  }
  board += "]";
  std::string list =
      "[{\"name\": \"Z\xC3\xBCgle\", \"points\": 300}, {\"name\": \"a\\\\\\\\b\", \"points\": -1}";
  for (int i = 0; i < 8; ++i) list += ", {\"name\": \"\", \"points\": 0}";
  list += "]";
  EXPECT_GE(time_of(s), 1.0);
  EXPECT_EQ(s.substr(s.find(", ")),
            ", \"GameState\": 2, \"level\": 1, \"lives\": 3, \"score\": 0, "
            "\"sound_on\": 1, \"step_interval\": 4, \"loco_x\": 1, \"loco_y\": 1, "
            "\"loco_heading\": 1, \"loco_frame\": 0, \"cursor_x\": 0, \"cursor_y\": 0, "
            "\"board\": " +
                board + ", \"high_scores\": " + list + "}");
}

// A game on a level where the locomotive crashes on its first step.
// Space held from the menu on starts the game, ends every level's wait and
// speeds every life up, so each of the three steps earns 100 points (the
// first one too: the virtual clock starts at 0, so the first step of the
// game is not yet due when the level starts). The blanks Space types into
// the name entry fill it to its 17 characters; Escape empties it again.
constexpr const char* kGameScript =
    "0.5 press Space\n"
    "2 shot menu.bmp\n"
    "25 release Space\n"
    "26 shot entry.bmp\n"
    "26.5 tap Esc\n"
    "27 type Zügle\n"
    "28 tap Enter\n"
    "30 state\n"
    "31 tap Down\n"
    "32 tap Enter\n";

TEST_F(RunnerTest, WholeGameWithNameEntryIsReproducibleByteForByte) {
  dir.write("game.txt", kGameScript);
  std::filesystem::create_directories(dir.path() / "one");
  std::filesystem::create_directories(dir.path() / "two");
  std::string outputs[2];
  for (int i = 0; i < 2; ++i) {
    TempDir work;
    work.write("Data/lev01.dat", rt::testing::crash_level());
    const auto old = std::filesystem::current_path();
    // Shot files are relative to the directory the runner was started in.
    std::filesystem::current_path(dir.path() / (i == 0 ? "one" : "two"));
    const RunResult r =
        run_text({"--dir", work.path().string(), (dir.path() / "game.txt").string()});
    std::filesystem::current_path(old);
    EXPECT_EQ(r.status, 0) << r.err;
    outputs[i] = r.out;
    EXPECT_NE(work.read("Data/High.dat").find("\"Z\x81gle\"\r\n300\r\n"), std::string::npos);
  }
  EXPECT_EQ(outputs[0], outputs[1]);
  EXPECT_EQ(dir.read("one/menu.bmp"), dir.read("two/menu.bmp"));
  EXPECT_EQ(dir.read("one/entry.bmp"), dir.read("two/entry.bmp"));

  const auto lines = lines_of(outputs[0]);
  int explosions = 0;
  int dings = 0;
  std::string state;
  for (const auto& line : lines) {
    if (line.find("\"Explosion.wav\"") != std::string::npos) ++explosions;
    if (line.find("\"ding.wav\"") != std::string::npos) ++dings;
    if (line.find("\"GameState\"") != std::string::npos) state = line;
  }
  EXPECT_EQ(explosions, 3);
  EXPECT_EQ(dings, 3);
  EXPECT_NE(state.find("\"high_scores\": [{\"name\": \"Z\xC3\xBCgle\", \"points\": 300}"),
            std::string::npos)
      << state;
  EXPECT_NE(lines.back().find("\"exit\": 0}"), std::string::npos);
}

TEST_F(RunnerTest, ACloseRequestEndsTheProgramAtOnceFromAnyScreenWithTheListIntact) {
  std::string list = "\"Anna\"\r\n500\r\n";
  for (int i = 0; i < 9; ++i) list += "\"\"\r\n0\r\n";
  // In the menu, during play (Space held starts and speeds the game), and
  // in the name entry after two letters.
  for (const double at : {1.0, 8.0, 27.1}) {
    TempDir work;
    work.write("Data/lev01.dat", rt::testing::crash_level());
    work.write("Data/High.dat", list);
    // The game's script up to that moment, then the close request.
    std::string text;
    for (const std::string& line : lines_of(kGameScript)) {
      if (std::stod(line) < at) text += line + "\n";
    }
    text += std::to_string(at) + " close\n";
    const RunResult r = run_text({"--dir", work.path().string(), "-"}, text);
    EXPECT_EQ(r.status, 0) << at << r.err;
    const auto lines = lines_of(r.out);
    ASSERT_FALSE(lines.empty());
    EXPECT_NE(lines.back().find(", \"exit\": 0}"), std::string::npos) << lines.back();
    EXPECT_GE(time_of(lines.back()), at);
    EXPECT_LT(time_of(lines.back()), at + 0.06) << at;
    EXPECT_EQ(work.read("Data/High.dat"), list) << at;
  }
}

TEST_F(RunnerTest, BlurAndFocusHoldTheGameAndItsClock) {
  // Away for 100 s from 1.0: the menu does not move on the Down tapped
  // meanwhile, and the run goes on after the return.
  TempDir work;
  work.write("Data/lev01.dat", rt::testing::crash_level());
  const RunResult r = run_text({"--dir", work.path().string(), "-"},
                               "1 blur\n50 tap Down\n101 focus\n102 state\n103 end\n");
  EXPECT_EQ(r.status, 3) << r.err;
  const auto lines = lines_of(r.out);
  ASSERT_EQ(lines.size(), 2u) << r.out;
  EXPECT_EQ(lines[0].find("ping.wav"), std::string::npos);  // the menu did not move
  EXPECT_NEAR(time_of(lines[0]), 102.0, 0.001);
}

// --- Shot files ------------------------------------------------------------

std::uint32_t le32(const std::string& b, std::size_t at) {
  return static_cast<std::uint32_t>(static_cast<unsigned char>(b[at])) |
         static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 1])) << 8 |
         static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 2])) << 16 |
         static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 3])) << 24;
}

TEST_F(RunnerTest, ShotIsA32BitBottomUpBmpOfTheStoredValues) {
  const std::string file = (dir.path() / "menu.bmp").string();
  const RunResult r =
      run_text({"--dir", dir.path().string(), "-"}, "1 shot " + file + "\n1.1 end\n");
  EXPECT_EQ(r.status, 3);
  const std::string b = dir.read("menu.bmp");
  ASSERT_EQ(b.size(), 54u + 800u * 600u * 4u);
  EXPECT_EQ(b.substr(0, 2), "BM");
  EXPECT_EQ(le32(b, 2), b.size());
  EXPECT_EQ(le32(b, 10), 54u);  // pixels right after the two headers
  EXPECT_EQ(le32(b, 14), 40u);  // BITMAPINFOHEADER
  EXPECT_EQ(le32(b, 18), 800u);
  EXPECT_EQ(le32(b, 22), 600u);  // positive: bottom-up
  EXPECT_EQ(le32(b, 26) & 0xFFFF, 1u);
  EXPECT_EQ(le32(b, 26) >> 16, 32u);
  EXPECT_EQ(le32(b, 30), 0u);  // uncompressed
  auto pixel = [&](int x, int y) {
    return le32(b,
                54 + (static_cast<std::size_t>(599 - y) * 800 + static_cast<std::size_t>(x)) * 4);
  };
  // The menu without pictures: black pictures (alpha 0) over the first clear
  // (alpha 255), the title's faces and the pale yellow text.
  EXPECT_EQ(pixel(0, 0), 0u);             // row 0 of the small title's cell
  EXPECT_EQ(pixel(799, 0), 0xFF000000u);  // beside it, the first clear
  EXPECT_EQ(pixel(5, 5), 0u);             // a black picture of the oval
  EXPECT_EQ(pixel(104, 59), 0xFFFFE0C8u);
  EXPECT_EQ(pixel(0, 599), 0xFF000000u);
}

// The runner's keys and clicks build the first shipped level in the editor
// from an empty field; its verdict is the solver's, and the track saved is
// the level itself.
TEST_F(RunnerTest, TheEditorBuildsLevelOneByKeysAndClicks) {
  const Level level1 =
      read_level(read_bounded_file(std::string(RT_TEST_SOURCE_DIR) + "/data/levels/lev01.dat",
                                   kMaxTextFileBytes)
                     .bytes);
  std::string text;
  double t = 0.5;
  const auto at = [&t] {
    t += 0.05;
    std::ostringstream s;
    s.precision(2);
    s << std::fixed << t;
    return s.str();
  };
  for (std::size_t i = 0; i < TrackEdit::kPalette.size(); ++i) {
    const char key = "1234567890L"[i];
    bool chosen = false;
    for (int x = 1; x <= kColumns; ++x) {
      for (int y = 1; y <= kRows; ++y) {
        if (level1.board.get(x, y) != TrackEdit::kPalette[i] ||
            TrackEdit::kPalette[i] == tile::kGruen) {
          continue;
        }
        if (!chosen) text += at() + " type " + key + "\n";
        chosen = true;
        text += at() + " click " + std::to_string((x - 1) * kCellSize + 20) + " " +
                std::to_string((y - 1) * kCellSize + 20) + "\n";
      }
    }
  }
  for (const char* last : {" type S\n", " state\n", " tap esc\n"}) text += at() + last;
  const RunResult r = run_text({"--dir", dir.path().string(), "--edit", "-"}, text);
  EXPECT_EQ(r.status, 0) << r.err;
  const auto lines = lines_of(r.out);
  ASSERT_GE(lines.size(), 2u);
  const std::string& state = lines[lines.size() - 2];
  const std::string verdict = verdict_text(rate_track(level1, interval_of_level(1)));
  EXPECT_NE(state.find("\"verdict\": \"Strecke " + verdict + "\", \"current\": true"),
            std::string::npos)
      << state;
  EXPECT_EQ(read_track_file(dir.read("Data/Strecken/Strecke01.dat")).level->board, level1.board);
}

}  // namespace
}  // namespace rt::sim
