// The desktop program: the command line, then the game on the SDL host,
// working in the folder that holds its data, its window named after the
// program file, the list of best scores in the data folder or, when that is
// read-only, the player's own. With --seed it plays the levels generated
// from a seed, named on standard output and in the window's title.
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/command_line.h"
#include "app/data_folders.h"
#include "app/program.h"
#include "game/assets.h"
#include "hosts/sdl/sdl_host.h"
#include "levels/seed.h"
#include "platform/formats/score_file.h"

int main(int argc, char** argv) {
  const std::string_view program = argc > 0 && argv[0] != nullptr ? argv[0] : "rangiertrubel";
  const std::vector<std::string_view> args(argv + std::min(argc, 1), argv + argc);
  const rt::CommandLine line = rt::parse_command_line(args);
  switch (line.action) {
    case rt::CommandLine::Action::Help:
      return rt::write_answer(std::cout, std::cerr, rt::usage_text(program));
    case rt::CommandLine::Action::Version:
      return rt::write_answer(std::cout, std::cerr,
                              std::string("rangiertrubel ") + RT_VERSION + "\n");
    case rt::CommandLine::Action::Wrong:
      if (line.wrong_because.empty()) {
        std::cerr << "rangiertrubel: unknown option \"" << line.wrong << "\"\n";
      } else {
        std::cerr << "rangiertrubel: \"" << line.wrong << "\" " << line.wrong_because << '\n';
      }
      std::cerr << rt::usage_text(program);
      return 2;
    case rt::CommandLine::Action::Play:
      break;
  }
  const std::filesystem::path root = rt::choose_data_root(std::cerr);
  std::string title = rt::program_title(argc > 0 && argv[0] != nullptr ? argv[0] : "");
  std::optional<std::uint32_t> seed = line.seed;
  if (line.random_seed) seed = rt::random_seed();
  std::string day;  // the date of the track of the day, read once
  if (line.day_seed) {
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    day = rt::utc_date(std::chrono::duration_cast<std::chrono::seconds>(now).count());
    seed = rt::seed_of_day(day);
  }
  if (line.edit) {
    title += " - Strecke bauen";
  } else if (line.track) {
    title += " - Eigene Strecke";
  }
  if (seed && !line.edit) {
    std::cout << "rangiertrubel: " << (day.empty() ? "" : "Strecke des Tages " + day + ", ")
              << "Strecken " << *seed << " (rangiertrubel --seed " << *seed << ")" << std::endl;
    title = day.empty() ? rt::seeded_title(title, *seed) : rt::day_title(title, day);
  }
  rt::SdlOptions options;
  options.fullscreen = line.fullscreen;
  options.integer_scale = line.integer_scale;
  options.icon_path = rt::assets::picture_path(rt::assets::kWindowIcon.name);
  options.icon_size = rt::assets::kWindowIcon.size;
  return rt::run_on_sdl(
      title, root,
      [&root, seed, &day, &line](rt::Platform& platform) {
        platform.set_score_file(rt::score_file_for(root));
        rt::Program program(platform);
        if (line.edit) {
          if (seed) program.play_seed(*seed);  // its levels are the templates
          std::optional<std::filesystem::path> file;
          if (line.edit_file) file = std::filesystem::absolute(*line.edit_file);
          program.edit(file, line.track);
        }
        if (line.first_level) program.game.first_level = *line.first_level;
        if (line.track) {
          const rt::TrackRating rating =
              program.play_track(line.track->level, line.track->speed_level);
          std::cout << "rangiertrubel: Eigene Strecke, Stufe " << line.track->speed_level << ": "
                    << rt::verdict_text(rating) << std::endl;
        } else if (!day.empty()) {
          program.play_day(day);
        } else if (seed) {
          program.play_seed(*seed);
        }
        program.run();
      },
      options);
}
