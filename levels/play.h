// The play of a level as the game times it: the locomotive's steps on the
// board, the polls of the keys that surely fall between two steps, and a
// level played through with slides made at given steps.
#pragma once

#include <vector>

#include "game/level_file.h"
#include "game/rules.h"

namespace rt {

// Polls of the keys happen every kPollPeriod seconds by the game's float
// clock; steps every interval. The two drift against each other, so a plan
// counts only the polls that surely fall between two steps whatever their
// phase: polls at least kStepMargin after one step and before the next,
// each poll taken as late as the clock's grain and kPollDrift (the time a
// pass of the game loop may take) allow. Float readings coarsen as the clock
// grows, so the count holds while the clock reads less than the limit it was
// made for; kPromisedClockSeconds is the one the solver promises.
inline constexpr double kStepMargin = 0.02;
inline constexpr double kPollDrift = 0.0002;
inline constexpr double kPromisedClockSeconds = 4.0 * 3600.0;

// The polls that surely fall between two steps of `interval` seconds while
// the clock reads less than `clock_limit`.
int sure_polls(float interval, double clock_limit = kPromisedClockSeconds);

// A level's timing as plans count it. Between step k and step k+1 (k >= 1)
// there are `polls` polls for slides; before the first step none is counted,
// since a level may start with its first step.
struct PlayTiming {
  float interval = kBaseInterval;
  int polls = 0;
  int polls_after(int step) const { return step >= 1 ? polls : 0; }
};
PlayTiming timing_for(float interval, double clock_limit = kPromisedClockSeconds);

// The locomotive: where it stands, where it heads, how many steps it made.
struct Locomotive {
  int x = 1;
  int y = 1;
  Heading heading = heading::kRight;
  int steps = 0;
};

enum class StepEnd { Moved, Crashed, Won };

// One step on `board`: moves the locomotive along the track (Moved, or Won
// when it then stands beside the station), or leaves it where it is when the
// piece ahead does not take it (Crashed).
StepEnd step_on(const Board& board, Locomotive& loco);

// A slide made at a poll after the locomotive's step `after_step` and before
// the next one. Slides with the same step take consecutive polls.
struct TimedSlide {
  Slide slide = Slide::Up;
  int after_step = 1;
};

// The most steps a level is played for: every cell entered from every side,
// beyond which the locomotive runs a closed loop.
inline constexpr int kStepHorizon = 4 * kColumns * kRows;

struct PlayResult {
  enum class End {
    Won,
    Crashed,
    UnderLocomotive,  // a slide moved the piece the locomotive stands on
    Endless,          // the locomotive ran beyond the horizon
  };
  End end = End::Crashed;
  int steps = 0;  // steps made until the end
};

// Plays `level` with the slides in order, each at the first free poll after
// its step and after the previous slide's poll (a step's polls used up, it
// waits for the next step's). A slide whose piece may
// not move does nothing, as in the game.
PlayResult play_level(const Level& level, const PlayTiming& timing,
                      const std::vector<TimedSlide>& slides);

}  // namespace rt
