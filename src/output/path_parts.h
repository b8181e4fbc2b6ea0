// The parts of a file path that the status bar and the file dialog use.
// The separator is "/"; "\" and ":" are ordinary file-name characters here.
// A path longer than the platform's path limit (PATH_MAX bytes) has an
// empty name part and an empty folder part.
#pragma once

#include <string>

// The text after the last "/", cut before the last "." in that text:
// "/data/river.csv" -> "river", "/x/log" -> "log", "run:2.csv" -> "run:2".
std::string pathNamePart(const std::string& path);
// The text up to and including the last "/", "" when there is none:
// "/data/river.csv" -> "/data/".
std::string pathFolderPart(const std::string& path);
