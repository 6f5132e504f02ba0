// The list of the ten best scores: reading and keeping Data\High.dat, showing
// it on the menu screen and the name entry for a new place.
#include <algorithm>
#include <string>

#include "frontend/frontend.h"

namespace rt {

namespace {

constexpr const char* kHighScoreFile = "Data\\High.dat";
constexpr int kFileNumber = 1;

// The list on the menu screen: heading, then one row per entry.
constexpr int kHeadingRow = 15;
constexpr int kHeadingColumn = 41;
constexpr int kFirstEntryRow = 17;
constexpr int kNameColumn = 35;
constexpr int kPointsColumn = 53;

// The name entry below the title.
constexpr int kPromptRow = 20;
constexpr int kPromptColumn = 35;

}  // namespace

void FrontEnd::load_high_scores() {
  // A missing file opens nothing, and every read then gives "" or 0.
  p_.open_file(kHighScoreFile, FileMode::Input, kFileNumber);
  for (HighScoreEntry& entry : high_scores) {
    p_.begin_read(kFileNumber);
    entry.name = p_.read_string_field();
    p_.begin_read(kFileNumber);
    entry.points = p_.read_int_field();
  }
  p_.close_file(kFileNumber);
}

void FrontEnd::show_high_scores() {
  p_.locate(kHeadingRow, kHeadingColumn);
  p_.print_text("BESTENLISTE");
  int row = kFirstEntryRow;
  for (const HighScoreEntry& entry : high_scores) {
    p_.locate(row, kNameColumn);
    p_.print_text(entry.name);
    p_.locate(row, kPointsColumn);
    p_.print_using("######", static_cast<double>(entry.points));
    ++row;
  }
}

void FrontEnd::enter_high_score() {
  p_.clear_screen();
  show_title_screen();
  p_.locate(kPromptRow, kPromptColumn);
  p_.input_line("Namen bitte eingeben");
  // The name is the first field of the typed line: leading blanks go, a comma
  // ends it, surrounding quotes are dropped.
  std::string name = p_.read_string_field();
  // The file keeps names between double quotes, so a quote inside a name
  // would shift every field after it; it is kept as an apostrophe.
  std::replace(name.begin(), name.end(), '"', '\'');

  const std::int32_t score = game_.score;
  for (std::size_t p = 0; p < high_scores.size(); ++p) {
    if (score > high_scores[p].points) {
      // Everything from here down moves one place; the last entry drops out.
      std::move_backward(high_scores.begin() + static_cast<std::ptrdiff_t>(p),
                         high_scores.end() - 1, high_scores.end());
      high_scores[p] = HighScoreEntry{name, score};
      game_.score = 0;
      // One place only, also when entries further down hold negative points.
      break;
    }
  }
}

void FrontEnd::save_high_scores() {
  // Twenty lines, each ending in CR LF: the name in quotes, then the points.
  std::string bytes;
  for (const HighScoreEntry& entry : high_scores) {
    // A quote inside a name would end the field early and shift every field
    // after it; a name read from an edited file may hold one, so it is
    // written as an apostrophe, as the name entry does.
    std::string name = entry.name;
    std::replace(name.begin(), name.end(), '"', '\'');
    bytes += '"';
    bytes += name;
    bytes += "\"\r\n";
    bytes += std::to_string(entry.points);
    bytes += "\r\n";
  }
  // The list is replaced as a whole, so an interrupted save keeps the old one.
  p_.replace_file_atomically(kHighScoreFile, bytes);
}

}  // namespace rt
