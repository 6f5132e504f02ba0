// The page's sounds: files read once and handed to Web Audio, and the beep.
#pragma once

#include <map>
#include <string>

namespace rt {

// Each file is read and handed to the page at its first play; one that plays
// nothing (missing, too big, not a WAV) is not read again.
class PageSounds {
 public:
  // Plays the sound file at `path`; a file that is there but cannot be
  // played gives its reason in `problem`, once.
  void play(const std::string& path, std::string& problem);
  void beep();

 private:
  // The sound's number for the page, or 0 when it plays nothing.
  int load(const std::string& path, std::string& problem);

  std::map<std::string, int> numbers_;
  int next_number_ = kBeepNumber + 1;
  bool beep_loaded_ = false;
  static constexpr int kBeepNumber = 0;
  static constexpr int kBeepRate = 44100;
};

}  // namespace rt
