// The command `morvane-summary FILE.csv [--json] [--html OUT.html]`.
#pragma once

#include <string>
#include <vector>

inline constexpr const char* SummaryUsage =
    "Usage: morvane-summary FILE.csv [--json] [--html OUT.html]\n"
    "Summarizes the measurements in a CSV file written by Morvane: the discharge\n"
    "of each cross-section by the mid-section method, with its flags.\n"
    "  --json           print the summary as JSON instead of text\n"
    "  --html OUT.html  also write the report, a self-contained HTML page\n";

// args without the program's name. Returns the exit status: 0 when the file
// was read (even with flags), 1 when it could not be, or the command was wrong.
int runSummaryCommand(const std::vector<std::string>& args, std::string& out, std::string& err);
