#include "summary/cli/command_line.h"

// File names and the terminal are bytes already.
std::vector<std::string> commandArguments(int argc, char** argv) {
  return std::vector<std::string>(argv + 1, argv + argc);
}

void useUtf8Console() {}
