// Reading the CSV file this program writes back into measurements.
//
// A block begins where the header line stands between its two CR bytes; one
// record per LF-ended line with the fields
//   XSec,Date,Time,Station,Depth,Velocity,Angle,Units
// A measurement is a run of records with the same XSec within one block. A
// record that cannot be used is skipped and listed with its line number and
// the reason; nothing in the bytes can make the reader fail.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

enum class Units { Feet, Meters };

enum class AngleRead { Number, Blank, NotANumber };

struct Record {
  int line = 0;  // from 1
  double station = 0;
  double depth = 0;
  double velocity = 0;
  double angle = 0;  // degrees from the normal to the section; 0 unless `angleRead` is Number
  AngleRead angleRead = AngleRead::Blank;
  Units units = Units::Feet;
};

struct Measurement {
  std::string xsec;
  int block = 1;     // from 1
  std::string date;  // of its first record
  std::string time;
  std::vector<Record> records;
};

struct SkippedRecord {
  int line = 0;
  std::string reason;
};

struct MeasurementFile {
  std::vector<Measurement> measurements;
  // At most MaxListedSkips entries; past that, one last entry says how many more.
  std::vector<SkippedRecord> skipped;
};

// A listing of skipped records is for a person; past this many it stops.
inline constexpr size_t MaxListedSkips = 200;
// Far above what an instrument's memory holds: a larger file is not one of ours.
inline constexpr size_t MaxFileBytes = 8u << 20;

MeasurementFile readMeasurements(std::string_view bytes);

// False, with a one-line reason in `error`, when the file cannot be read.
bool readMeasurementFile(const std::string& path, MeasurementFile& file, std::string& error);
