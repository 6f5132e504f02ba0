// The six pieces of track: gravel bed, sleepers and rails over the grass.
#include <algorithm>
#include <cmath>
#include <numbers>
#include <utility>

#include "tools/make_sprites/paint.h"
#include "tools/make_sprites/palette.h"
#include "tools/make_sprites/sprite_art.h"

namespace rt::make_sprites {
namespace {

constexpr double kHalf = kCell / 2.0;
constexpr double kPi = std::numbers::pi;
constexpr std::uint32_t kGravelSeed = 23;
constexpr std::uint32_t kWoodSeed = 37;

// Where a pixel lies relative to a piece of track: `across` is the signed
// distance from the track's centre line, `along` the distance travelled
// along it; `sleeper` tells whether the pixel lies on a sleeper's bar.
struct TrackPoint {
  double across;
  bool sleeper;
};

constexpr double kSleeperHalfWidth = 2.0;
constexpr double kSleeperReach = 9.0;  // sleepers end this far from the centre line
constexpr double kBallastReach = 11.0;

TrackPoint locate_on_track(Track shape, int x, int y) {
  const double px = x + 0.5;
  const double py = y + 0.5;
  if (shape == Track::Horizontal || shape == Track::Vertical) {
    const bool horizontal = shape == Track::Horizontal;
    const double across = (horizontal ? py : px) - kHalf;
    const double along = horizontal ? px : py;
    // Four sleepers, centred 5, 15, 25 and 35 pixels along: the piece is
    // symmetric and the spacing carries on into the next cell.
    const double offset = std::fmod(along, 10.0) - 5.0;
    return {across, std::abs(offset) < kSleeperHalfWidth};
  }
  const double cx = (shape == Track::TopLeft || shape == Track::BottomLeft) ? 0.0 : kCell;
  const double cy = (shape == Track::TopLeft || shape == Track::TopRight) ? 0.0 : kCell;
  const double dx = std::abs(px - cx);
  const double dy = std::abs(py - cy);
  const double r = std::hypot(dx, dy);
  const double angle = std::atan2(dy, dx);
  bool sleeper = false;
  // Three sleepers spread evenly over the quarter circle, each a bar of
  // constant width pointing at the corner.
  for (int k = 0; k < 3; ++k) {
    const double bar = (k + 0.5) * (kPi / 2) / 3;
    if (std::abs(r * std::sin(angle - bar)) < kSleeperHalfWidth) sleeper = true;
  }
  return {r - kHalf, sleeper};
}

}  // namespace

bool is_rail_colour(Color c) {
  return c == kRailShadowSide || c == kRailTop || c == kRailSide;
}

Image draw_track(Track shape) {
  Image img = draw_grass();
  for (int y = 0; y < kCell; ++y) {
    for (int x = 0; x < kCell; ++x) {
      const TrackPoint p = locate_on_track(shape, x, y);
      const double d = std::abs(p.across);
      // The gravel bed's edge is ragged by whole pixels only, so the edge of
      // a curve and of a straight piece fall on the same pixels.
      const double reach = kBallastReach + (hash(x, y, kGravelSeed + 1) % 3 == 0 ? 1.0 : 0.0);
      if (d >= reach) continue;
      Color c = kGravel[hash(x, y, kGravelSeed) % kGravel.size()];
      if (p.sleeper && d < kSleeperReach) {
        c = hash(x, y, kWoodSeed) % 11 == 0 ? kWoodKnot : kWood;
        if (d >= kSleeperReach - 1) c = kWoodEdge;
      } else if (d >= kRailOuter && d < kRailOuter + 1) {
        c = scale(c, 0.72);  // the rail's shadow on the gravel
      }
      if (d >= kRailInner && d < kRailOuter) {
        if (d < kRailInner + 1) {
          c = kRailShadowSide;
        } else if (d < kRailInner + 2) {
          c = kRailTop;
        } else {
          c = kRailSide;
        }
      }
      img.at(x, y) = c;
    }
  }
  // Dark wood at the sleepers' long sides gives them some depth.
  Image shaded = img;
  for (int y = 0; y < kCell; ++y) {
    for (int x = 0; x < kCell; ++x) {
      if (img.at(x, y) != kWood && img.at(x, y) != kWoodKnot) continue;
      int gravel_neighbours = 0;
      for (auto [nx, ny] : {std::pair{x + 1, y}, {x, y + 1}}) {
        if (nx < kCell && ny < kCell) {
          const Color n = img.at(nx, ny);
          if (std::find(kGravel.begin(), kGravel.end(), n) != kGravel.end()) ++gravel_neighbours;
        }
      }
      if (gravel_neighbours > 0) shaded.at(x, y) = kWoodEdge;
    }
  }
  return shaded;
}

}  // namespace rt::make_sprites
