// The editor on the simulated host: a track built by keys, clicks and a
// drag, rated as the solver rates it, undone and redone, saved, shared,
// driven and kept as a draft.
#include "frontend/track_editor.h"

#include <gtest/gtest.h>

#include <fstream>

#include "levels/track_code.h"
#include "levels/track_raters.h"
#include "platform/keyboard.h"
#include "tests/support/sim_fixture.h"

namespace rt::testing {
namespace {

constexpr Color kRail = 0xFF100001;
constexpr Color kLoco = 0xFF200001;
constexpr int kCtrlY = 25;
constexpr int kCtrlZ = 26;

class TrackEditorTest : public SimFixture {
 protected:
  TrackEditorTest() {
    platform.set_score_file(ScoreFile{dir.path() / "High.dat", dir.path() / "High.dat", false});
    for (Image* picture : {&game.sprites.Gruen, &game.sprites.SchieneSenk, &game.sprites.Hbf,
                           &game.sprites.Schwarz, &game.sprites.Baum1, &game.sprites.Haus}) {
      *picture = Image(40, 40, 0xFF00C000);
    }
    game.sprites.SchieneWage = Image(40, 40, kRail);
    game.sprites.LockWage1 = Image(40, 40, kLoco);
    game.sprites.Explo1 = Image(40, 40, 0xFFE00001);
    game.sprites.Explo2 = Image(40, 40, 0xFFE00002);
  }

  void type(double time, int code) { host.type_code(time, code); }
  void key(double time, int scan_code) { host.type_code(time, extended_code(scan_code)); }
  // A press of the pointer on cell (x, y), moved over `path` cells to the
  // right, then released.
  void drag(double time, int x, int y, int path = 0,
            PointerButton button = PointerButton::Primary) {
    const int px = (x - 1) * kCellSize + 20;
    const int py = (y - 1) * kCellSize + 20;
    host.at(time, [=, this] { platform.host_pointer_down(px, py, button); });
    for (int i = 1; i <= path; ++i) {
      host.at(time + 0.01 * i, [=, this] { platform.host_pointer_move(px + i * kCellSize, py); });
    }
    host.at(time + 0.01 * (path + 1),
            [=, this] { platform.host_pointer_up(px + path * kCellSize, py); });
  }
  // Runs the editor until Escape at `end`.
  void run_until(double end) {
    type(end, keycode::kEscape);
    host.set_time_limit(end + 60);
    platform.set_screen_mode();
    editor.run();
  }

