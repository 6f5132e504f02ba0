// SDL itself: started with the game's hints, and whether it found a display.
#pragma once

namespace rt {

// SDL itself, up for the lifetime of the object.
class SdlSystem {
 public:
  SdlSystem();
  ~SdlSystem();
  SdlSystem(const SdlSystem&) = delete;
  SdlSystem& operator=(const SdlSystem&) = delete;

  bool ok() const { return ok_; }

 private:
  bool ok_ = false;
  bool controllers_ = false;
};

// Whether SDL settled on a video driver that shows nothing (its off-screen or
// dummy driver) without the environment asking for it by name.
bool invisible_driver_chosen();

}  // namespace rt
