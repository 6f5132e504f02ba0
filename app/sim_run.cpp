// The program on the simulated host: the one place that catches its end.
#include "app/sim_run.h"

namespace rt {

SimEnd run_on_sim(SimHost& host, Program& program) {
  return run_until_end(host, [&program] { program.run(); });
}

}  // namespace rt
