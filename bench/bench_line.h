// The instrument's side of the transfer benchmarks: streams sent through a
// pseudo-terminal at full speed or at the line rate, the plain copy loop
// that is the floor for the program's throughput, and watching the CSV file
// the program writes.
#pragma once

#include <chrono>
#include <string>
#include <vector>

#include "support/pty_instrument.h"

// Simulator records (blocks of 25, both units) of at least `bytes` bytes.
std::string simulatorRecords(size_t bytes);

// The CSV the plain whole-text conversion makes of `stream`.
std::string referenceCsv(const std::string& stream);

// Sends all of `stream` as fast as the line takes it. False when the line
// stopped taking bytes for several seconds.
bool sendAtFullSpeed(PtyInstrument& line, const std::string& stream);

// Seconds that a plain loop (ask FIONREAD, read that many, write them to a
// file; a 1 ms nap when nothing waits) takes to copy `stream` from the line
// into `file`, from the first byte sent to the last byte written. Negative
// when not every byte arrived.
double plainCopySeconds(PtyInstrument& line, const std::string& stream, const std::string& file);

// Blocks until `path` holds `size` bytes or has not grown for `quiet`;
// returns the steady-clock time (ns) at which it reached its final size.
int64_t waitForFileSize(const std::string& path, size_t size, std::chrono::milliseconds quiet);

// Sends `records` at the line rate, each record's units word ending one
// write, and measures for each record the time from that write to its line
// (counted by line ends from `csvOffset` on) appearing in `csvPath`, in ms.
std::vector<double> lineRateLatenciesMs(PtyInstrument& line, const std::string& records,
                                        const std::string& csvPath, size_t csvOffset);

std::string fileContent(const std::string& path);
size_t fileSize(const std::string& path);
