// The command line and console of morvane-summary, as the platform has them.
#pragma once

#include <string>
#include <vector>

// The arguments after the program's name, as UTF-8.
std::vector<std::string> commandArguments(int argc, char** argv);
// The console shows UTF-8 text (the units' ² and ³).
void useUtf8Console();
