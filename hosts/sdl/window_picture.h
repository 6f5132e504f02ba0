// The game's picture in the desktop's window: the shown copy of the screen,
// scaled with black bars around it, the paused picture, and only the changed
// rows drawn and sent to the window system.
#pragma once

#include <SDL.h>

#include <vector>

#include "hosts/windowed/picture_scaler.h"
#include "platform/formats/color.h"
#include "platform/screen.h"

namespace rt {

class SdlWindow;

// The shown screen is kept in a copy of its own, taken row span by row span
// under the platform's lock, scaled and drawn straight into the window's
// surface; a blinking locomotive costs a strip of rows, not a whole frame.
class WindowPicture {
 public:
  explicit WindowPicture(bool integer_scale);

  const PictureLayout& layout() const { return scaler_.layout(); }
  // The whole window is drawn again at the next present (it was shown,
  // uncovered, resized or switched).
  void want_whole_window() { whole_window_wanted_ = true; }
  // While away the picture is shown dimmed with "PAUSE" over it.
  void set_paused(bool paused);
  // Takes the changed rows of the screen into the shown copy; false when
  // there were none. The caller holds the platform's lock.
  bool copy_changed_rows(Screen& screen);
  // Draws what waits to be shown (changed rows, or the whole window) into
  // `window` and hands it to the window system; false when nothing was shown.
  bool present_if_wanted(SdlWindow& window);

 private:
  // Picture rows [begin, end) from the shown copy into the surface.
  void draw_rows(SDL_Surface& surface, int begin, int end);

  const bool integer_scale_;
  bool paused_ = false;
  std::vector<Color> shown_;             // the screen as last taken from the game
  std::vector<Color> paused_picture_;    // shown_ dimmed, with "PAUSE"
  int waiting_first_ = Screen::kHeight;  // rows of shown_ not yet drawn
  int waiting_last_ = -1;
  bool full_copy_wanted_ = true;  // nothing has been taken yet
  bool whole_window_wanted_ = false;
  SDL_Surface* surface_ = nullptr;  // the window's surface the layout was made for
  PictureScaler scaler_;
  std::vector<Color> converted_;  // the picture, for surfaces of another format
  const bool trace_;
  long long frames_ = 0;
};

}  // namespace rt
