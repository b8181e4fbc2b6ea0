// The parts of a file path that the status bar and the file dialog use.
// A folder ends at "/" on Linux, where "\" and ":" are ordinary file-name
// characters; on Windows at "\", "/" or ":". A path past the platform's
// limit (PATH_MAX bytes on Linux, 260 characters on Windows) has an empty
// name part and an empty folder part.
#pragma once

#include <string>

// The text after the last folder end, cut before the last "." in that
// text: "/data/river.csv" -> "river", "/x/log" -> "log"; on Linux
// "run:2.csv" -> "run:2".
std::string pathNamePart(const std::string& path);
// The text up to and including the last folder end, "" when there is none:
// "/data/river.csv" -> "/data/", on Windows "C:\Data\river.csv" -> "C:\Data\".
std::string pathFolderPart(const std::string& path);
