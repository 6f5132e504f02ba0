// rangiertrubel-sim: the whole game on the simulated host, driven by a script.
#include <csignal>
#include <iostream>
#include <string>
#include <vector>

#include "tools/sim/runner.h"

int main(int argc, char** argv) {
  // A closed pipe on standard output is then a write error the runner reports,
  // not a signal that ends it without a word (Windows has no such signal: a
  // write to a closed pipe fails there anyway).
#ifdef SIGPIPE
  std::signal(SIGPIPE, SIG_IGN);
#endif
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) args.emplace_back(argv[i]);
  return rt::sim::runner_main(args, std::cin, std::cout, std::cerr);
}
