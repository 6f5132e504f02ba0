// Checking a level against the rules of play, and its drive with no slide.
#include "levels/level_check.h"

#include <string>

#include "game/rules.h"
#include "levels/play.h"

namespace rt {

Drive drive_unslid(const Board& board) {
  Drive drive;
  Locomotive loco;
  // A closed loop of track never ends; every cell entered from every side is
  // more than enough to tell.
  for (int i = 0; i <= kStepHorizon; ++i) {
    const StepEnd end = step_on(board, loco);
    if (end == StepEnd::Crashed) break;
    drive.reaches_station = end == StepEnd::Won;
    if (drive.reaches_station) break;
  }
  drive.x = loco.x;
  drive.y = loco.y;
  drive.steps = loco.steps;
  return drive;
}

std::vector<LevelProblem> check_level(const Level& level) {
  std::vector<LevelProblem> problems;
  int holes = 0;
  int stations = 0;
  for (int x = 1; x <= kColumns; ++x) {
    for (int y = 1; y <= kRows; ++y) {
      const TileCode code = level.board.get(x, y);
      if (!has_picture(code)) {
        problems.push_back({"unknown code " + std::to_string(code), x, y});
      }
      if (code == tile::kSchwarz) {
        ++holes;
        if (x != level.cursor_x || y != level.cursor_y) {
          problems.push_back({"a hole that is not the hole's position in the file", x, y});
        }
      }
      if (code == tile::kHbf) ++stations;
    }
  }
  if (!Board::in_field(level.cursor_x, level.cursor_y)) {
    problems.push_back({"the hole's position " + std::to_string(level.cursor_x) + "," +
                            std::to_string(level.cursor_y) + " lies outside the field",
                        0, 0});
  } else if (level.board.get(level.cursor_x, level.cursor_y) != tile::kSchwarz) {
    problems.push_back({"the hole's position holds code " +
                            std::to_string(level.board.get(level.cursor_x, level.cursor_y)) +
                            ", not 0",
                        level.cursor_x, level.cursor_y});
  }
  if (holes == 0) problems.push_back({"no cell holds the hole (code 0)", 0, 0});
  if (stations != 1) {
    problems.push_back({std::to_string(stations) + " stations instead of one", 0, 0});
  }
  if (!is_track(level.board.get(1, 1))) {
    problems.push_back({"the locomotive's start cell holds no track", 1, 1});
  }
  const auto second = step_rule(heading::kRight, level.board.get(2, 1));
  if (!(second && second->moves)) {
    problems.push_back(
        {"the piece right of the start does not take a locomotive from the left", 2, 1});
  }
  if (stations == 1 && drive_unslid(level.board).reaches_station) {
    problems.push_back({"the station is reached without a single slide", 0, 0});
  }
  return problems;
}

}  // namespace rt
