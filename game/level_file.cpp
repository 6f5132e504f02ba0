// Reading and writing level files: the field order of the form, and the
// check of the file against its plain form of 282 whole numbers.
#include "game/level_file.h"

#include <cctype>

#include "platform/formats/field_reader.h"

namespace rt {
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

// The cell a field number (1-based) of the file describes; 0, 0 for the
// hole's fields.
void cell_of_field(int field, int& column, int& row) {
  if (field > kColumns * kRows) {
    column = 0;
    row = 0;
    return;
  }
  column = (field - 1) / kRows + 1;
  row = (field - 1) % kRows + 1;
}

void find_problems(std::string_view text, std::vector<LevelProblem>& problems) {
  const std::vector<std::string> tokens = tokens_of(text);
  for (std::size_t i = 0; i < tokens.size() && i < kLevelFields; ++i) {
    if (!is_whole_number(tokens[i])) {
      LevelProblem p;
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
}

Level read_text(std::string text) {
  FieldReader reader(std::move(text));
  return read_level_fields([&reader] { return reader.read_int(); });
}

}  // namespace

Level read_level_fields(const std::function<std::int32_t()>& next_field) {
  // Column by column, as the file lists them; the hole's column, then its row.
  Level level;
  for (int x = 1; x <= kColumns; ++x) {
    for (int y = 1; y <= kRows; ++y) level.board.set(x, y, next_field());
  }
  level.cursor_x = next_field();
  level.cursor_y = next_field();
  return level;
}

Level read_level(std::string_view bytes) {
  return read_text(text_mode(bytes));
}

Level read_level(std::string_view bytes, std::vector<LevelProblem>& problems) {
  std::string text = text_mode(bytes);
  find_problems(text, problems);
  return read_text(std::move(text));
}

std::string level_file_text(const Level& level) {
  std::string text;
  for (int x = 1; x <= kColumns; ++x) {
    for (int y = 1; y <= kRows; ++y) {
      text += std::to_string(level.board.get(x, y));
      text += (y == kRows) ? '\n' : ',';
    }
  }
  text += std::to_string(level.cursor_x) + "," + std::to_string(level.cursor_y) + "\n";
  return text;
}

}  // namespace rt
