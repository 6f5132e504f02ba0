// A player's track file: a level file in the game's own form, read with the
// check that it is one, for the editor, the desktop's --edit and the page's
// upload.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "game/level_file.h"

namespace rt {

struct TrackFile {
  std::optional<Level> level;  // none when the bytes are no level
  std::string refused;         // why not, in German for the player
};

// Reads `bytes` as a level file: 282 whole numbers, every cell a piece the
// game has a picture for. A level that breaks a track's rules (no hole, two
// stations) is read: the editor shows what is missing.
TrackFile read_track_file(std::string_view bytes);

}  // namespace rt
