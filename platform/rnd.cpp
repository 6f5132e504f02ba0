// The game's random number generator.
#include "platform/rnd.h"

namespace rt {

namespace {

constexpr int kWords = 624;
constexpr int kShift = 397;
constexpr std::uint32_t kMatrix = 0x9908B0DFu;
constexpr std::uint32_t kUpper = 0x80000000u;
constexpr std::uint32_t kLower = 0x7FFFFFFFu;

}  // namespace

void Rnd::seed() {
  // The game never seeds: the state starts from 0 by a linear congruential
  // sequence, so every run draws the same values. A generator's seed takes
  // the place of the 0.
  words_[0] = first_word_;
  for (std::size_t i = 1; i < words_.size(); ++i) {
    words_[i] = words_[i - 1] * 1664525u + 1013904223u;
  }
  position_ = kWords;  // every word counts as used: the first draw regenerates
  seeded_ = true;
}

void Rnd::regenerate() {
  for (int i = 0; i < kWords; ++i) {
    const auto at = [this](int k) { return words_[static_cast<std::size_t>(k % kWords)]; };
    const std::uint32_t y = (at(i) & kUpper) | (at(i + 1) & kLower);
    std::uint32_t next = at(i + kShift) ^ (y >> 1);
    if ((y & 1u) != 0) {
      next ^= kMatrix;
    }
    words_[static_cast<std::size_t>(i)] = next;
  }
  position_ = 0;
}

double Rnd::next() {
  if (!seeded_) {
    seed();
  }
  if (position_ >= kWords) {
    regenerate();
  }
  std::uint32_t y = words_[static_cast<std::size_t>(position_++)];
  y ^= y >> 11;
  y ^= (y << 7) & 0x9D2C5680u;
  y ^= (y << 15) & 0xEFC60000u;
  y ^= y >> 18;
  return static_cast<double>(y) / 4294967296.0;
}

}  // namespace rt
