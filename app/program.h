// The program above game and front end, as every host's entry and every
// simulated run create it.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "frontend/frontend.h"
#include "frontend/track_editor.h"
#include "game/game.h"
#include "levels/seeded_levels.h"
#include "levels/track_code.h"
#include "levels/track_rating.h"
#include "platform/platform.h"

namespace rt {

// The whole program: the game and the front end around it. run() is the
// start-up and the endless cycle of menu, game and high-score entry; it
// leaves only through end_program (ProgramEnd) or a host's stop.
class Program {
 public:
  explicit Program(Platform& platform)
      : platform_(platform), game(platform), frontend(platform, game) {}

  // Plays the ten levels generated from `seed` instead of the shipped
  // level files, each made when a game first reaches it; the list of best
  // scores is the one of generated levels, and the menu names the seed.
  // Called before run(). The levels are made ahead on threads of their own
  // unless `making` says otherwise (a program on one thread).
  void play_seed(std::uint32_t seed, LevelMaking making = LevelMaking::Ahead);
  // Plays the track of the day `date` ("YYYY-MM-DD"): the levels of its
  // seed, seed_of_day(date), with the date in the menu.
  void play_day(std::string_view date, LevelMaking making = LevelMaking::Ahead);
  // Plays a player's track: every level is `track`, the game starting at
  // speed level `speed_level` as if the levels before it had been won; the
  // scores go to the list of generated levels. The program proves the track
  // itself before play (never trusting a verdict from elsewhere), names the
  // verdict in the menu and returns it.
  TrackRating play_track(const Level& track, int speed_level);
  // Makes a seed's levels elsewhere instead (the page's worker): `maker`
  // gives level `number` of `seed`. Called before play_seed.
  void set_level_maker(std::function<Level(std::uint32_t seed, int number)> maker);
  // The seed being played; none for the shipped levels.
  std::optional<std::uint32_t> seed() const;

  // Rates the player's tracks away from the game's thread: by the rater a
  // host gives before run(), or else on a thread of its own, made when first
  // asked for.
  void set_track_rater(std::unique_ptr<TrackRater> rater);
  TrackRater& track_rater();

  void run();

  // Runs the editor "Strecke bauen" instead of the game: on `file` when
  // given (opened, or made by the first Speichern), else on `track` (a shared
  // one) when given, else on the draft kept last time; the templates are the
  // levels the game would play. Ends the program when the player leaves the
  // editor; a file that is no track ends it at once with status 2 and a
  // line that says why.
  void edit(const std::optional<std::filesystem::path>& file,
            const std::optional<DecodedTrack>& track);
  // The editor while edit() runs it; none otherwise.
  const TrackEditor* editor() const { return editor_; }

 private:
  Platform& platform_;
  std::optional<SeededLevels> seeded_;
  std::function<Level(std::uint32_t, int)> level_maker_;
  std::optional<std::uint32_t> seed_;
  std::unique_ptr<TrackRater> track_rater_;
  std::optional<Level> track_;
  const TrackEditor* editor_ = nullptr;

 public:
  Game game;
  FrontEnd frontend;
};

// The window's title: the program file's name without its folder and
// extension ("rangiertrubel" for "/usr/games/rangiertrubel" or
// "C:\\Spiele\\rangiertrubel.exe"); "rangiertrubel" when the name is unknown.
std::string program_title(std::string_view program_path);

// The title of a window playing `seed`: "rangiertrubel - Strecken 1234".
std::string seeded_title(std::string_view title, std::uint32_t seed);

// The title of a window playing the track of the day `date`:
// "rangiertrubel - Strecke des Tages 2026-12-09".
std::string day_title(std::string_view title, std::string_view date);

// A seed chosen at random by the system's source of randomness, for a
// player who asks for new levels.
std::uint32_t random_seed();

}  // namespace rt
