// Where the program keeps its own files (the settings file and the raw log).
#pragma once

#include <string>

// The program's folder when it can be written to (a portable copy), else the
// per-user data folder $XDG_DATA_HOME/morvane/ (default
// ~/.local/share/morvane/), created when missing. `programFolder` may or may
// not end in "/"; the result always does.
std::string dataFolderFor(const std::string& programFolder);
