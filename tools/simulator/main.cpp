// morvane-sim: a simulated measuring instrument on a pseudo-terminal.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "sim_options.h"
#include "sim_session.h"

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  sim::Options options;
  std::string error;
  if (!sim::parseOptions(args, std::getenv("MORVANE_PORT_DIR"), options, error)) {
    std::fprintf(stderr, "morvane-sim: %s\n", error.c_str());
    return 2;
  }
  if (options.help) {
    std::fputs(sim::usageText().c_str(), stdout);
    return 0;
  }
  return sim::runSimulator(options);
}
