// SDL's start with the game's hints, and the check for a display.
#include "hosts/sdl/sdl_system.h"

#include <SDL.h>

#include <cstdlib>
#include <string>
#include <string_view>

namespace rt {
namespace {

// Whether this SDL was built with the video driver `name`.
bool has_video_driver(std::string_view name) {
  for (int i = 0; i < SDL_GetNumVideoDrivers(); ++i) {
    const char* driver = SDL_GetVideoDriver(i);
    if (driver != nullptr && name == driver) return true;
  }
  return false;
}

}  // namespace

SdlSystem::SdlSystem() {
  // SDL turns SIGINT and SIGTERM into its quit event, which ends the
  // program like the window's close button.
  SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
  // The picture is drawn into the window's own surface, a few changed rows
  // at a time. Left to itself, SDL would back that surface with an OpenGL
  // texture, loading a whole OpenGL stack (tens of megabytes, a slower
  // start, and on machines without a graphics processor drawing in
  // software anyway). The environment variable
  // SDL_FRAMEBUFFER_ACCELERATION still overrides this.
  SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
  // Without a Wayland display or the runtime folder that holds its socket,
  // Wayland cannot be reached, and trying would only print the Wayland
  // library's complaint above the game's own message. Only an SDL that has
  // a Wayland driver is steered so; elsewhere (Windows) these variables
  // mean nothing and SDL's own choice stands.
  if (std::getenv("SDL_VIDEODRIVER") == nullptr && std::getenv("WAYLAND_DISPLAY") == nullptr &&
      std::getenv("XDG_RUNTIME_DIR") == nullptr && has_video_driver("wayland")) {
    SDL_SetHint(SDL_HINT_VIDEODRIVER, "x11,kmsdrm");
  }
  ok_ = SDL_Init(SDL_INIT_VIDEO) == 0;
  if (ok_) controllers_ = SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) == 0;
}

SdlSystem::~SdlSystem() {
  SDL_Quit();
}

bool invisible_driver_chosen() {
  const char* driver = SDL_GetCurrentVideoDriver();
  if (driver == nullptr) return true;
  const std::string name = driver;
  if (name != "offscreen" && name != "dummy") return false;
  const char* wanted = std::getenv("SDL_VIDEODRIVER");
  return wanted == nullptr || SDL_strcasestr(wanted, name.c_str()) == nullptr;
}

}  // namespace rt
