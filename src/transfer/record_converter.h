// Turning the instrument's stream into CSV record lines. Pure: the result
// depends on nothing but the pending record and the chunk.
//
// The instrument sends its records as text with NUL bytes and line ends in
// between; every record ends with its units word ("Feet" or "Meters"), and a
// marker byte 0x85 stands where a new block of records begins. Line ends are
// dropped, a "$" is put after each units word to end the record, and each
// marker becomes the CSV header line framed by two CR bytes.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// The text after the last record terminator: the start of a record whose
// units word has not arrived yet.
//
// `settled` and `converted` only spare long texts from being searched again
// on every chunk; they never change a result. Whoever sets `text` by hand
// assigns the whole record (`pending = {"abc"}`), which leaves both at 0.
struct PendingRecord {
  std::string text;
  // The front of `text` known to hold no "$", no "##", no "Feet" and no "Meters".
  size_t settled = 0;
  // The front of `text` that has been through conversion.
  size_t converted = 0;
};

// The CSV header line between its two CR bytes, put where each marker stood.
inline constexpr std::string_view HeaderBlock =
    "\rXSec,Date,Time,Station,Depth,Velocity,Angle,Units\r";

// Removes NUL, CR and LF from `chunk`, turns each marker byte 0x85 into "#",
// appends the result to the pending text, ends every "Feet" and every
// "Meters" with "$" and shrinks every run of "#" to one.
void convertChunk(PendingRecord& pending, std::string_view chunk);

// Cuts the complete records off the front of the pending text and returns
// their lines in order: each "#" replaced by HeaderBlock, then one LF. A
// pending text of fewer than two bytes waits for the next chunk untouched,
// even a lone "$".
std::vector<std::string> writeOutRecords(PendingRecord& pending);
