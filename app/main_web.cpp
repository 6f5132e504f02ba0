// The browser program: the game on the web host, working in the page's
// folder that holds the preloaded data, with the player's files kept. The
// page hands the seed of its address (?seed=S) over as "--seed S"; read as
// the desktop reads its command line, it plays the levels generated from
// that seed, or from one chosen at random for "random" or for text that is
// no seed, and the page names the seed. ?edit opens the editor instead.
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/command_line.h"
#include "app/program.h"
#include "app/worker_levels.h"
#include "hosts/web/web_host.h"
#include "levels/seed.h"

int main(int argc, char** argv) {
  const std::vector<std::string_view> args(argv + std::min(argc, 1), argv + argc);
  const rt::CommandLine line = rt::parse_command_line(args);
  std::optional<std::uint32_t> seed = line.seed;
  std::string refused;  // the address's text that was no seed
  if (line.action == rt::CommandLine::Action::Wrong && !line.track_refused.empty()) {
    // A code that is refused plays nothing of it: the shipped levels, and a
    // notice that says why.
    rt::show_track_on_page("", line.track_refused);
  } else if (line.action == rt::CommandLine::Action::Wrong) {
    refused = line.wrong;
    seed = rt::random_seed();
  } else if (line.random_seed) {
    seed = rt::random_seed();
  }
  std::string day;  // the date of the track of the day, by the page's clock
  if (line.day_seed) {
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    day = rt::utc_date(std::chrono::duration_cast<std::chrono::seconds>(now).count());
    seed = rt::seed_of_day(day);
  }
  if (seed) {
    std::cout << "rangiertrubel: Strecken " << *seed << std::endl;
    rt::show_seed_on_page(*seed, refused, day);
  }
  // The build preloads Sprites and Waves into /game and the shipped files of
  // Data into /pack/Data; Data itself is kept in the browser.
  const rt::WebFolders folders{"/game", "Data", "/pack/Data"};
  return rt::run_on_web(folders, [seed, day, &line](rt::Platform& platform) {
    rt::Program program(platform);
    // The page's worker rates the editor's tracks and makes a seed's levels,
    // all ten from the start, off the page's one thread.
    program.set_track_rater(std::make_unique<rt::WorkerTrackRater>());
    std::optional<rt::WorkerLevels> made;
    if (seed && !line.track) made.emplace(platform, *seed);
    program.set_level_maker([&made, &platform](std::uint32_t of, int number) {
      if (!made) made.emplace(platform, of);  // the seed is always the one above
      return made->level(number);
    });
    if (line.edit) {
      // ?edit, or "Bearbeiten" beside a shared track: the editor, its
      // templates the levels of the address's seed, or else the shipped ones.
      if (seed && !line.track) program.play_seed(*seed);
      program.edit(std::nullopt, line.track);
    }
    if (line.first_level) program.game.first_level = *line.first_level;
    if (line.track) {
      const rt::TrackRating rating = program.play_track(line.track->level, line.track->speed_level);
      rt::show_track_on_page(rt::verdict_text(rating), "");
    } else if (!day.empty()) {
      program.play_day(day);
    } else if (seed) {
      program.play_seed(*seed);
    }
    program.run();
  });
}
