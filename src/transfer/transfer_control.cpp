#include "transfer/transfer_control.h"

#include <string>

#include "app/control_ids.h"
#include "app/ezgui/ezgui.h"
#include "app/program_folder.h"
#include "output/output_state.h"
#include "ports/port_state.h"
#include "transfer/receive_worker.h"
#include "transfer/serial_link.h"
#include "transfer/transfer_files.h"
#include "transfer/transfer_state.h"

WorkerThread WorkerHandle;

namespace {

constexpr size_t WorkerStackBytes = 1048576;

void setTransferControls(bool running) {
  if (running) {
    EZ_DISABLEC(MainForm, IdStartButton);
    EZ_ENABLEC(MainForm, IdStopButton);
    EZ_DISABLEC(MainForm, IdFileNameBox);
    EZ_DISABLEC(MainForm, IdPortList);
    EZ_DISABLEC(MainForm, IdRefreshButton);
  } else {
    EZ_ENABLEC(MainForm, IdStartButton);
    EZ_DISABLEC(MainForm, IdStopButton);
    EZ_ENABLEC(MainForm, IdFileNameBox);
    EZ_ENABLEC(MainForm, IdPortList);
    EZ_ENABLEC(MainForm, IdRefreshButton);
  }
}

int16_t chosenPortNumber() {
  if (ChosenPortIndex < 1 || ChosenPortIndex > PortCount) return 0;
  return PortList[ChosenPortIndex].portNumber;
}

void closeFile(std::atomic<int>& file) {
  closeTransferFile(file.exchange(-1));
}

// Lines that could not be written are otherwise lost without a word; the
// user must learn of it before trusting the file.
void reportLostRecords() {
  const int32_t lost = LostRecordCount.exchange(0);
  if (lost <= 0) return;
  EZ_MSGBOX("Not all records were saved! " + std::to_string(lost) +
            " record line(s) could not be written to file:\r" + OutputFileName);
}

}  // namespace

std::string rawLogPath() {
  return dataFolderFor(EZ_GETPATHTEXT(EZ_GETAPPPATHNAME())) + "Raw.txt";
}

void startHandler() {
  // A Start the user pressed while Stop ran reaches here from Stop's own
  // event processing; it would open files that Stop's last step then closes.
  if (StopInProgress) return;
  TransferRunning = 1;
  TransferStopped = 0;
  DotCount = 0;
  StopRequested = 0;
  setTransferControls(true);
  if (WriteMode == WriteOverwrite) EZ_SETRICHTEXT(MainForm, IdIncomingView, "", 0, 0);
  transferStart();
}

void transferStart() {
  if (!openLink(chosenPortNumber())) {
    EZ_MSGBOX(TextCommsFailed);
    return;
  }
  const int output = openOutputFile(OutputFileName, WriteMode == WriteAppend);
  if (output < 0) {
    EZ_MSGBOX(std::string(TextFileOpenFailed) + "\r" + OutputFileName);
    OutputFile = -1;
    flushAndClose();
    return;
  }
  OutputFile = output;
  RawLog = openRawLog(rawLogPath());
  EZ_SETSBTEXT(MainForm, IdStatusBar, StatusOverall, TextWaitingForData, "P");
  DotCount = 0;
  RecordCount = 1;
  LostRecordCount = 0;
  if (!startWorkerThread(WorkerHandle, receiveWorker, WorkerStackBytes)) {
    // Without a worker nothing would ever be received; say so as a failed start.
    EZ_MSGBOX(TextCommsFailed);
  }
}

void stopSequence() {
  StopInProgress = 1;
  TransferRunning = 0;
  TransferStopped = 1;
  DotCount = -1;
  StopRequested = 1;
  // The worker must have left the link and both files before they close:
  // a descriptor closed under it would be reused by the next file opened.
  joinWorkerThread(WorkerHandle);
  DotCount = -1;
  flushAndClose();
  closeFile(OutputFile);
  setTransferControls(false);
  EZ_DOEVENTS(10);
  EZ_SETSBTEXT(MainForm, IdStatusBar, StatusOverall, TextReadyToStartAfterStop, "P");
  closeFile(RawLog);
  StopInProgress = 0;
  reportLostRecords();
}
