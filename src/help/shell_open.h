// The desktop's opener: hands a file to the program registered for its type.
#pragma once

#include <string>

// Returns at once; whether a viewer could be started is not reported.
void shellOpenFile(const std::string& path);
