// The game core's state and operations: one object per run, created by the
// program (or a test) on a Platform.
#pragma once

#include <cstdint>
#include <functional>

#include "game/assets.h"
#include "game/board.h"
#include "game/level_file.h"
#include "game/rules.h"
#include "game/sprites.h"
#include "platform/platform.h"

namespace rt {

// Values of GameState.
namespace state {
inline constexpr std::int32_t kPlaying = 0;
inline constexpr std::int32_t kLocoLost = 1;
inline constexpr std::int32_t kGameOver = 2;
}  // namespace state

// The game core: the board, the hole, the locomotive, the pictures and the
// game variables, with the operations that play a game. Holds the services
// by reference; one object per run.
class Game {
 public:
  explicit Game(Platform& platform) : p_(platform) {}
  Game(const Game&) = delete;
  Game& operator=(const Game&) = delete;

  Platform& platform() { return p_; }

  // Game variables.
  std::int32_t GameState = state::kGameOver;
  std::int32_t level = 1;
  std::int32_t lives = 3;
  std::int32_t score = 0;
  std::int32_t sound_on = 1;
  float speedup = 0.0f;
  float step_interval = 4.0f;
  float last_poll_time = 0.0f;
  float last_step_time = 0.0f;
  // The level a game starts on, counted as if every level before it had
  // been won (its speed too); 1 for a normal game.
  std::int32_t first_level = 1;

  // Board and hole.
  Board board;
  std::int32_t cursor_x = 0;
  std::int32_t cursor_y = 0;

  // Locomotive.
  std::int32_t loco_x = 1;
  std::int32_t loco_y = 1;
  Heading loco_heading = heading::kRight;
  std::int32_t loco_frame = 0;

  Sprites sprites;

  // Where the levels come from: unset, the level files Data\levNN.dat;
  // set, the level of each number (1 to kLevelCount) it gives. It must give
  // the same level for the same number every time, as a lost locomotive
  // starts its level again from there.
  std::function<Level(int level_number)> level_source;

  // Levels onto the board (game/level_loading.cpp).
  void load_level();
  // The level the game plays as level `number` (1 to kLevelCount; others
  // count as 1): from the level source, or else from its file.
  Level level_of(int number);
  // Pictures and drawing (game/drawing.cpp).
  void load_sprites();
  // Draws board cell (x, y) with the picture of its code.
  void draw_cell(int x, int y);
  // The picture of a tile code; nullptr for codes without one.
  const Image* picture_for(TileCode code) const;
  // Draws the picture of `code` on field cell (x, y), nothing for a code
  // without one.
  void draw_piece(int x, int y, TileCode code);
  void draw_moved_piece();
  void draw_locomotive();
  // Sliding (game/slides.cpp).
  void slide_up();
  void slide_down();
  void slide_left();
  void slide_right();
  void slide(Slide s);
  // Locomotive (game/locomotive.cpp).
  void step_locomotive();
  void redraw_track_under_locomotive();
  // Crash (game/crash.cpp).
  void explode_locomotive();
  // Sounds (game/sound.cpp): each plays its effect unless the sound is off.
  void play(assets::SoundId sound);
  void play_ping();
  void play_explosion();
  void play_ding();
  void play_next();
  // Level presentation (game/presentation.cpp).
  void show_level();
  // The game loop (game/game_loop.cpp).
  void play_game();
  // Plays `track` once, as the editor's test drive: at speed level
  // `speed_level`, with the normal rules and one locomotive, the level's end
  // (won, lost or given up with Escape) ending it. True when the locomotive
  // reached the station. The game's level source, score and variables are
  // as they were afterwards.
  bool play_trial(const Level& track, int speed_level);

  // Adds points the way a 32-bit counter does: wrapping, never overflowing
  // (game/score.cpp).
  void add_score(std::int32_t points);

 private:
  // Draws `image` on board cell (x, y).
  void put_on_cell(int x, int y, const Image& image);
  // The level `number` read from its file, as the file service answers.
  Level read_level_file(int number);
  // The code of the cell at offset `o` from the locomotive; 0 beyond the board.
  TileCode code_beside_locomotive(Offset o) const;
  // A clock reading as the game stores it: seconds in single precision.
  float clock_reading();
  // Moves the piece at (from_x, from_y) into the hole (the common part of the
  // four slides, once the slide's own bound has been checked).
  void slide_from(int from_x, int from_y);
  // Handles a lost locomotive; false when it was the last one (game over).
  bool lose_locomotive();
  // Advances to the next level once the station has been reached.
  void win_level();
  // Tells the pointer where the hole, the locomotive and the status line are.
  void describe_field();
  // 32-bit addition that wraps as two's complement instead of overflowing.
  static std::int32_t wrapping_add(std::int32_t a, std::int32_t b);

  Platform& p_;
  // A test drive is played: the level's end ends the game.
  bool trial_ = false;
  bool trial_won_ = false;
};

}  // namespace rt
