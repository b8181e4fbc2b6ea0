// Opening and closing the two files of a transfer. Each is held with an
// exclusive lock for the length of the transfer, so that a second copy of
// the program (or any program that honours locks) cannot write to it.
#pragma once

#include <cstddef>
#include <string>

// The output file: appended to (created when missing) or emptied. Returns a
// descriptor, or -1 when the file cannot be opened, another program holds
// its lock, or it is a named pipe that nobody reads. A file held by someone
// else is never emptied; a pipe or device is written to as it is.
int openOutputFile(const std::string& path, bool append);
// The raw log, created when missing and emptied. -1 on failure.
int openRawLog(const std::string& path);
// Closes a descriptor; -1 is ignored. False when the close reported an
// error (network shares and quotas may report a failed write only here).
bool closeTransferFile(int fd);
// The same after asking a plain file to be put on the disk first, so that
// a record shown as saved is saved. False when either failed.
bool syncAndCloseTransferFile(int fd);
// Asks the system to put what a plain file has been given on its disk; a
// pipe, a device or -1 is left alone. False when the sync reported an error.
bool syncTransferFile(int fd);

enum class WriteOutcome { Written, Failed, TimedOut };
// Writes all of `size` bytes, completing short and interrupted writes. A
// pipe or device that takes nothing is waited for up to `waitMs` (0: not at
// all) each time; TimedOut when it still took nothing. A plain file is
// written as the system does it; what it took of the bytes before failing
// (a full disk) is cut off again, so it never ends in part of a line.
WriteOutcome writeWithin(int fd, const char* data, size_t size, int waitMs);
