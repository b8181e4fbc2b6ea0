#include "app/main_summary.h"

#include <string>

#include "app/control_ids.h"
#include "app/ezgui/ezgui.h"
#include "help/shell_open.h"
#include "output/output_state.h"
#include "summary/summary_report.h"
#include "transfer/transfer_state.h"

namespace {

// The file is still being written while a transfer runs, and locked.
bool summaryAvailable() {
  return FileChosen == 1 && !(TransferRunning == 1 && TransferStopped == 0);
}

std::string fileNameOf(const std::string& path) {
  return path.substr(path.find_last_of("/\\") + 1);
}

}  // namespace

void showSummaryMenuState() {
  EZ_ENABLEMENUITEM(MainForm, IdSummaryMenu, summaryAvailable());
}

void summarizeOutputFile() {
  if (!summaryAvailable()) return;
  MeasurementFile file;
  std::string error;
  if (!readMeasurementFile(OutputFileName, file, error)) {
    EZ_MSGBOX("Could not read the output file:\r" + OutputFileName);
    return;
  }
  const std::string report = reportPathFor(OutputFileName);
  const std::string page = summaryReport(summarizeFile(file), fileNameOf(OutputFileName));
  if (!writeReportFile(report, page, error)) {
    EZ_MSGBOX("Could not write the summary:\r" + report);
    return;
  }
  shellOpenFile(report);
}
