// The summary of a measurement file as plain text and as JSON.
#pragma once

#include <string>
#include <vector>

#include "summary/discharge.h"
#include "summary/measurement_reader.h"

struct FileSummary {
  std::vector<Summary> measurements;
  std::vector<SkippedRecord> skipped;
};

FileSummary summarizeFile(const MeasurementFile& file);

// "ft", "ft/s", "ft²"... of a summary's units.
std::string unitsWord(const Summary& s);
std::string lengthUnit(const Summary& s);
std::string velocityUnit(const Summary& s);
std::string areaUnit(const Summary& s);
std::string dischargeUnit(const Summary& s);

std::string summaryText(const FileSummary& summary);
std::string summaryJson(const FileSummary& summary);
