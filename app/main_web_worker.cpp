// The level library's program for the page's Web Worker (levels.js and
// levels.wasm, driven by hosts/web/levels_worker.js): it makes a seed's
// levels and rates the editor's tracks away from the page's one thread, so
// that the page never stands still while the solver works. Plain numbers in,
// plain numbers out; the build exports the two functions.
#include <cstdint>

#include "game/level_file.h"
#include "levels/generator.h"
#include "levels/track_rating.h"

namespace {

// A level as its file's 282 numbers: the cells column by column, then the
// hole's column and row.
void put_level(const rt::Level& level, std::int32_t* fields) {
  int i = 0;
  for (int x = 1; x <= rt::kColumns; ++x) {
    for (int y = 1; y <= rt::kRows; ++y) fields[i++] = level.board.get(x, y);
  }
  fields[i++] = level.cursor_x;
  fields[i] = level.cursor_y;
}

rt::Level get_level(const std::int32_t* fields) {
  int i = 0;
  return rt::read_level_fields([&] { return fields[i++]; });
}

}  // namespace

extern "C" {

// Level `number` of `seed` into `fields` (rt::kLevelFields numbers).
void rt_make_level(std::uint32_t seed, int number, std::int32_t* fields) {
  put_level(rt::generate_level(seed, number), fields);
}

// The verdict on the track in `fields` at `step_interval`: `out` gets the
// verdict (its number in rt::TrackVerdict), the fewest slides and the
// seconds to spare.
void rt_rate_track(const std::int32_t* fields, float step_interval, double* out) {
  const rt::TrackRating rating = rt::rate_track(get_level(fields), step_interval);
  out[0] = static_cast<double>(rating.verdict);
  out[1] = rating.slides;
  out[2] = rating.seconds_to_spare;
}
}
