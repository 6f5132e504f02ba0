// The rules of play, each in one place: tile codes, the step table, timing,
// lives and points, the station test, levels and the status line.
#pragma once

#include <array>
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

// The four slides, each named by the arrow key that makes it: the way the
// piece next to the hole moves into it (the hole moves the opposite way).
enum class Slide { Up, Down, Left, Right };
inline constexpr std::array<Slide, 4> kSlides{Slide::Up, Slide::Down, Slide::Left, Slide::Right};

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

// Where the piece a slide moves stands, seen from the hole: below it for Up,
// above it for Down, right of it for Left, left of it for Right. The game
// makes a slide only when that cell lies in the playing field.
constexpr Offset slide_source(Slide s) {
  switch (s) {
    case Slide::Up:
      return {0, 1};
    case Slide::Down:
      return {0, -1};
    case Slide::Left:
      return {1, 0};
    case Slide::Right:
      return {-1, 0};
  }
  return {0, 0};
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

// The codes that have a picture; a cell holding any other code draws nothing
// and the level tool reports it as unknown.
inline constexpr std::array<TileCode, 11> kPictureCodes{
    tile::kSchwarz,  tile::kGruen,    tile::kSchieneWage, tile::kSchieneSenk,
    tile::kKurveOLi, tile::kKurveORe, tile::kKurveULi,    tile::kKurveURe,
    tile::kBaum1,    tile::kHaus,     tile::kHbf};
constexpr bool has_picture(TileCode code) {
  for (const TileCode c : kPictureCodes) {
    if (c == code) return true;
  }
  return false;
}

// The station directly below or directly to the right of the locomotive wins
// the level. `code_at(offset)` gives the code of the cell at that offset from
// the locomotive; below is looked at first.
template <typename CodeAt>
constexpr bool station_beside(CodeAt code_at) {
  return code_at(Offset{0, 1}) == tile::kHbf || code_at(Offset{1, 0}) == tile::kHbf;
}

// --- Timing, lives and points ---------------------------------------------
// The step interval of a level's start is kBaseInterval less the speed-up
// earned so far; every won level earns kSpeedupPerLevel more.
inline constexpr float kBaseInterval = 4.0f;
inline constexpr double kSpeedupPerLevel = 0.4;
// Space or Enter held at a key poll sets the step interval to this; no
// level's interval is ever shorter (from level 11 on it is this one).
inline constexpr double kFastInterval = 0.3;
// The step interval of a level: 4.0 less the speed-up earned so far, but
// never faster than the speed-up key's interval. Levels 1 to 10 stay above
// it; from level 11 on, 4.0 less 4.0 or more would be zero or below in
// single precision, and the locomotive would step on every pass of the loop,
// as fast as the machine goes.
constexpr float level_interval(float speedup) {
  const double interval = static_cast<double>(kBaseInterval) - static_cast<double>(speedup);
  return static_cast<float>(interval < kFastInterval ? kFastInterval : interval);
}
// The speed-up after `won_levels` won levels, summed level by level in
// single precision as the game keeps it.
constexpr float speedup_after(int won_levels) {
  float speedup = 0.0f;
  for (int i = 0; i < won_levels; ++i) {
    speedup = static_cast<float>(static_cast<double>(speedup) + kSpeedupPerLevel);
  }
  return speedup;
}
// The step interval of the n-th level played in a game (from 1; the 11th is
// level 1 of round two), every level before it won.
constexpr float interval_of_level(int n) {
  return level_interval(speedup_after(n - 1));
}
// Steps faster than this earn the speed bonus of kBonusPoints.
inline constexpr double kBonusBelow = 0.4;
inline constexpr std::int32_t kBonusPoints = 100;
// The keys are polled when more than this has passed since the last poll.
inline constexpr double kPollPeriod = 0.15;
inline constexpr std::int32_t kLivesPerGame = 3;
// The pause after a won level, before the next one is shown.
inline constexpr int kWonPauseMs = 1000;

// The sound switch (S in play, the menu's third item): 1 is on, anything
// else counts as off and switches to on.
constexpr std::int32_t toggled_sound(std::int32_t sound_on) {
  return (sound_on == 1) ? 0 : 1;
}

// --- Levels ---------------------------------------------------------------
inline constexpr int kLevelCount = 10;
// The level files, by level number 1..kLevelCount.
inline constexpr const char* kLevelNames[kLevelCount] = {
    "lev01", "lev02", "lev03", "lev04", "lev05", "lev06", "lev07", "lev08", "lev09", "lev10"};

// The level counter of the n-th level played in a game: 1 to kLevelCount,
// then 1 again.
constexpr int level_counter_of(int n) {
  return n >= 1 ? (n - 1) % kLevelCount + 1 : 1;
}

// --- The status line under the board --------------------------------------
namespace status_line {
inline constexpr int kRow = 36;
inline constexpr int kPointsLabelColumn = 22;  // "PUNKTE:"
inline constexpr int kPointsColumn = 29;
inline constexpr int kLivesLabelColumn = 50;  // "LOKS:"
inline constexpr int kLivesColumn = 57;
inline constexpr int kLevelLabelColumn = 72;  // "STUFE:"
inline constexpr int kLevelColumn = 79;
}  // namespace status_line

}  // namespace rt
