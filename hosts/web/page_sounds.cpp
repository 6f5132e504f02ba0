// The page's sounds through Web Audio.
#include "hosts/web/page_sounds.h"

#include <cstdint>
#include <optional>
#include <vector>

#include "hosts/web/page_calls.h"
#include "hosts/web/sound_file.h"
#include "platform/beep.h"

namespace rt {

void PageSounds::play(const std::string& path, std::string& problem) {
  auto known = numbers_.find(path);
  if (known == numbers_.end()) known = numbers_.emplace(path, load(path, problem)).first;
  if (known->second > 0) page::play_sound(known->second);
}

void PageSounds::beep() {
  if (!beep_loaded_) {
    const std::vector<std::int16_t> samples = make_beep(kBeepRate, 1);
    page::load_sound(kBeepNumber, samples.data(), static_cast<int>(samples.size()), 1, kBeepRate);
    beep_loaded_ = true;
  }
  page::play_sound(kBeepNumber);
}

int PageSounds::load(const std::string& path, std::string& problem) {
  const std::optional<WavSound> sound = read_sound_file(path, &problem);
  if (!sound) return 0;
  const int number = next_number_++;
  page::load_sound(number, sound->samples.data(), static_cast<int>(sound->samples.size()),
                   sound->channels, sound->sample_rate);
  return number;
}

}  // namespace rt
