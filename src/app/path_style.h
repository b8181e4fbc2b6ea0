// Paths as the platform writes them: which characters end a folder, the
// form the user reads, and how long a path may be before the status texts
// stop naming it.
#pragma once

#include <string>

// "/" on Linux; "\", "/" and the ":" of a drive ("C:river.csv") on Windows.
bool endsFolder(char c);
// `folder` ended by the platform's separator unless it already ends a folder.
std::string withFolderEnd(std::string folder);
// On Windows every "/" becomes "\", the form Windows users write and read;
// Linux paths stay as they are.
std::string nativePath(std::string path);
// Past the platform's path limit: PATH_MAX bytes on Linux, 260 characters
// (MAX_PATH) on Windows.
bool pathTooLong(const std::string& path);
