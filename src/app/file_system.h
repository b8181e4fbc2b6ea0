// Files by name. Every name in the program is UTF-8 text; on Windows each
// call here takes the wide (UTF-16) API, because the narrow one reads a
// name in the ANSI code page and cannot reach a folder such as a per-user
// install under C:\Users\José.
#pragma once

#include <cstdio>
#include <string>

enum class FileKind { Missing, Plain, Other };

// Other also when the system cannot tell (no access to the folder).
FileKind fileKind(const std::string& path);
// std::fopen's modes ("rb", "wb").
std::FILE* openFile(const std::string& path, const char* mode);
// The process's current folder with its trailing separator; "" when it
// cannot be told.
std::string currentFolder();
