// The settings file "MorvTran.ini": one line holding the number of the last
// chosen COM port, ended by CR LF.
#pragma once

#include <cstdint>
#include <string>

// The port number kept in the file at `path`, or 0 when there is none.
//
// What is accepted: the first line, which ends at the first CR (0x0D), LF
// (0x0A) or byte 26 (0x1A), or at the end of the file, must consist of one
// or more decimal digits (leading zeros allowed) followed by nothing but
// spaces, and the digits must make a number from 1 to 100. Everything after
// the end of that line is ignored. Anything else - a missing, empty or
// unreadable file, anything but a plain file (a folder, a named pipe, a
// device), a sign, a blank before the digits, a decimal point, any other
// character, a number outside 1 to 100 - gives 0.
int16_t readSettingsFile(const std::string& path);

// Replaces the file's content by `portNumber` in decimal followed by CR LF,
// creating the file if needed. A file that cannot be written, or something
// other than a plain file in its place, is skipped silently: only the
// saving of the choice is lost.
void writeSettingsFile(const std::string& path, int16_t portNumber);
