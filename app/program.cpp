// The program's outer cycle: start-up, then menu, game and high-score entry
// for as long as it runs.
#include "app/program.h"

#include <random>

#include "levels/seed.h"
#include "levels/track_raters.h"
#include "platform/formats/cp437.h"
#include "platform/formats/score_file.h"

namespace rt {

void Program::play_seed(std::uint32_t seed, LevelMaking making) {
  seed_ = seed;
  if (level_maker_) {
    game.level_source = [this, seed](int level_number) { return level_maker_(seed, level_number); };
  } else {
    seeded_.emplace(seed, making);
    game.level_source = [this](int level_number) { return seeded_->level(level_number); };
  }
  platform_.set_score_file(generated_levels_list(platform_.score_file()));
  frontend.menu_note = "STRECKEN " + std::to_string(seed);
}

void Program::play_day(std::string_view date, LevelMaking making) {
  play_seed(seed_of_day(date), making);
  frontend.menu_note = "STRECKE DES TAGES " + std::string(date);
}

TrackRating Program::play_track(const Level& track, int speed_level) {
  track_ = track;
  game.level_source = [this](int) { return *track_; };
  game.first_level = speed_level;
  platform_.set_score_file(generated_levels_list(platform_.score_file()));
  const TrackRating rating = rate_track(track, interval_of_level(speed_level));
  // The menu's note row has room for 40 characters from its column.
  constexpr std::size_t kNoteRoom = 40;
  frontend.menu_note = utf8_to_cp437("Strecke " + verdict_text(rating)).substr(0, kNoteRoom);
  return rating;
}

std::optional<std::uint32_t> Program::seed() const {
  return seed_;
}

void Program::set_level_maker(std::function<Level(std::uint32_t seed, int number)> maker) {
  level_maker_ = std::move(maker);
}

void Program::set_track_rater(std::unique_ptr<TrackRater> rater) {
  track_rater_ = std::move(rater);
}

TrackRater& Program::track_rater() {
  if (!track_rater_) track_rater_ = std::make_unique<ThreadTrackRater>();
  return *track_rater_;
}

void Program::run() {
  Platform& p = platform_;

  // Start-up: the display, the pictures and the list, then the variables
  // the first menu and game rely on.
  p.set_screen_mode();
  game.load_sprites();
  frontend.load_high_scores();
  game.sound_on = 1;
  game.GameState = state::kGameOver;
  game.last_poll_time = static_cast<float>(p.timer_seconds());
  game.last_step_time = static_cast<float>(p.timer_seconds());
  p.set_mouse(400, 300, 0, 0);

  // Menu, game, game over, for as long as the program runs; the menu and an
  // Escape waiting after a game end it.
  for (;;) {
    if (game.GameState == state::kGameOver) frontend.main_menu();
    game.play_game();
    if (game.score > frontend.high_scores.back().points) {
      frontend.enter_high_score();
      // Kept at once, so that no way of leaving the program loses it.
      frontend.save_high_scores();
    }
    if (p.inkey() == std::string(1, static_cast<char>(keycode::kEscape))) p.end_program(0);
  }
}

void Program::edit(const std::optional<std::filesystem::path>& file,
                   const std::optional<DecodedTrack>& track) {
  Platform& p = platform_;
  TrackEditor editor(p, game, track_rater());
  editor_ = &editor;
  struct Forget {
    const TrackEditor*& editor;
    ~Forget() { editor = nullptr; }
  } forget{editor_};
  if (file) {
    const std::string refused = editor.open(*file);
    if (!refused.empty()) {
      p.host().report("rangiertrubel: " + file->string() + ": " + refused);
      p.end_program(2);
    }
  } else if (track) {
    editor.start_from(track->level, track->speed_level);
  } else {
    editor.restore_draft();
  }
  p.set_screen_mode();
  game.load_sprites();
  game.sound_on = 1;
  editor.run();
  p.end_program(0);
}

std::string program_title(std::string_view program_path) {
  // Both separators, so that a Windows path gives the same name anywhere.
  const std::size_t slash = program_path.find_last_of("/\\");
  std::string_view name =
      slash == std::string_view::npos ? program_path : program_path.substr(slash + 1);
  const std::size_t dot = name.find_last_of('.');
  if (dot != std::string_view::npos && dot > 0) name = name.substr(0, dot);
  return name.empty() ? std::string("rangiertrubel") : std::string(name);
}

std::string seeded_title(std::string_view title, std::uint32_t seed) {
  return std::string(title) + " - Strecken " + std::to_string(seed);
}

std::string day_title(std::string_view title, std::string_view date) {
  return std::string(title) + " - Strecke des Tages " + std::string(date);
}

std::uint32_t random_seed() {
  std::random_device system;
  return static_cast<std::uint32_t>(system());
}

}  // namespace rt
