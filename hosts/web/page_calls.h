// The calls from the browser host into the page's side (page.js), as plain
// functions; defined in page_calls.cpp, the only file that writes JavaScript.
#pragma once

#include <cstdint>
#include <string>

namespace rt::page {

void start();
void show_rows(const std::uint8_t* rgba, int first, int count);
void layout(int factor, double left, double top, double width, double height, bool exact);
double width();
double height();
void set_paused(bool paused);
void hide_cursor(bool hidden);
void ended(int status);
// Ends the page's current wait (a key arrived, the page came back).
void wake();
void start_audio();
void load_sound(int number, const std::int16_t* samples, int count, int channels, int rate);
void play_sound(int number);
// The page's pointer, touch-button and typing events since the last call:
// up to `max` of three numbers each into `out` (see page_input.h); the count.
int take_input(int* out, int max);
// The game wants a typed line of at most `length` characters, or no longer.
void set_typing(bool on, int length);
// The ones the game waits for: the browser runs meanwhile. A negative `ms`
// waits until woken.
void wait(double ms);
int mount_storage(const char* path);
int save_storage();
// Reads `path` from the browser's storage into the kept folder anew; 1 when
// read or not kept there, 0 when the storage did not answer.
int read_kept(const char* path);
// The page names the seed being played (address, bar, title) and, when
// `refused` is not empty, that this text was no seed.
void show_seed(std::uint32_t seed, const std::string& refused, const std::string& day);
void show_track(const std::string& verdict, const std::string& refused);
// The player shares a track: the page shows its link and copies it.
void share_track(const std::string& code);
// The editor is shown or left: the page shows its buttons meanwhile.
void editor_shown(bool shown);
// The page's worker starts making the ten levels of `seed`.
void make_levels(std::uint32_t seed);
// Level `number` of `seed` as its file's 282 numbers into `fields`: 1 when
// the worker has made it, 0 while it is being made, -1 when the worker
// cannot (the page must make it itself).
int take_level(std::uint32_t seed, int number, int* fields);
// Asks the worker for the verdict on the track in `fields` (282 numbers) as
// question `id`, replacing any question still waiting; false when there is
// no worker.
bool ask_rating(std::uint64_t id, const int* fields, float step_interval);
// The answer to question `id` into `out` (verdict, slides, seconds): 1 when
// there, 0 while awaited, -1 when it never will be (no worker, or a later
// question replaced it).
int take_rating(std::uint64_t id, double* out);

}  // namespace rt::page
