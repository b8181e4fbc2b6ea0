// The measurement summary on any bytes: the reader, the computation and both
// outputs must neither crash nor hang, and the list of skipped records stays
// bounded whatever the file holds.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "summary/summary_output.h"
#include "summary/summary_report.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const MeasurementFile file =
      readMeasurements(std::string_view(reinterpret_cast<const char*>(data), size));
  if (file.skipped.size() > MaxListedSkips + 1) {
    std::fprintf(stderr, "%zu skipped records listed\n", file.skipped.size());
    std::abort();
  }
  const FileSummary summary = summarizeFile(file);
  const std::string json = summaryJson(summary);
  for (const char c : json) {
    if (static_cast<unsigned char>(c) < 0x20 && c != '\n') std::abort();  // unescaped in JSON
  }
  summaryText(summary);
  summaryReport(summary, "fuzz.csv");
  return 0;
}
