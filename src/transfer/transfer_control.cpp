#include "transfer/transfer_control.h"

#include <string>

#include "app/control_ids.h"
#include "app/ezgui/ezgui.h"
#include "app/program_folder.h"
#include "output/output_state.h"
#include "ports/port_state.h"
#include "transfer/awake.h"
#include "transfer/receive_worker.h"
#include "transfer/serial_link.h"
#include "transfer/transfer_files.h"
#include "transfer/transfer_state.h"

WorkerThread WorkerHandle;

namespace {

constexpr size_t WorkerStackBytes = 1048576;
// The close pause's second, and a few more for the worker's last pass.
constexpr int StopWaitLimitMs = 6000;

void setTransferControls(bool running) {
  if (running) {
    EZ_DISABLEC(MainForm, IdStartButton);
    EZ_ENABLEC(MainForm, IdStopButton);
    EZ_DISABLEC(MainForm, IdFileNameBox);
    EZ_DISABLEC(MainForm, IdPortList);
    EZ_DISABLEC(MainForm, IdRefreshButton);
  } else {
    // Start is not among them: it comes back once the stop has finished.
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

bool closeFile(std::atomic<int>& file) {
  return closeTransferFile(file.exchange(-1));
}

// The worker's thread body. A worker that the stop sequence stopped waiting
// for gives back the link and both files itself once its write returns: they
// cannot be closed under it, since a descriptor closed while a thread still
// writes to it may be reused by the next file opened.
void runWorker() {
  receiveWorker();
  int32_t expected = WorkerRunning;
  if (WorkerFate.compare_exchange_strong(expected, WorkerFinished)) return;
  // Files first: a new Start can only begin once the port is free.
  closeFile(OutputFile);
  closeFile(RawLog);
  flushAndClose();
}

// The worker ends within its last pass unless a write of its does not
// return; the window is not held longer than this for it.
bool waitForWorker() {
  if (joinWorkerThreadWithin(WorkerHandle, StopWaitLimitMs)) return true;
  int32_t expected = WorkerRunning;
  if (!WorkerFate.compare_exchange_strong(expected, WorkerAbandoned)) {
    joinWorkerThread(WorkerHandle);  // it ended just now
    return true;
  }
  detachWorkerThread(WorkerHandle);
  return false;
}

std::string outputLossText(bool closedCleanly) {
  const int32_t lost = LostRecordCount.exchange(0);
  const std::string fileName = "\r" + OpenedOutputName;
  if (lost > 0) {
    const char* opening = OutputStalled.load() != 0 ? TextOutputStalled : TextRecordsLost;
    return std::string(opening) + " " + std::to_string(lost) +
           " record line(s) could not be written to file:" + fileName;
  }
  if (!closedCleanly) return std::string(TextRecordsLost) + " " + TextCloseFailed + fileName;
  return "";
}

std::string rawLogLossText() {
  const int32_t lost = LostChunkCount.exchange(0);
  if (lost <= 0) return "";
  return std::string(TextRawLogLost) + " " + std::to_string(lost) +
         " chunk(s) could not be written to the raw log:\r" + OpenedRawLogName;
}

// What did not reach the files is otherwise lost without a word; the user
// must learn of it before trusting them.
void reportLosses(bool workerEnded, bool closedCleanly) {
  std::string text = workerEnded ? outputLossText(closedCleanly)
                                 : std::string(TextOutputHung) + "\r" + OpenedOutputName;
  const std::string raw = rawLogLossText();
  if (!raw.empty()) text += (text.empty() ? "" : "\r\r") + raw;
  if (!text.empty()) EZ_MSGBOX(text);
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
  holdAwake();  // until the end of the stop, the only way out of a failed start too
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
  OpenedOutputName = OutputFileName;
  OpenedRawLogName = rawLogPath();
  RawLog = openRawLog(OpenedRawLogName);
  EZ_SETSBTEXT(MainForm, IdStatusBar, StatusOverall, TextWaitingForData, "P");
  DotCount = 0;
  RecordCount = 1;
  LostRecordCount = 0;
  LostChunkCount = 0;
  OutputStalled = 0;
  WorkerFate = WorkerRunning;
  if (!startWorkerThread(WorkerHandle, runWorker, WorkerStackBytes)) {
    WorkerFate = WorkerFinished;
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
  const bool workerEnded = waitForWorker();
  DotCount = -1;
  bool closedCleanly = true;
  if (workerEnded) {
    flushAndClose();
    closedCleanly = syncAndCloseTransferFile(OutputFile.exchange(-1));
  }
  setTransferControls(false);
  EZ_DOEVENTS(10);
  EZ_SETSBTEXT(MainForm, IdStatusBar, StatusOverall, TextReadyToStartAfterStop, "P");
  if (workerEnded) closeFile(RawLog);
  StopInProgress = 0;
  // Only now: during the stop's event processing a click on Start would be
  // refused, so it must not look usable then.
  EZ_ENABLEC(MainForm, IdStartButton);
  releaseAwake();
  reportLosses(workerEnded, closedCleanly);
}
