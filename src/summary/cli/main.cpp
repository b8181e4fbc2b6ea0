// morvane-summary: the measurement summary of a CSV file on the command line.
#include <cstdio>
#include <string>
#include <vector>

#include "summary/cli/command_line.h"
#include "summary/summary_command.h"

int main(int argc, char** argv) {
  useUtf8Console();
  std::string out;
  std::string err;
  const int status = runSummaryCommand(commandArguments(argc, argv), out, err);
  std::fwrite(out.data(), 1, out.size(), stdout);
  std::fwrite(err.data(), 1, err.size(), stderr);
  return status;
}
