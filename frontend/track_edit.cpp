// The editor's track: placing pieces under the field's rules, undo and redo.
#include "frontend/track_edit.h"

#include <algorithm>

namespace rt {

TrackEdit::TrackEdit() : level_(empty_field()) {}

Level TrackEdit::empty_field() {
  Level level;
  for (int x = 1; x <= kColumns; ++x) {
    for (int y = 1; y <= kRows; ++y) level.board.set(x, y, tile::kGruen);
  }
  return level;
}

bool TrackEdit::place(int x, int y, TileCode code, bool same_change) {
  if (!Board::in_field(x, y) ||
      std::find(kPalette.begin(), kPalette.end(), code) == kPalette.end()) {
    return false;
  }
  if (level_.board.get(x, y) == code) return false;
  if (!same_change || undo_.empty()) remember();
  // One hole and one station: the old one gives way to grass.
  if (code == tile::kSchwarz || code == tile::kHbf) {
    for (int cx = 1; cx <= kColumns; ++cx) {
      for (int cy = 1; cy <= kRows; ++cy) {
        if (level_.board.get(cx, cy) == code) level_.board.set(cx, cy, tile::kGruen);
      }
    }
  }
  level_.board.set(x, y, code);
  if (code == tile::kSchwarz) {
    level_.cursor_x = x;
    level_.cursor_y = y;
  } else if (x == level_.cursor_x && y == level_.cursor_y) {
    level_.cursor_x = 0;
    level_.cursor_y = 0;
  }
  changed();
  return true;
}

void TrackEdit::replace(const Level& level) {
  remember();
  level_ = level;
  changed();
}

bool TrackEdit::undo() {
  if (undo_.empty()) return false;
  redo_.push_back(level_);
  level_ = undo_.back();
  undo_.pop_back();
  changed();
  return true;
}

bool TrackEdit::redo() {
  if (redo_.empty()) return false;
  undo_.push_back(level_);
  level_ = redo_.back();
  redo_.pop_back();
  changed();
  return true;
}

void TrackEdit::move_mark(int dx, int dy) {
  set_mark(mark_x_ + dx, mark_y_ + dy);
}

void TrackEdit::set_mark(int x, int y) {
  mark_x_ = Board::nearest_column(x);
  mark_y_ = Board::nearest_row(y);
}

bool TrackEdit::choose(TileCode code) {
  const auto found = std::find(kPalette.begin(), kPalette.end(), code);
  if (found == kPalette.end()) return false;
  chosen_ = static_cast<int>(found - kPalette.begin());
  return true;
}

void TrackEdit::set_speed_level(int level) {
  speed_level_ = std::clamp(level, kSlowest, kFastest);
}

void TrackEdit::remember() {
  if (undo_.size() >= kUndoDepth) undo_.erase(undo_.begin());
  undo_.push_back(level_);
  redo_.clear();
}

void TrackEdit::changed() {
  ++version_;
}

}  // namespace rt
