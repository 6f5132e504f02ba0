#pragma once

#include "platform/platform.h"

namespace rt {

// The whole program from start-up on: menu, games and high-score entry in an
// endless cycle, until end_program unwinds it with ProgramEnd.
void run_program(Platform& platform);

}  // namespace rt
