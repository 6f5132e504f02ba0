// The list of the ten best scores: reading and keeping Data\High.dat, showing
// it on the menu screen and the name entry for a new place.
#include <algorithm>
#include <string>
#include <vector>

#include "frontend/frontend.h"

namespace rt {

namespace {

// The list on the menu screen: heading, then one row per entry.
constexpr int kHeadingRow = 15;
constexpr int kHeadingColumn = 41;
constexpr int kFirstEntryRow = 17;
constexpr int kNameColumn = 35;
constexpr int kPointsColumn = 53;
// The most of a name typed or shown: one blank stays before the points.
constexpr std::size_t kNameWidth = kPointsColumn - kNameColumn - 1;

// The name entry below the title.
constexpr int kPromptRow = 20;
constexpr int kPromptColumn = 35;

// A name as the file keeps it: a quote inside a name would end the field
// early and shift every field after it, so it is written as an apostrophe.
std::string saved_name(std::string name) {
  std::replace(name.begin(), name.end(), '"', '\'');
  return name;
}

}  // namespace

HighScoreTable parse_high_scores(std::string_view bytes) {
  FieldReader reader(text_mode(bytes));
  HighScoreTable list;
  for (HighScoreEntry& entry : list) {
    entry.name = reader.read_string();
    entry.points = reader.read_int();
  }
  return list;
}

std::string high_score_bytes(const HighScoreTable& list) {
  std::string bytes;
  for (const HighScoreEntry& entry : list) {
    bytes += '"';
    bytes += saved_name(entry.name);
    bytes += "\"\r\n";
    bytes += std::to_string(entry.points);
    bytes += "\r\n";
  }
  return bytes;
}

bool insert_high_score(HighScoreTable& list, const HighScoreEntry& entry) {
  for (std::size_t p = 0; p < list.size(); ++p) {
    if (entry.points > list[p].points) {
      // Everything from here down moves one place; the last entry drops out.
      std::move_backward(list.begin() + static_cast<std::ptrdiff_t>(p), list.end() - 1, list.end());
      list[p] = entry;
      // One place only, also when entries further down hold negative points.
      return true;
    }
  }
  return false;
}

HighScoreTable merge_high_scores(const HighScoreTable& on_disk, const HighScoreTable& ours) {
  HighScoreTable merged = on_disk;
  // Each entry on disk stands for one equal entry of ours.
  std::vector<bool> matched(on_disk.size(), false);
  for (const HighScoreEntry& entry : ours) {
    const HighScoreEntry kept{saved_name(entry.name), entry.points};
    bool found = false;
    for (std::size_t i = 0; i < on_disk.size() && !found; ++i) {
      if (!matched[i] && on_disk[i].points == kept.points &&
          saved_name(on_disk[i].name) == kept.name) {
        matched[i] = true;
        found = true;
      }
    }
    if (!found) insert_high_score(merged, kept);
  }
  return merged;
}

void FrontEnd::load_high_scores() {
  // A missing file gives the empty list: every field "" or 0.
  high_scores = parse_high_scores(p_.read_score_file());
}

void FrontEnd::show_high_scores() {
  p_.locate(kHeadingRow, kHeadingColumn);
  p_.print_text("BESTENLISTE");
  int row = kFirstEntryRow;
  for (const HighScoreEntry& entry : high_scores) {
    p_.locate(row, kNameColumn);
    // A longer name (from an edited file) is kept whole but shown cut, so it
    // never runs into the points or onto the next row.
    p_.print_text(std::string_view(entry.name).substr(0, kNameWidth));
    p_.locate(row, kPointsColumn);
    p_.print_using("######", static_cast<double>(entry.points));
    ++row;
  }
}

void FrontEnd::enter_high_score() {
  p_.clear_screen();
  show_title_screen();
  p_.locate(kPromptRow, kPromptColumn);
  // No longer than the list can show: the names start in column 35 and the
  // points in column 53, with one blank between them.
  p_.input_line("Namen bitte eingeben", kNameWidth);
  // The name is the first field of the typed line: leading blanks go, a comma
  // ends it, surrounding quotes are dropped.
  std::string name = p_.read_string_field();
  // The file keeps names between double quotes, so a quote inside a name
  // would shift every field after it; it is kept as an apostrophe.
  std::replace(name.begin(), name.end(), '"', '\'');

  if (insert_high_score(high_scores, HighScoreEntry{name, game_.score})) game_.score = 0;
}

void FrontEnd::save_high_scores() {
  HighScoreTable merged = high_scores;
  const SaveResult result = p_.update_score_file([&merged](std::string_view on_disk) {
    merged = merge_high_scores(parse_high_scores(on_disk), merged);
    return high_score_bytes(merged);
  });
  high_scores_saved = result.ok;
  if (!result.ok) {
    p_.host().report("rangiertrubel: Bestenliste nicht gespeichert in \"" + result.file.string() +
                     "\": " + result.reason);
    return;
  }
  // The list is replaced as a whole, so an interrupted save keeps the old one;
  // the program goes on with what the file now holds.
  high_scores = merged;
}

}  // namespace rt
