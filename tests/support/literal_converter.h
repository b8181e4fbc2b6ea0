// The record conversion written the plain way, each rule one whole-text pass,
// as a reference that the program's incremental conversion must match byte
// for byte. Slow on long texts by design; tests and benchmarks only.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace literal {

// Converts `chunk` and appends it to `pending`: NUL, CR and LF removed, each
// 0x85 made "#", every "Feet" and "Meters" followed by "$", runs of "#" made
// one.
void convertChunk(std::string& pending, std::string_view chunk);
// Cuts the records ended by "$" off the front of `pending` (not when it holds
// fewer than two bytes) and returns their lines, "#" made the header block.
std::vector<std::string> writeOutRecords(std::string& pending);

}  // namespace literal
