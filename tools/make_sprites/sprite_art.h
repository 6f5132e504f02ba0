// The picture generator's painters, shared with its tests.
#pragma once

#include <array>
#include <string_view>
#include <vector>

#include "game/assets.h"
#include "platform/formats/image.h"

// The game's 24 pictures, painted from code: the grass, the six track pieces,
// the tree, the house, the station, the hole, the locomotive in four
// directions with two frames each, two explosion frames, the title logo, the
// menu pointer and the strip that erases it.
namespace rt::make_sprites {

// The side of a square cell of the field, in pixels.
inline constexpr int kCell = 40;

struct Picture {
  std::string_view name;
  Image image;
};

// All 24 pictures, in the order of assets::kPictures. The same every call.
std::vector<Picture> draw_sprites();

// The shapes of track. A piece joins the cell edges it names; the curves are
// quarter circles around the corner between their two edges.
enum class Track { Horizontal, Vertical, TopLeft, TopRight, BottomLeft, BottomRight };

// Track geometry, as the distance from the track's centre line (half a cell
// from the edge it crosses): every piece lays its two rails at the same
// distances, so rails meet wherever two pieces join.
inline constexpr double kRailInner = 5.0;  // the rail's inner edge
inline constexpr double kRailOuter = 8.0;  // just past its outer edge

// True for the three colours of the steel rails (and no other colour of a
// track piece).
bool is_rail_colour(Color c);

Image draw_grass();
Image draw_track(Track shape);

// The pictures that stand on grass and are not track, each in its own file.
Image draw_tree();
Image draw_house();
Image draw_station();
// Frame 0 or 1.
Image draw_explosion(int frame);

// The locomotive from above, heading right, on a see-through layer; frame 0
// or 1. draw_locomotive sets a layer, turned as needed, on a piece of track.
Image draw_locomotive_layer(int frame);
Image draw_locomotive(Track shape, const Image& layer);

// The title's logo train (100 x 40) and the menu pointer (20 x 20).
Image draw_logo();
Image draw_menu_pointer();

// A sheet for looking at the art: every picture enlarged, and a small board
// made of the pieces.
Image draw_contact_sheet(const std::vector<Picture>& pictures);

}  // namespace rt::make_sprites
