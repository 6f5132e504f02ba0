// Scrambling a laid level: the hole walks from beside the route's far part by
// slides played backwards, so that the slides played forwards mend it.
#pragma once

#include <optional>

#include "game/level_file.h"
#include "levels/route.h"
#include "platform/rnd.h"

namespace rt {

// The laid board with the hole walked `moves` times from a movable cell
// beside the route's far half: each move swaps the hole with a movable
// neighbour, a track piece when one is there in most moves, never straight
// back and never onto the locomotive's first two cells. A walk stuck early ends there;
// none when no cell beside the far half can take the hole.
std::optional<Level> walk_hole(const Board& laid, const Route& route, int moves, Rnd& rnd);

}  // namespace rt
