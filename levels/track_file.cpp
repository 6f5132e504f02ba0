// Reading a player's track file, refusing what is no level.
#include "levels/track_file.h"

#include <vector>

namespace rt {

TrackFile read_track_file(std::string_view bytes) {
  TrackFile file;
  std::vector<LevelProblem> problems;
  const Level level = read_level(bytes, problems);
  if (!problems.empty()) {
    file.refused = "Die Datei ist keine Strecke.";
    return file;
  }
  for (int x = 1; x <= kColumns; ++x) {
    for (int y = 1; y <= kRows; ++y) {
      if (!has_picture(level.board.get(x, y))) {
        file.refused = "Unbekanntes Teil in Spalte " + std::to_string(x) + ", Zeile " +
                       std::to_string(y) + ".";
        return file;
      }
    }
  }
  file.level = level;
  return file;
}

}  // namespace rt
