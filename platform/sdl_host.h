#pragma once

#include <filesystem>
#include <functional>
#include <string>

namespace rt {

class Platform;

// Runs `game` with a Platform on the SDL2 host: the window, its refresh and
// the keyboard on the calling (main) thread, the game on a thread of its own.
// Returns the exit status the game gave to end_program (0 when it returned).
// `title` names the window when it is not full screen.
int run_on_sdl(const std::string& title, const std::filesystem::path& root,
               const std::function<void(Platform&)>& game);

}  // namespace rt
