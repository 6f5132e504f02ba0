// Loading a level onto the board: from the level source, or from its file.

#include <algorithm>
#include <cstdint>
#include <string>

#include "game/game.h"
#include "game/level_file.h"

namespace rt {

namespace {
// The level file is always read as file number 1.
constexpr int kLevelFile = 1;
// open_file's answer for a file that is not there (or cannot be used).
constexpr int kFileMissing = 2;
}  // namespace

Level Game::read_level_file(int number) {
  const std::string path =
      std::string("Data\\") + kLevelNames[static_cast<std::size_t>(number - 1)] + ".dat";

  // A missing or unusable file leaves every cell empty and the locomotive is
  // lost at once; the player is told which file it was, once per run.
  if (p_.open_file(path, FileMode::Input, kLevelFile) == kFileMissing) {
    p_.report_file_problem(p_.host_path(path), "fehlt");
  }
  // Every field has its own read, so the numbers may be spread over the
  // lines in any way.
  const Level read = read_level_fields([this] {
    p_.begin_read(kLevelFile);
    return p_.read_int_field();
  });
  p_.close_file(kLevelFile);
  return read;
}

void Game::load_level() {
  // After the tenth level the counter starts again at 1. A counter below 1
  // cannot come from the game; it is treated the same way, so that the name
  // table is never read outside its ten entries.
  if (level > kLevelCount || level < 1) level = 1;
  const Level read = level_of(level);
  board = read.board;
  // The border stays 0 whatever the level holds, as a file never fills it.
  for (int x = 0; x < Board::kWidth; ++x) {
    for (int y = 0; y < Board::kHeight; ++y) {
      if (!Board::in_field(x, y)) board.set(x, y, 0);
    }
  }
  cursor_x = read.hole_column();
  cursor_y = read.hole_row();

  loco_x = 1;
  loco_y = 1;
}

Level Game::level_of(int number) {
  if (number > kLevelCount || number < 1) number = 1;
  return level_source ? level_source(number) : read_level_file(number);
}

}  // namespace rt
