// The whole program run on the simulated host, shared by the scripted
// runner, the level recorder, the soak and the tests.
#pragma once

#include "app/program.h"
#include "hosts/sim/sim_host.h"

namespace rt {

// Runs `program` (made on a Platform over `host`) from its start-up until it
// ends, and says how: its exit status, or stopped by the host.
SimEnd run_on_sim(SimHost& host, Program& program);

}  // namespace rt
