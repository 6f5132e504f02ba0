// Levels and verdicts from the page's worker, with the page's own thread as
// the fallback.
#include "app/worker_levels.h"

#include "hosts/web/web_host.h"
#include "levels/generator.h"

namespace rt {

namespace {

// The level's 282 numbers in file order.
std::array<int, kLevelFields> fields_of(const Level& level) {
  std::array<int, kLevelFields> fields{};
  std::size_t i = 0;
  for (int x = 1; x <= kColumns; ++x) {
    for (int y = 1; y <= kRows; ++y) fields[i++] = level.board.get(x, y);
  }
  fields[i++] = level.cursor_x;
  fields[i] = level.cursor_y;
  return fields;
}

// How often a game waiting for its level looks whether it has come.
constexpr int kPollMs = 50;
// Where the note stands: the free row under the status line.
constexpr int kNoteRow = 37;
constexpr int kNoteColumn = 40;

}  // namespace

WorkerLevels::WorkerLevels(Platform& platform, std::uint32_t seed) : p_(platform), seed_(seed) {
  make_levels_in_worker(seed);
}

Level WorkerLevels::level(int level_number) {
  const int n = level_number >= 1 && level_number <= kLevelCount ? level_number : 1;
  std::optional<Level>& made = made_[static_cast<std::size_t>(n - 1)];
  bool noted = false;
  while (!made) {
    std::array<int, kLevelFields> fields{};
    const int got = take_level_from_worker(seed_, n, fields.data());
    if (got > 0) {
      std::size_t i = 0;
      made = read_level_fields([&] { return fields[i++]; });
    } else if (got < 0) {
      made = generate_level(seed_, n);
    } else {
      if (!noted) {
        p_.locate(kNoteRow, kNoteColumn);
        p_.print_text("STRECKE WIRD GEBAUT ...");
        noted = true;
      }
      p_.sleep_ms(kPollMs);
    }
  }
  if (noted) {
    p_.locate(kNoteRow, kNoteColumn);
    p_.print_text("                       ");
  }
  return *made;
}

std::uint64_t WorkerTrackRater::ask(const Level& level, float step_interval) {
  ++number_;
  level_ = level;
  step_interval_ = step_interval;
  inline_.reset();
  const std::array<int, kLevelFields> fields = fields_of(level);
  if (!ask_worker_rating(number_, fields.data(), step_interval)) {
    inline_ = rate_track(level, step_interval);
  }
  return number_;
}

std::optional<TrackRating> WorkerTrackRater::answer(std::uint64_t question) {
  if (question != number_) return std::nullopt;
  if (inline_) return inline_;
  double out[3] = {};
  const int got = take_worker_rating(question, out);
  if (got < 0) {
    // The worker failed: the page rates it itself after all.
    inline_ = rate_track(level_, step_interval_);
    return inline_;
  }
  if (got == 0) return std::nullopt;
  TrackRating rating;
  rating.verdict = static_cast<TrackVerdict>(static_cast<int>(out[0]));
  rating.slides = static_cast<int>(out[1]);
  rating.seconds_to_spare = out[2];
  return rating;
}

}  // namespace rt
