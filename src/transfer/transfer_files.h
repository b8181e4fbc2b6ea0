// Opening and closing the two files of a transfer. Each is held with an
// exclusive lock for the length of the transfer, so that a second copy of
// the program (or any program that honours locks) cannot write to it.
#pragma once

#include <string>

// The output file: appended to (created when missing) or emptied. Returns a
// descriptor, or -1 when the file cannot be opened, another program holds
// its lock, or it is a named pipe that nobody reads. A file held by someone
// else is never emptied; a pipe or device is written to as it is.
int openOutputFile(const std::string& path, bool append);
// The raw log, created when missing and emptied. -1 on failure.
int openRawLog(const std::string& path);
// Closes a descriptor; -1 is ignored.
void closeTransferFile(int fd);
// Writes all of `size` bytes, completing short and interrupted writes.
// False when the write fails for good.
bool writeWhole(int fd, const char* data, size_t size);
