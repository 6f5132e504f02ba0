// Reading the command line and the English usage text.
#include "app/command_line.h"

#include <ostream>

#include "levels/seed.h"

namespace rt {

CommandLine parse_command_line(std::span<const std::string_view> args) {
  CommandLine line;
  bool help = false;
  bool version = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string_view arg = args[i];
    if (arg == "--seed") {
      if (i + 1 == args.size()) {
        line.action = CommandLine::Action::Wrong;
        line.wrong = arg;
        line.wrong_because = "needs a seed";
        return line;
      }
      const std::string_view value = args[++i];
      line.random_seed = value == "random";
      line.day_seed = value == "heute";
      line.seed = line.random_seed || line.day_seed ? std::nullopt : parse_seed(value);
      if (!line.random_seed && !line.day_seed && !line.seed) {
        line.action = CommandLine::Action::Wrong;
        line.wrong = value;
        line.wrong_because = "is not a seed";
        return line;
      }
    } else if (arg == "--track") {
      if (i + 1 == args.size()) {
        line.action = CommandLine::Action::Wrong;
        line.wrong = arg;
        line.wrong_because = "needs a track code";
        return line;
      }
      const std::string_view code = args[++i];
      DecodedTrack track = decode_track(code);
      if (track.error != TrackCodeError::None) {
        line.action = CommandLine::Action::Wrong;
        line.wrong = code;
        line.wrong_because = "is refused: " + track_code_error_text(track);
        line.track_refused = track_code_error_text(track);
        return line;
      }
      line.track = std::move(track);
    } else if (arg == "--level") {
      const std::string_view value = i + 1 < args.size() ? args[i + 1] : std::string_view();
      if (value.size() != 1 && value != "10") {
        line.action = CommandLine::Action::Wrong;
        line.wrong = arg;
        line.wrong_because = "needs a level from 1 to 10";
        return line;
      }
      ++i;
      const int level = value == "10" ? 10 : value[0] - '0';
      if (level < 1 || level > 10) {
        line.action = CommandLine::Action::Wrong;
        line.wrong = arg;
        line.wrong_because = "needs a level from 1 to 10";
        return line;
      }
      line.first_level = level;
    } else if (arg == "--edit") {
      line.edit = true;
      // The file is optional: the next argument, unless it is an option.
      if (i + 1 < args.size() && !args[i + 1].starts_with("--")) {
        line.edit_file = std::string(args[++i]);
      }
    } else if (arg == "--fullscreen") {
      line.fullscreen = true;
    } else if (arg == "--windowed") {
      line.fullscreen = false;
    } else if (arg == "--integer-scale") {
      line.integer_scale = true;
    } else if (arg == "--help" || arg == "-h") {
      help = true;
    } else if (arg == "--version") {
      version = true;
    } else {
      line.action = CommandLine::Action::Wrong;
      line.wrong = arg;
      return line;
    }
  }
  if (help) {
    line.action = CommandLine::Action::Help;
  } else if (version) {
    line.action = CommandLine::Action::Version;
  }
  return line;
}

std::string usage_text(std::string_view program) {
  std::string text = "Usage: ";
  text += program;
  text += R"( [OPTION]...
Der Rangier-Trubel: a railway sliding puzzle. Slide grass and track pieces
into the empty cell and lay a route to the station before the locomotive
runs off the rails.

Options:
  --fullscreen      play in full screen (the default)
  --windowed        play in a window
  --integer-scale   scale the picture by whole factors only (wider black bars)
  --seed S          play the ten levels generated from the seed S instead of
                    the shipped ones: a number from 0 to 4294967295 or a word
                    of up to 32 letters and digits (umlauts too); "random"
                    picks a seed and prints it, so that it can be passed on;
                    "heute" plays the track of the day, the same everywhere
  --track CODE      play a player's track from its code (as the editor shares
                    it), at the code's speed, its verdict proven first
  --level N         start every game on level N (1 to 10), as if the levels
                    before it were won (for tests and measurements)
  --edit [FILE]     build a track of your own in the editor "Strecke bauen":
                    FILE is opened (or made by the first save, S); without
                    it the track left last time, or with --track that one
  --help            show this help and exit
  --version         show the version and exit

Keys in the menu:
  Up, Down          choose an item
  Enter, Space      take it
  Escape            quit

Keys in the game:
  any key           start the level once its picture is complete
  arrow keys        slide the piece beside the empty cell into it
  Space, Enter      speed the locomotive up until the level ends
  S                 sound effects on or off
  Escape            give up the current locomotive
  F11, Alt+Enter    full screen or window

Keys in the editor (F1 lists them all):
  arrow keys        choose a cell
  1 to 0, L         choose a piece: grass, the six track pieces, tree, house,
                    station, L the empty cell
  Space, Enter      put the chosen piece on the cell
  Ctrl+Z, Ctrl+Y    undo, redo
  + -               the speed level the track is proven and played at
  P                 test drive          T  share: code and link
  S                 save                M  my tracks
  Escape            quit (the track is kept as a draft)
The mouse places pieces by click and drag; the right button picks the piece
under it.

A gamepad works too: D-pad or left stick for the arrows, A or Start for
Enter, B or Back for Escape, X for Space, Y for S. Leaving the window pauses
the game; closing it ends the program.

The game keeps its data in the folders Data, Sprites and Waves, found in the
current folder, beside the program or where it was installed. The ten best
scores are in Data/High.dat there or, when that folder is read-only, in the
player's own High.dat: in $XDG_DATA_HOME/rangiertrubel (by default
~/.local/share/rangiertrubel) on Linux, where "man rangiertrubel" tells more,
and in %APPDATA%\rangiertrubel on Windows. The scores of generated levels,
one list shared by all seeds, are kept apart in HighGen.dat beside High.dat.
Saved tracks go to the folder Strecken beside them.
)";
  return text;
}

int write_answer(std::ostream& out, std::ostream& err, std::string_view text) {
  out << text;
  out.flush();
  if (out) return 0;
  err << "rangiertrubel: cannot write the output\n";
  return 1;
}

}  // namespace rt
