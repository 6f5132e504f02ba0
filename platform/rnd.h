// The game's random numbers, the same sequence every run.
#pragma once

#include <array>
#include <cstdint>

namespace rt {

// The game's random numbers: MT19937 whose first use seeds the state with a
// linear congruential sequence from 0, so every run draws the same values.
// The level generator starts the same sequence from a seed of its own.
class Rnd {
 public:
  Rnd() = default;
  explicit Rnd(std::uint32_t seed) : first_word_(seed) {}

  // The next value in [0, 1): a tempered word divided by 2^32.
  double next();

 private:
  void seed();
  void regenerate();

  std::array<std::uint32_t, 624> words_{};
  int position_ = 0;
  bool seeded_ = false;
  std::uint32_t first_word_ = 0;
};

}  // namespace rt
