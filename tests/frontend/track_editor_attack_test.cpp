// A hostile player against the editor and its files: storms of taps and
// drags at every edge and far off the picture, floods of keys, the mouse's
// second button where nothing is, hostile track files and drafts, a tracks
// folder full of oddities. Nothing may crash, hang or lose a saved track;
// every case leaves the field keeping its rules (at most one hole and one
// station) and the editor answering.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "frontend/track_editor.h"
#include "levels/track_file.h"
#include "levels/track_raters.h"
#include "platform/keyboard.h"
#include "tests/support/sim_fixture.h"

namespace rt::testing {
namespace {

class EditorAttack : public SimFixture {
 protected:
  EditorAttack() {
    platform.set_score_file(ScoreFile{dir.path() / "High.dat", dir.path() / "High.dat", false});
  }
  // Runs the editor over `script` (actions at rising times), then Escape.
  void run(const std::function<void(double&)>& script) {
    double t = 0.1;
    script(t);
    // Escape until the editor is left, from a help page or a list too.
    for (int i = 1; i <= 3; ++i) host.type_code(t + i, keycode::kEscape);
    host.set_time_limit(t + 100);
    platform.set_screen_mode();
    editor.run();
  }
  void keeps_rules() {
    int holes = 0;
    int stations = 0;
    for (int x = 1; x <= kColumns; ++x) {
      for (int y = 1; y <= kRows; ++y) {
        const TileCode code = editor.track().level().board.get(x, y);
        holes += code == tile::kSchwarz;
        stations += code == tile::kHbf;
      }
    }
    EXPECT_LE(holes, 1);
    EXPECT_LE(stations, 1);
  }

  Game game{platform};
  InlineTrackRater rater;
  TrackEditor editor{platform, game, rater};
};

TEST_F(EditorAttack, StormsOfTapsAndDragsAtEveryEdgeAndFarOffKeepTheRules) {
  // 2,000 pointer events: downs, moves and ups at the corners, the edges,
  // one pixel off them, at the int limits, with both buttons, unpaired.
  const int xs[] = {-2147483647, -801, -1, 0, 1, 399, 439, 440, 799, 800, 801, 2147483647};
  const int ys[] = {-2147483647, -1, 0, 559, 560, 599, 600, 2147483647};
  run([&](double& t) {
    int n = 0;
    for (int round = 0; round < 11; ++round) {
      for (int x : xs) {
        for (int y : ys) {
          const auto button = (n % 3 == 0) ? PointerButton::Secondary : PointerButton::Primary;
          const int kind = n++ % 4;
          host.at(t, [=, this] {
            if (kind == 0) platform.host_pointer_down(x, y, button);
            if (kind == 1) platform.host_pointer_move(x, y);
            if (kind == 2) platform.host_pointer_up(x, y);
            if (kind == 3)
              platform.host_key_code(
                  "1234567890L"[static_cast<std::size_t>((x ^ y) & 0x7FFF) % 11]);
          });
          t += 0.001;
        }
      }
    }
  });
  keeps_rules();
}

TEST_F(EditorAttack, FloodsOfKeysEveryCodeAndControlCodeAreTakenOrIgnored) {
  // Every buffer code 1..255 and every extended code, twice, in a burst
  // larger than the key buffer, with the help (F1), the list (M) and the
  // drive (P) among them: their screens take the keys that follow.
  run([&](double& t) {
    for (int pass = 0; pass < 2; ++pass) {
      for (int code = 1; code <= 255; ++code) {
        if (code == keycode::kEscape) continue;
        host.type_code(t, code);
        t += 0.0005;
      }
      for (int scan_code = 1; scan_code < 128; ++scan_code) {
        host.type_code(t, extended_code(scan_code));
        t += 0.0005;
      }
      // Taps under the field leave a help page or a list, whichever the
      // flood left open.
      for (int i = 0; i < 3; ++i) {
        t += 1;
        host.at(t, [this] { platform.host_pointer_down(700, 580); });
        host.at(t + 0.01, [this] { platform.host_pointer_up(700, 580); });
      }
      t += 1;
    }
  });
  keeps_rules();
}

TEST_F(EditorAttack, HostileFilesAndDraftsAreRefusedOrReadNeverTrusted) {
  const std::string big(2 << 20, '1');
  const std::vector<std::string> hostile = {
      "",
      "\xEF\xBB\xBF",
      std::string(282, ','),
      big,
      "99999999999999999999," + std::string(281 * 2, '1'),
      "-1" + std::string(281, ',') + "5",
      "nan,inf,0x10,1e9",
      std::string("1\0"
                  "2",
                  3),
      "31" + std::string(281, ','),  // a piece the game has no picture for
  };
  for (const std::string& bytes : hostile) {
    const TrackFile file = read_track_file(bytes);
    if (file.level) {
      for (int x = 1; x <= kColumns; ++x) {
        for (int y = 1; y <= kRows; ++y) EXPECT_TRUE(has_picture(file.level->board.get(x, y)));
      }
    } else {
      EXPECT_FALSE(file.refused.empty());
    }
  }
  // A draft that is no track, a draft that is a folder, a track file that
  // is a folder: the editor starts on an empty field and says why it cannot
  // open the others, and nothing saved is touched.
  std::filesystem::create_directories(platform.tracks_folder() / "Ordner.dat");
  std::ofstream(platform.tracks_folder() / "Entwurf.dat") << "kein Entwurf";
  std::ofstream(platform.tracks_folder() / "Strecke01.dat") << "gespeichert";
  editor.restore_draft();
  EXPECT_EQ(editor.track().level().board, TrackEdit::empty_field().board);
  EXPECT_FALSE(editor.open(platform.tracks_folder() / "Ordner.dat").empty());
  std::ifstream kept(platform.tracks_folder() / "Strecke01.dat");
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), {}), "gespeichert");
}

}  // namespace
}  // namespace rt::testing
