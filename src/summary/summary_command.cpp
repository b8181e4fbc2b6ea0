#include "summary/summary_command.h"

#include "summary/summary_output.h"
#include "summary/summary_report.h"

namespace {

struct Request {
  std::string csv;
  std::string html;
  bool json = false;
};

// Options may stand before or after the file name.
bool parse(const std::vector<std::string>& args, Request& request, std::string& error) {
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--json") {
      request.json = true;
    } else if (args[i] == "--html") {
      if (i + 1 == args.size()) {
        error = "--html needs the name of the report to write";
        return false;
      }
      request.html = args[++i];
    } else if (args[i].size() > 1 && args[i].front() == '-') {
      error = "unknown option " + args[i];
      return false;
    } else if (request.csv.empty()) {
      request.csv = args[i];
    } else {
      error = "one file at a time: " + args[i];
      return false;
    }
  }
  if (request.csv.empty()) error = "no file named";
  return error.empty();
}

}  // namespace

int runSummaryCommand(const std::vector<std::string>& args, std::string& out, std::string& err) {
  for (const std::string& arg : args) {
    if (arg == "--help" || arg == "-h") {
      out = SummaryUsage;
      return 0;
    }
  }
  Request request;
  std::string error;
  if (!parse(args, request, error)) {
    err = "morvane-summary: " + error + "\n" + SummaryUsage;
    return 1;
  }
  MeasurementFile file;
  if (!readMeasurementFile(request.csv, file, error)) {
    err = "morvane-summary: " + error + "\n";
    return 1;
  }
  const FileSummary summary = summarizeFile(file);
  out = request.json ? summaryJson(summary) : summaryText(summary);
  if (!request.html.empty() &&
      !writeReportFile(request.html, summaryReport(summary, request.csv), error)) {
    err = "morvane-summary: " + error + "\n";
    return 1;
  }
  return 0;
}