  Game game{platform};
  InlineTrackRater rater;
  TrackEditor editor{platform, game, rater};
};

TEST_F(TrackEditorTest, BuildsATrackByKeysClicksAndADragRatedAsTheSolverRatesIt) {
  type(0.1, '2');  // straight rail
  type(0.2, keycode::kSpace);
  drag(0.3, 2, 1);     // a click
  drag(0.4, 3, 1, 2);  // a drag over three cells: one change
  type(0.5, '0');      // the station
  key(0.6, scan::kRight);
  type(0.7, keycode::kSpace);
  type(0.8, 'l');  // the hole
  drag(0.9, 10, 10);
  run_until(1.0);

  Level expected = TrackEdit::empty_field();
  for (int x = 1; x <= 5; ++x) expected.board.set(x, 1, tile::kSchieneWage);
  expected.board.set(6, 1, tile::kHbf);
  expected.board.set(10, 10, tile::kSchwarz);
  expected.cursor_x = 10;
  expected.cursor_y = 10;
  EXPECT_EQ(editor.track().level().board, expected.board);
  EXPECT_EQ(editor.track().level().cursor_x, 10);
  EXPECT_EQ(editor.verdict_line(),
            "Strecke " + verdict_text(rate_track(expected, interval_of_level(1))));
  EXPECT_TRUE(editor.verdict_current());
  // The field shows it: rails, the locomotive on the top-left cell.
  EXPECT_EQ(platform.read_pixel(3 * kCellSize + 5, 5), kRail);
  EXPECT_EQ(platform.read_pixel(5, 5), kLoco);
}

TEST_F(TrackEditorTest, UndoesAStrokeAtOnceRedoesItAndSaysWhatIsMissing) {
  type(0.1, '2');
  drag(0.2, 3, 2, 3);  // four rails in one stroke
  type(0.3, '0');
  drag(0.4, 8, 2);
  type(0.5, kCtrlZ);                             // the station goes
  type(0.6, kCtrlZ);                             // the whole stroke goes
  type(0.7, kCtrlY);                             // and comes back
  drag(0.8, 4, 2, 0, PointerButton::Secondary);  // picks the rail under the pointer
  run_until(1.0);

  for (int x = 3; x <= 6; ++x)
    EXPECT_EQ(editor.track().level().board.get(x, 2), tile::kSchieneWage);
  EXPECT_EQ(editor.track().level().board.get(8, 2), tile::kGruen);
  EXPECT_EQ(editor.track().piece(), tile::kSchieneWage);
  EXPECT_EQ(editor.verdict_line(), "Es fehlt das Loch.");
  EXPECT_TRUE(editor.track().can_redo());
}

TEST_F(TrackEditorTest, SavesSharesDrivesAndKeepsTheDraft) {
  // A station two cells on: won at the first step.
  type(0.1, '2');
  type(0.2, keycode::kSpace);
  key(0.25, scan::kRight);
  type(0.3, keycode::kSpace);
  type(0.35, '0');
  key(0.4, scan::kRight);
  type(0.5, keycode::kSpace);
  type(0.6, 'L');
  key(0.7, scan::kDown);
  type(0.8, keycode::kSpace);
  type(0.9, '+');
  type(1.0, 's');
  type(1.1, 't');
  type(1.2, 'p');
  type(5.0, keycode::kEnter);  // starts the drive once the level is shown
  run_until(9.0);

  const Level& track = editor.track().level();
  EXPECT_EQ(editor.message(), "Probefahrt gewonnen!");
  EXPECT_EQ(track.board.get(3, 1), tile::kHbf);
  EXPECT_FALSE(game.level_source);
  ASSERT_EQ(host.shared_tracks().size(), 1u);
  const DecodedTrack shared = decode_track(host.shared_tracks()[0]);
  EXPECT_EQ(shared.level.board, track.board);
  EXPECT_EQ(shared.speed_level, 2);
  std::ifstream saved(platform.tracks_folder() / "Strecke01.dat", std::ios::binary);
  const std::string bytes{std::istreambuf_iterator<char>(saved), {}};
  EXPECT_EQ(bytes, level_file_text(track));

  // The next editor starts where this one was left; a file that is no
  // track is refused and changes nothing.
  TrackEditor next(platform, game, rater);
  next.restore_draft();
  EXPECT_EQ(next.track().level().board, track.board);
  std::ofstream(dir.path() / "kaputt.dat") << "1,2,drei";
  EXPECT_EQ(next.open(dir.path() / "kaputt.dat"), "Die Datei ist keine Strecke.");
  EXPECT_EQ(next.track().level().board, track.board);
}

TEST_F(TrackEditorTest, AFailedSaveIsSaidAndReportedAndTheTrackStays) {
  std::ofstream(dir.path() / "Strecken") << "a file where the folder would go";
  type(0.1, '8');
  type(0.2, keycode::kSpace);
  type(0.3, 's');
  run_until(0.5);
  EXPECT_EQ(editor.message(), "Nicht gespeichert (Speicher voll?)");
  ASSERT_EQ(host.reports().size(), 1u);
  EXPECT_NE(host.reports()[0].find("Strecke01.dat\" nicht gespeichert: "), std::string::npos)
      << host.reports()[0];
  EXPECT_EQ(editor.track().level().board.get(1, 1), tile::kBaum1);
}

}  // namespace
}  // namespace rt::testing
