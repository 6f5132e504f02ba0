// The rules of a player's track, counted on the field.
#include "levels/track_rules.h"

namespace rt {

TrackFault track_fault(const Level& level) {
  int holes = 0;
  int stations = 0;
  bool hole_named = false;
  for (int x = 1; x <= kColumns; ++x) {
    for (int y = 1; y <= kRows; ++y) {
      const TileCode code = level.board.get(x, y);
      if (code == tile::kSchwarz) {
        ++holes;
        if (x == level.cursor_x && y == level.cursor_y) hole_named = true;
      } else if (code == tile::kHbf) {
        ++stations;
      }
    }
  }
  if (holes == 0) return TrackFault::NoHole;
  if (holes > 1) return TrackFault::ManyHoles;
  if (!hole_named) return TrackFault::HoleMisplaced;
  if (stations == 0) return TrackFault::NoStation;
  if (stations > 1) return TrackFault::ManyStations;
  return TrackFault::None;
}

std::string track_fault_text(TrackFault fault) {
  switch (fault) {
    case TrackFault::None:
      return "";
    case TrackFault::NoHole:
      return "Es fehlt das Loch.";
    case TrackFault::ManyHoles:
      return "Nur ein Loch ist erlaubt.";
    case TrackFault::HoleMisplaced:
      return "Das Loch liegt nicht auf dem leeren Feld.";
    case TrackFault::NoStation:
      return "Es fehlt der Bahnhof.";
    case TrackFault::ManyStations:
      return "Nur ein Bahnhof ist erlaubt.";
  }
  return "";
}

}  // namespace rt
