// A player's track as a short text to pass on: in a link, a message, a
// command line. Versioned and checked, so that a damaged, cut or foreign
// code is refused and never read as another track.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "game/level_file.h"
#include "levels/track_rules.h"

namespace rt {

// The longest code read: a field of nothing but the longest pieces.
inline constexpr std::size_t kMaxTrackCodeLength = 300;

// The form, version 1: only the characters A-Z a-z 0-9 - _ (safe in an
// address), each six bits, the first bit the highest:
// - the version, one character ('B' for 1);
// - the speed level (1 to 10) in four bits, then the 280 cells column by
//   column as the level file holds them, each in a prefix code that gives
//   grass 1 bit, straight rail and trees 3, the rest 4 to 6, then zero bits
//   to a whole character;
// - a check of 30 bits in five characters: FNV-1a (32 bits) over all the
//   characters before it, its lowest 30 bits.
// The hole is the one empty cell, so its place needs no bits of its own.
// None for a track that breaks the rules (track_fault), holds a piece the
// palette lacks, or a speed level outside 1 to 10.
std::optional<std::string> encode_track(const Level& level, int speed_level);

enum class TrackCodeError {
  None,
  Empty,
  TooLong,
  ForeignCharacter,
  NewerVersion,
  Damaged,    // the check does not hold: a character altered, or cut short
  ExtraBits,  // more than the track, or bits that should be zero
  BadTrack,   // the check holds, but the track breaks the rules
};

struct DecodedTrack {
  Level level;
  int speed_level = 1;
  TrackCodeError error = TrackCodeError::None;
  TrackFault fault = TrackFault::None;  // with BadTrack
};

// The track a code stands for, or the reason it is refused.
DecodedTrack decode_track(std::string_view code);

// Why a code was refused, in the player's words (German, UTF-8).
std::string track_code_error_text(const DecodedTrack& decoded);

}  // namespace rt
