// Reading, checking and drawing level files for the level tool.
#include "tools/levels/level_file.h"

#include <cctype>
#include <string>

#include "game/rules.h"
#include "platform/formats/field_reader.h"

namespace rt::levels {
namespace {

bool is_whole_number(std::string_view token) {
  std::size_t i = 0;
  if (i < token.size() && (token[i] == '-' || token[i] == '+')) ++i;
  if (i == token.size()) return false;
  for (; i < token.size(); ++i) {
    if (!std::isdigit(static_cast<unsigned char>(token[i]))) return false;
  }
  return true;
}

// Splits the data the way a person writes a level: numbers separated by
// commas, blanks, tabs or line ends.
std::vector<std::string> tokens_of(std::string_view text) {
  std::vector<std::string> tokens;
  std::string current;
  bool after_comma = false;
  auto flush = [&](bool comma) {
    if (!current.empty() || (comma && after_comma)) tokens.push_back(current);
    current.clear();
  };
  for (char ch : text) {
    if (ch == ',') {
      flush(true);
      after_comma = true;
    } else if (ch == ' ' || ch == '\t' || ch == '\n') {
      if (!current.empty()) {
        tokens.push_back(current);
        current.clear();
        after_comma = false;
      }
    } else {
      current.push_back(ch);
      after_comma = false;
    }
  }
  if (!current.empty()) tokens.push_back(current);
  return tokens;
}

// The cell a field number (1-based) of the file describes.
void cell_of_field(int field, int& column, int& row) {
  if (field > 280) {
    column = 0;
    row = 0;
    return;
  }
  column = (field - 1) / kRows + 1;
  row = (field - 1) % kRows + 1;
}

}  // namespace

Level read_level(std::string_view bytes, std::vector<Problem>& problems) {
  const std::string text = text_mode(bytes);

  const std::vector<std::string> tokens = tokens_of(text);
  for (std::size_t i = 0; i < tokens.size() && i < kLevelFields; ++i) {
    if (!is_whole_number(tokens[i])) {
      Problem p;
      cell_of_field(static_cast<int>(i) + 1, p.column, p.row);
      p.message =
          "field " + std::to_string(i + 1) + " is not a whole number: \"" + tokens[i] + "\"";
      problems.push_back(p);
    }
  }
  if (tokens.size() < kLevelFields) {
    problems.push_back({"only " + std::to_string(tokens.size()) + " of " +
                            std::to_string(kLevelFields) + " fields",
                        0, 0});
  } else if (tokens.size() > kLevelFields) {
    problems.push_back({std::to_string(tokens.size() - kLevelFields) +
                            " fields after the hole's position (the game ignores them)",
                        0, 0});
  }

  // The values as the game reads them, field by field.
  Level level;
  FieldReader reader(text);
  for (int x = 1; x <= kColumns; ++x) {
    for (int y = 1; y <= kRows; ++y) level.board.set(x, y, reader.read_int());
  }
  level.hole_x = reader.read_int();
  level.hole_y = reader.read_int();
  return level;
}

Drive drive_unslid(const Board& board) {
  Drive drive;
  Heading h = heading::kRight;
  // A closed loop of track never ends; every cell entered from every side is
  // more than enough to tell.
  const int limit = 4 * kColumns * kRows + 1;
  for (int i = 0; i < limit; ++i) {
    const Offset o = cell_ahead(h);
    const auto rule = step_rule(h, board.get(drive.x + o.dx, drive.y + o.dy));
    if (!rule || !rule->moves) return drive;
    drive.x += o.dx;
    drive.y += o.dy;
    h = rule->new_heading;
    ++drive.steps;
    if (station_beside([&](Offset o) { return board.get(drive.x + o.dx, drive.y + o.dy); })) {
      drive.reaches_station = true;
      return drive;
    }
  }
  return drive;
}

std::vector<Problem> check_level(const Level& level) {
  std::vector<Problem> problems;
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
        if (x != level.hole_x || y != level.hole_y) {
          problems.push_back({"a hole that is not the hole's position in the file", x, y});
        }
      }
      if (code == tile::kHbf) ++stations;
    }
  }
  if (!Board::in_field(level.hole_x, level.hole_y)) {
    problems.push_back({"the hole's position " + std::to_string(level.hole_x) + "," +
                            std::to_string(level.hole_y) + " lies outside the field",
                        0, 0});
  } else if (level.board.get(level.hole_x, level.hole_y) != tile::kSchwarz) {
    problems.push_back({"the hole's position holds code " +
                            std::to_string(level.board.get(level.hole_x, level.hole_y)) + ", not 0",
                        level.hole_x, level.hole_y});
  }
  if (holes == 0) problems.push_back({"no cell holds the hole (code 0)", 0, 0});
  if (stations != 1) {
    problems.push_back({std::to_string(stations) + " stations instead of one", 0, 0});
  }
  if (!is_track(level.board.get(1, 1))) {
    problems.push_back({"the locomotive's start cell holds no track", 1, 1});
  }
  const TileCode second = level.board.get(2, 1);
  if (!(step_rule(heading::kRight, second) && step_rule(heading::kRight, second)->moves)) {
    problems.push_back(
        {"the piece right of the start does not take a locomotive from the left", 2, 1});
  }
  if (stations == 1 && drive_unslid(level.board).reaches_station) {
    problems.push_back({"the station is reached without a single slide", 0, 0});
  }
  return problems;
}

std::string draw_level(const Level& level) {
  std::string out;
  for (int y = 1; y <= kRows; ++y) {
    for (int x = 1; x <= kColumns; ++x) {
      switch (level.board.get(x, y)) {
        case tile::kSchwarz:
          out += ' ';
          break;
        case tile::kGruen:
          out += "\u00b7";
          break;
        case tile::kSchieneWage:
          out += "\u2500";
          break;
        case tile::kSchieneSenk:
          out += "\u2502";
          break;
        case tile::kKurveOLi:
          out += "\u2518";
          break;
        case tile::kKurveORe:
          out += "\u2514";
          break;
        case tile::kKurveULi:
          out += "\u2510";
          break;
        case tile::kKurveURe:
          out += "\u250c";
          break;
        case tile::kBaum1:
          out += 'T';
          break;
        case tile::kHaus:
          out += 'H';
          break;
        case tile::kHbf:
          out += 'S';
          break;
        default:
          out += '?';
          break;
      }
    }
    out += '\n';
  }
  return out;
}

}  // namespace rt::levels
