// The user's choice of output file and write mode. GUI thread only.
#pragma once

#include <cstdint>
#include <string>

enum WriteModeValue : int16_t { WriteAppend = 0, WriteOverwrite = 1 };

extern std::string OutputFileName;
extern int16_t WriteMode;   // 0 Append, 1 Overwrite
extern int16_t FileChosen;  // 1 after the dialog returned a path
extern std::string LastFolder;
