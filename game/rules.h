#pragma once

#include <cstdint>
#include <optional>

namespace rt {

// The code of a board cell.
using TileCode = std::int32_t;

namespace tile {
inline constexpr TileCode kSchwarz = 0;       // the hole
inline constexpr TileCode kGruen = 1;         // grass
inline constexpr TileCode kSchieneWage = 10;  // straight rail, left-right
inline constexpr TileCode kSchieneSenk = 11;  // straight rail, top-bottom
inline constexpr TileCode kKurveOLi = 12;     // curve top-left
inline constexpr TileCode kKurveORe = 13;     // curve top-right
inline constexpr TileCode kKurveULi = 14;     // curve bottom-left
inline constexpr TileCode kKurveURe = 15;     // curve bottom-right
inline constexpr TileCode kBaum1 = 20;        // tree
inline constexpr TileCode kHaus = 21;         // house
inline constexpr TileCode kHbf = 30;          // station, the goal
}  // namespace tile

// Directions of the locomotive.
using Heading = std::int32_t;
namespace heading {
inline constexpr Heading kUp = 0;
inline constexpr Heading kRight = 1;
inline constexpr Heading kDown = 2;
inline constexpr Heading kLeft = 3;
}  // namespace heading

// The playing field: columns 1..20, rows 1..14; column 0 and row 0 are the
// border that always holds 0.
inline constexpr int kColumns = 20;
inline constexpr int kRows = 14;
inline constexpr int kCellSize = 40;

// A piece can slide into the hole when its code is at most 19 (signed).
constexpr bool is_movable(TileCode code) {
  return code <= 19;
}

// The six track pieces the locomotive can run on.
constexpr bool is_track(TileCode code) {
  return code >= 10 && code <= 15;
}

// Offset of the cell ahead for a heading; {0, 0} for a heading outside 0..3.
struct Offset {
  int dx;
  int dy;
};
constexpr Offset cell_ahead(Heading h) {
  switch (h) {
    case heading::kUp:
      return {0, -1};
    case heading::kRight:
      return {1, 0};
    case heading::kDown:
      return {0, 1};
    case heading::kLeft:
      return {-1, 0};
    default:
      return {0, 0};
  }
}

// One entry of the step table: what a locomotive heading `h` does when the
// cell ahead holds `ahead`.
struct StepResult {
  bool moves = false;   // false: the locomotive crashes
  Heading new_heading;  // the heading after the move
};

// The step table. A piece takes the locomotive when it joins the side facing
// it; the locomotive leaves through the piece's other side. A heading outside
// 0..3 gives no result at all (the step then does nothing).
constexpr std::optional<StepResult> step_rule(Heading h, TileCode ahead) {
  using namespace tile;
  // Headings are tested in the order up, left, right, down.
  if (h == heading::kUp) {
    if (ahead == kSchieneSenk) return StepResult{true, h};
    if (ahead == kKurveULi) return StepResult{true, heading::kLeft};
    if (ahead == kKurveURe) return StepResult{true, heading::kRight};
    return StepResult{false, h};
  }
  if (h == heading::kLeft) {
    if (ahead == kSchieneWage) return StepResult{true, h};
    if (ahead == kKurveORe) return StepResult{true, heading::kUp};
    if (ahead == kKurveURe) return StepResult{true, heading::kDown};
    return StepResult{false, h};
  }
  if (h == heading::kRight) {
    if (ahead == kSchieneWage) return StepResult{true, h};
    if (ahead == kKurveOLi) return StepResult{true, heading::kUp};
    if (ahead == kKurveULi) return StepResult{true, heading::kDown};
    return StepResult{false, h};
  }
  if (h == heading::kDown) {
    if (ahead == kSchieneSenk) return StepResult{true, h};
    if (ahead == kKurveOLi) return StepResult{true, heading::kLeft};
    if (ahead == kKurveORe) return StepResult{true, heading::kRight};
    return StepResult{false, h};
  }
  return std::nullopt;
}

// The ten level files, by level number 1..10.
inline constexpr const char* kLevelNames[10] = {"lev01", "lev02", "lev03", "lev04", "lev05",
                                                "lev06", "lev07", "lev08", "lev09", "lev10"};

}  // namespace rt
