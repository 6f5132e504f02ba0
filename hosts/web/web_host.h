// The browser host: the game in a web page, on the page's one thread.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string_view>

namespace rt {

class Platform;

// Where the game's files are in the page's file system.
struct WebFolders {
  // The game's working folder, holding the preloaded data folders.
  std::filesystem::path root;
  // A folder below the root whose files are kept in the browser's storage
  // (IndexedDB) across visits: the player's files live here.
  std::filesystem::path kept;
  // The preloaded files that belong in the kept folder (the levels); they are
  // copied in at every start, so that a new version's files win over an old
  // visit's copies while the player's own files stay.
  std::filesystem::path shipped;
};

// Runs `game` with a Platform in the page: the screen on the page's canvas,
// the keys from its keyboard events, the sounds through Web Audio, the kept
// folder in the browser's storage. The game runs on the page's thread; each
// of its pauses gives the browser its turn. When the game ends, the page says
// so and offers to start again. Returns the exit status the game gave to
// end_program (0 when it returned, 1 after an error).
int run_on_web(const WebFolders& folders, const std::function<void(Platform&)>& game);

// The page plays the levels of `seed`: its address becomes ?seed=<seed>, to
// be shared, which the bar beside the picture shows, and its title names the
// seed. `refused` is the address's text that was no seed (the seed was then
// chosen at random), which a notice names for a few seconds; empty when the
// address named this seed or asked for a random one. `day` is the date
// ("YYYY-MM-DD") when the seed is the track of that day, which the bar and
// the title then name; empty otherwise.
void show_seed_on_page(std::uint32_t seed, std::string_view refused, std::string_view day = {});

// The page plays a player's track from its address (?track=CODE): the bar
// names it with the verdict the program proved (`verdict`, UTF-8). With
// `refused` set (why the code was refused, UTF-8), a notice says so instead
// and the shipped levels are played.
void show_track_on_page(std::string_view verdict, std::string_view refused);

// The page's Web Worker, which runs the level library off the page's
// thread. A level goes as its file's 282 numbers (kLevelFields).
// Starts making the ten levels of `seed`.
void make_levels_in_worker(std::uint32_t seed);
// Level `number` of `seed` into `fields`: 1 when made, 0 while being made,
// -1 when the worker cannot make it (the page must make it itself).
int take_level_from_worker(std::uint32_t seed, int number, int* fields);
// Asks for the verdict on the track in `fields` as question `id`, replacing
// a question still waiting; false when there is no worker.
bool ask_worker_rating(std::uint64_t id, const int* fields, float step_interval);
// The answer to question `id` (verdict number, slides, seconds to spare)
// into `out`: 1 when there, 0 while awaited, -1 when it never will be.
int take_worker_rating(std::uint64_t id, double* out);

}  // namespace rt
