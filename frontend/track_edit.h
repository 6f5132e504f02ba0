// A player's track as the editor holds it: the field, the marked cell, the
// piece chosen from the palette, the speed it is rated and played at, and
// the changes that can be undone and redone.
#pragma once

#include <array>
#include <cstddef>
#include <vector>

#include "game/level_file.h"
#include "game/rules.h"

namespace rt {

class TrackEdit {
 public:
  // Every piece a player can place, in the palette's order: grass, the six
  // track pieces, tree, house, station and the hole.
  static constexpr std::array<TileCode, 11> kPalette{
      tile::kGruen,    tile::kSchieneWage, tile::kSchieneSenk, tile::kKurveOLi,
      tile::kKurveORe, tile::kKurveULi,    tile::kKurveURe,    tile::kBaum1,
      tile::kHaus,     tile::kHbf,         tile::kSchwarz};
  // How many changes can be undone; older ones are forgotten.
  static constexpr std::size_t kUndoDepth = 200;
  static constexpr int kSlowest = 1;
  static constexpr int kFastest = kLevelCount;

  // An empty field: grass everywhere, no hole and no station yet.
  TrackEdit();

  const Level& level() const { return level_; }

  // Puts `code` on field cell (x, y); a cell off the field, a code that is
  // no piece, or a cell that already holds it changes nothing (false). The
  // field keeps at most one hole and one station: placing one where another
  // already lies turns the old one into grass, and the level's hole follows
  // the hole. With `same_change` the placing joins the last change, so that
  // one stroke of the mouse is undone at once.
  bool place(int x, int y, TileCode code, bool same_change = false);
  // The whole field anew (a new empty field, a level to start from, a file
  // opened), as one change.
  void replace(const Level& level);
  static Level empty_field();

  bool undo();
  bool redo();
  bool can_undo() const { return !undo_.empty(); }
  bool can_redo() const { return !redo_.empty(); }

  // The marked cell, always on the field.
  int mark_x() const { return mark_x_; }
  int mark_y() const { return mark_y_; }
  void move_mark(int dx, int dy);
  void set_mark(int x, int y);

  // The chosen piece, by its place in the palette.
  int chosen() const { return chosen_; }
  TileCode piece() const { return kPalette[static_cast<std::size_t>(chosen_)]; }
  // Chooses `code` when the palette has it (false otherwise).
  bool choose(TileCode code);

  // The speed level (1 to 10) the track is rated and played at.
  int speed_level() const { return speed_level_; }
  void set_speed_level(int level);

  // Rises with every change of the field, undo and redo included.
  unsigned version() const { return version_; }

 private:
  void remember();
  void changed();

  Level level_;
  std::vector<Level> undo_;
  std::vector<Level> redo_;
  int mark_x_ = 1;
  int mark_y_ = 1;
  int chosen_ = 1;
  int speed_level_ = 1;
  unsigned version_ = 0;
};

}  // namespace rt
