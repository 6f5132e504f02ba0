// The rules a player's track keeps before it can be rated, played or shared:
// exactly one hole, which the level's hole names, and exactly one station.
// The locomotive always starts on the top-left cell heading right.
#pragma once

#include <string>

#include "game/level_file.h"

namespace rt {

enum class TrackFault {
  None,
  NoHole,         // no empty cell on the field
  ManyHoles,      // more than one empty cell
  HoleMisplaced,  // the level's hole is not the one empty cell
  NoStation,      // no station on the field
  ManyStations,   // more than one station
};

// The first rule `level` breaks, holes before stations; None when it keeps them.
TrackFault track_fault(const Level& level);

// What the player is told (UTF-8), "" for None: "Es fehlt das Loch.", ...
std::string track_fault_text(TrackFault fault);

}  // namespace rt
