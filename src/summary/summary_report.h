// The report: one self-contained HTML page (inline CSS and SVG, no script,
// nothing fetched) for a laptop's screen and for A4 paper.
#pragma once

#include <string>

#include "summary/summary_output.h"

// Bar colours of the picture, by a vertical's share of the discharge.
inline constexpr const char* ShareLowColour = "#2ca25f";      // up to 5 %
inline constexpr const char* ShareNotedColour = "#f29e1f";    // above 5 %
inline constexpr const char* ShareFlaggedColour = "#d62728";  // above 10 %
inline constexpr const char* ReverseFlowColour = "#7b3fa0";
inline constexpr const char* NoShareColour = "#8c8c8c";  // no discharge (mixed units)

// `sourceName`: the CSV file's name as the page names it.
std::string summaryReport(const FileSummary& summary, const std::string& sourceName);
// The cross-section picture of one measurement, an SVG element.
std::string crossSectionPicture(const Summary& s);

// river.csv -> river.summary.html, in the same folder.
std::string reportPathFor(const std::string& csvPath);

bool writeReportFile(const std::string& path, const std::string& html, std::string& error);

// Text for HTML: `htmlText` keeps UTF-8, `htmlBytes` takes each byte of the
// instrument's data as Latin-1.
std::string htmlText(const std::string& text);
std::string htmlBytes(const std::string& bytes);
