// Level files and play: arbitrary bytes as the level file, then the game
// loop on the simulated host with keys from the input, for a bounded span of
// virtual time. After every key and at the end, the board, the hole, the
// locomotive and the game variables must be where the game can use them.
//
// Input: byte 0 sets the virtual time limit, byte 1 the number of key bytes
// taken from the end; the bytes between are the level file. A key byte
// picks the key (low 3 bits), the gap before it (next 3 bits, 0.1 s steps)
// and how long it is held (top 2 bits).

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "game/game.h"
#include "hosts/sim/sim_host.h"
#include "platform/keyboard.h"
#include "platform/platform.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

using rt::fuzz::check;

struct Key {
  int scan_code;
  int code;
};
constexpr std::array<Key, 8> kKeys = {{
    {rt::scan::kUp, rt::extended_code(rt::scan::kUp)},
    {rt::scan::kDown, rt::extended_code(rt::scan::kDown)},
    {rt::scan::kLeft, rt::extended_code(rt::scan::kLeft)},
    {rt::scan::kRight, rt::extended_code(rt::scan::kRight)},
    {rt::scan::kSpace, rt::keycode::kSpace},
    {rt::scan::kEnter, rt::keycode::kEnter},
    {rt::scan::kEscape, rt::keycode::kEscape},
    {rt::scan::kS, 's'},
}};

// The level intro takes three seconds; keys start just after it.
constexpr double kFirstKey = 3.05;

void check_game(const rt::Game& g) {
  check(g.level >= 1 && g.level <= 10, "level 1..10");
  check(g.lives >= 0 && g.lives <= 3, "lives 0..3");
  check(g.GameState >= 0 && g.GameState <= 2, "GameState 0..2");
  check(g.sound_on == 0 || g.sound_on == 1, "sound on or off");
  check(rt::Board::in_field(g.cursor_x, g.cursor_y), "the hole lies in the field");
  check(rt::Board::inside(g.loco_x, g.loco_y), "the locomotive lies on the board");
  check(g.loco_heading >= 0 && g.loco_heading <= 3, "the heading is one of four");
  check(g.loco_frame == 0 || g.loco_frame == 1, "the locomotive picture is 0 or 1");
  for (int x = 0; x < rt::Board::kWidth; ++x) {
    check(g.board.get(x, 0) == 0, "the top border holds 0");
  }
  for (int y = 0; y < rt::Board::kHeight; ++y) {
    check(g.board.get(0, y) == 0, "the left border holds 0");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  rt::fuzz::Input in(data, size);
  const std::uint8_t span = in.byte();
  const std::uint8_t key_count = in.byte();
  const std::string keys = in.take_back(key_count);
  const std::string level_file = in.rest();

  const rt::testing::TempDir& dir = rt::fuzz::work_dir();
  // The second level too, for a run that wins the first.
  dir.write("Data/lev01.dat", level_file);
  dir.write("Data/lev02.dat", level_file);

  rt::SimHost host;
  rt::Platform platform(host, dir.path());
  rt::Game game(platform);
  // The pictures stay empty: drawing them would only spend the run's time on
  // copying pixels, while the board, the hole and the locomotive are the
  // same with or without them.
  platform.set_screen_mode();

  double t = kFirstKey;
  for (const char k : keys) {
    const auto byte = static_cast<std::uint8_t>(k);
    const Key key = kKeys[byte & 7];
    t += 0.1 * ((byte >> 3) & 7);
    const double hold = 0.05 + 0.1 * (byte >> 6);
    host.press(t, key.scan_code, key.code);
    host.release(t + hold, key.scan_code);
    // Between keys the state is checked as the game left it.
    host.at(t + hold, [&game] { check_game(game); });
    t += hold + 0.01;
  }
  // Up to about 16 virtual seconds: a few steps at the start speed, many
  // more once Space or Enter is down, and thousands of passes in any case.
  host.set_time_limit(std::max(t, kFirstKey + 0.05 * span));
  try {
    game.play_game();
    check(game.GameState == rt::state::kGameOver, "a game returns only when it is over");
    check(game.lives == 0, "a game is over when no locomotive is left");
  } catch (const rt::SimStop&) {
  }
  check_game(game);
  return 0;
}
