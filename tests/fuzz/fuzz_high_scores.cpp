// The high-score file: arbitrary bytes as Data/High.dat, loaded; a score and
// a typed name entered; the list saved and read back, which must give the
// same list again.
//
// Input: byte 0 is the number of name bytes taken from the end, bytes 1..4
// the score (little-endian); the bytes between are the file.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "frontend/frontend.h"
#include "game/game.h"
#include "hosts/sim/sim_host.h"
#include "platform/platform.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

using rt::fuzz::check;

// Compares two lists; tells the first difference on standard error.
bool same(const rt::HighScoreTable& a, const rt::HighScoreTable& b) {
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (a[i].name != b[i].name || a[i].points != b[i].points) {
      std::fprintf(stderr, "entry %zu: \"%s\" %d against \"%s\" %d\n", i + 1, a[i].name.c_str(),
                   a[i].points, b[i].name.c_str(), b[i].points);
      return false;
    }
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  rt::fuzz::Input in(data, size);
  const std::uint8_t name_length = in.byte();
  const auto score = static_cast<std::int32_t>(in.u32());
  const std::string name = in.take_back(name_length);
  const std::string file = in.rest();

  const rt::testing::TempDir& dir = rt::fuzz::work_dir();
  dir.write("Data/High.dat", file);

  rt::SimHost host;
  rt::Platform platform(host, dir.path());
  rt::Game game(platform);
  rt::FrontEnd front(platform, game);
  platform.set_screen_mode();

  front.load_high_scores();
  const rt::HighScoreTable before = front.high_scores;

  // The name typed one character at a time, then Enter; codes the line
  // input would take as Enter are left out.
  double t = 0.01;
  for (const char c : name) {
    const int code = static_cast<std::uint8_t>(c);
    if (code == 0 || code == 13 || code == 10) continue;
    host.type_code(t, code);
    t += 0.03;
  }
  host.type_code(t, rt::keycode::kEnter);
  host.set_time_limit(t + 10.0);
  game.score = score;
  try {
    front.enter_high_score();
  } catch (const rt::SimStop&) {
    check(false, "the name entry ends at Enter");
  }

  // The score takes the place of the first entry it beats and moves the rest
  // down by one; a score that beats nothing leaves the list alone.
  std::size_t place = before.size();
  for (std::size_t i = 0; i < before.size() && place == before.size(); ++i) {
    if (score > before[i].points) place = i;
  }
  const rt::HighScoreTable& after = front.high_scores;
  check(game.score == (place < before.size() ? 0 : score),
        "the score is taken only when it enters the list");
  for (std::size_t i = 0; i < after.size(); ++i) {
    if (i < place) {
      check(after[i].name == before[i].name && after[i].points == before[i].points,
            "entries above the new one stay");
    } else if (i == place) {
      check(after[i].points == score, "the new entry holds the score");
      check(after[i].name.find('"') == std::string::npos, "a typed name holds no quote");
    } else {
      check(after[i].name == before[i - 1].name && after[i].points == before[i - 1].points,
            "entries below the new one move down by one");
    }
  }

  front.save_high_scores();
  rt::FrontEnd reread(platform, game);
  reread.load_high_scores();
  // The file keeps names between quotes: a quote in a name is saved as an
  // apostrophe, and everything else comes back as it was.
  rt::HighScoreTable expected = front.high_scores;
  for (auto& e : expected) std::replace(e.name.begin(), e.name.end(), '"', '\'');
  check(same(expected, reread.high_scores), "the saved list reads back the same");

  // Saving what was read back gives the same file again.
  const std::string saved = [&] {
    std::ifstream f(dir.path() / "Data" / "High.dat", std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
  }();
  reread.save_high_scores();
  std::ifstream again_file(dir.path() / "Data" / "High.dat", std::ios::binary);
  const std::string again((std::istreambuf_iterator<char>(again_file)),
                          std::istreambuf_iterator<char>());
  check(saved == again, "a saved list saves to the same bytes");
  return 0;
}
