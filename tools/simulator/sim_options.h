// Command line of the simulated instrument.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "record_generator.h"

namespace sim {

struct Options {
  int com = 1;
  std::string dir;  // the port folder the program maps COM numbers through
  StoredData data;
  int rate = 1920;  // bytes per second, 0 for as fast as the line takes them
  int delayMs = 2500;
  bool repeat = false;
  int64_t hangupAfter = -1;  // -1: never
  bool hold = false;
  std::string recordFile;
  bool once = false;
  bool help = false;
};

// args excludes the program name. envDir is MORVANE_PORT_DIR (may be null).
// On failure returns false with a one-line reason in error.
bool parseOptions(const std::vector<std::string>& args, const char* envDir, Options& options,
                  std::string& error);

std::string usageText();

}  // namespace sim
