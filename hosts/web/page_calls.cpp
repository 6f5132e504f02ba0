// The browser host's calls into page.js.
#include "hosts/web/page_calls.h"

#include <emscripten.h>

#include "hosts/web/page_input.h"

namespace rt::page {
namespace {

// (Kept as written: the C++ formatter would take JavaScript operators apart.)
// clang-format off
EM_JS(void, page_start, (int down, int move, int up, int button, int character, int code,
                         int secondary, int key), {
  Module.rtPage.start({down: down, move: move, up: up, button: button, character: character,
                       code: code, secondary: secondary, key: key});
});
EM_JS(void, page_show_rows, (const std::uint8_t* rgba, int first, int count), {
  Module.rtPage.showRows(rgba, first, count);
});
EM_JS(void, page_layout, (int factor, double left, double top, double width, double height,
                          int exact), {
  Module.rtPage.layout(factor, left, top, width, height, exact);
});
EM_JS(double, page_width, (), { return Module.rtPage.pageWidth(); });
EM_JS(double, page_height, (), { return Module.rtPage.pageHeight(); });
EM_JS(void, page_set_paused, (int paused), { Module.rtPage.setPaused(paused); });
EM_JS(void, page_hide_cursor, (int hidden), { Module.rtPage.hideCursor(hidden); });
EM_JS(void, page_ended, (int status), { Module.rtPage.ended(status); });
EM_JS(void, page_wake, (), { Module.rtPage.wake(); });
EM_JS(void, page_start_audio, (), { Module.rtPage.startAudio(); });
EM_JS(void, page_load_sound, (int number, const std::int16_t* samples, int count, int channels,
                              int rate), {
  Module.rtPage.loadSound(number, samples, count, channels, rate);
});
EM_JS(void, page_play_sound, (int number), { Module.rtPage.playSound(number); });
EM_JS(int, page_take_input, (int* out, int max), { return Module.rtPage.takeInput(out, max); });
EM_JS(void, page_set_typing, (int on, int length), { Module.rtPage.setTyping(on, length); });
EM_ASYNC_JS(void, page_wait, (double ms), { await Module.rtPage.wait(ms); });
EM_ASYNC_JS(int, page_mount_storage, (const char* path), {
  return await Module.rtPage.mountStorage(UTF8ToString(path));
});
EM_ASYNC_JS(int, page_save_storage, (), { return await Module.rtPage.saveStorage(); });
EM_ASYNC_JS(int, page_read_kept, (const char* path), {
  return await Module.rtPage.readKept(UTF8ToString(path));
});
// The seed goes as a double: an int would come out negative above 2^31.
EM_JS(void, page_show_seed, (double seed, const char* refused, const char* day), {
  Module.rtPage.showSeed(seed, UTF8ToString(refused), UTF8ToString(day));
});
EM_JS(void, page_show_track, (const char* verdict, const char* refused), {
  Module.rtPage.showTrack(UTF8ToString(verdict), UTF8ToString(refused));
});
EM_JS(void, page_share_track, (const char* code), {
  Module.rtPage.shareTrack(UTF8ToString(code));
});
EM_JS(void, page_editor_shown, (int shown), { Module.rtPage.editorShown(shown); });
EM_JS(void, page_make_levels, (double seed), { Module.rtPage.makeLevels(seed); });
EM_JS(int, page_take_level, (double seed, int number, int* out), {
  return Module.rtPage.takeLevel(seed, number, out);
});
EM_JS(int, page_ask_rating, (double id, const int* fields, double interval), {
  return Module.rtPage.askRating(id, fields, interval);
});
EM_JS(int, page_take_rating, (double id, double* out), {
  return Module.rtPage.takeRating(id, out);
});
// clang-format on

}  // namespace

void start() {
  // The page numbers its events as page_input.h names them.
  page_start(page_event::kDown, page_event::kMove, page_event::kUp, page_event::kButton,
             page_event::kCharacter, page_event::kCode, page_event::kSecondaryDown,
             page_event::kKey);
}
void show_rows(const std::uint8_t* rgba, int first, int count) {
  page_show_rows(rgba, first, count);
}
void layout(int factor, double left, double top, double width, double height, bool exact) {
  page_layout(factor, left, top, width, height, exact ? 1 : 0);
}
double width() {
  return page_width();
}
double height() {
  return page_height();
}
void set_paused(bool paused) {
  page_set_paused(paused ? 1 : 0);
}
void hide_cursor(bool hidden) {
  page_hide_cursor(hidden ? 1 : 0);
}
void ended(int status) {
  page_ended(status);
}
void wake() {
  page_wake();
}
void start_audio() {
  page_start_audio();
}
void load_sound(int number, const std::int16_t* samples, int count, int channels, int rate) {
  page_load_sound(number, samples, count, channels, rate);
}
void play_sound(int number) {
  page_play_sound(number);
}
int take_input(int* out, int max) {
  return page_take_input(out, max);
}
void set_typing(bool on, int length) {
  page_set_typing(on ? 1 : 0, length);
}
void wait(double ms) {
  page_wait(ms);
}
int mount_storage(const char* path) {
  return page_mount_storage(path);
}
int save_storage() {
  return page_save_storage();
}
int read_kept(const char* path) {
  return page_read_kept(path);
}
void show_track(const std::string& verdict, const std::string& refused) {
  page_show_track(verdict.c_str(), refused.c_str());
}
void show_seed(std::uint32_t seed, const std::string& refused, const std::string& day) {
  page_show_seed(static_cast<double>(seed), refused.c_str(), day.c_str());
}

void share_track(const std::string& code) {
  page_share_track(code.c_str());
}
void editor_shown(bool shown) {
  page_editor_shown(shown ? 1 : 0);
}
void make_levels(std::uint32_t seed) {
  page_make_levels(static_cast<double>(seed));
}
int take_level(std::uint32_t seed, int number, int* fields) {
  return page_take_level(static_cast<double>(seed), number, fields);
}
bool ask_rating(std::uint64_t id, const int* fields, float step_interval) {
  return page_ask_rating(static_cast<double>(id), fields, static_cast<double>(step_interval)) != 0;
}
int take_rating(std::uint64_t id, double* out) {
  return page_take_rating(static_cast<double>(id), out);
}

}  // namespace rt::page
