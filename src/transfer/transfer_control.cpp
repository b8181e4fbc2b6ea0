#include "transfer/transfer_control.h"

#include <memory>
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
// The close pause's second, and a few more for the worker's last pass and
// for putting the output file on its disk.
constexpr int StopWaitLimitMs = 6000;

// The running worker's own stop flag and fate; none while no worker runs.
std::unique_ptr<WorkerRun> CurrentRun;
// A worker the stop sequence stopped waiting for: it holds the port and both
// files until its write or sync returns, and is kept until its thread has
// ended. GUI thread only, as the two above.
WorkerThread LetGoHandle;
std::unique_ptr<WorkerRun> LetGoRun;

enum class WorkerEnd { Ended, StuckWriting, StuckSyncing };

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

// The worker's last step, inside the time the stop sequence waits for it: a
// file system that takes writes but does not answer a sync (frozen, or a
// network share whose server has gone) must not hold the window.
void closeFilesAtEnd(WorkerRun& run) {
  run.closingFiles = 1;
  run.outputClosedCleanly = syncAndCloseTransferFile(OutputFile.exchange(-1));
  closeFile(RawLog);
}

// The worker's thread body. A worker that the stop sequence stopped waiting
// for also gives back the link itself once its write or sync returns: it
// cannot be closed under it, since a descriptor closed while a thread still
// uses it may be reused by the next file opened.
void runWorker(void* argument) {
  WorkerRun& run = *static_cast<WorkerRun*>(argument);
  receiveWorker(run);
  closeFilesAtEnd(run);
  int32_t expected = WorkerRunning;
  if (run.fate.compare_exchange_strong(expected, WorkerFinished)) return;
  flushAndClose();
}

// The worker ends within its last pass and the sync unless a write or the
// sync does not return; the window is not held longer than this for it.
WorkerEnd waitForWorker() {
  if (!CurrentRun) return WorkerEnd::Ended;  // a start that failed has none
  if (!joinWorkerThreadWithin(WorkerHandle, StopWaitLimitMs)) {
    const bool syncing =
        CurrentRun->closingFiles.load() != 0 || CurrentRun->syncingFiles.load() != 0;
    int32_t expected = WorkerRunning;
    if (CurrentRun->fate.compare_exchange_strong(expected, WorkerAbandoned)) {
      LetGoHandle = WorkerHandle;
      WorkerHandle = WorkerThread{};
      LetGoRun = std::move(CurrentRun);
      return syncing ? WorkerEnd::StuckSyncing : WorkerEnd::StuckWriting;
    }
    joinWorkerThread(WorkerHandle);  // it was ending just now
  }
  return WorkerEnd::Ended;
}

// True once no worker that Stop let go still runs.
bool letGoWorkerHasEnded() {
  if (!LetGoRun) return true;
  if (!joinWorkerThreadWithin(LetGoHandle, 0)) return false;
  LetGoRun.reset();
  return true;
}

std::string outputLossText(WorkerEnd end, bool closedCleanly) {
  const int32_t lost = LostRecordCount.exchange(0);
  const std::string fileName = "\r" + OpenedOutputName;
  if (end == WorkerEnd::StuckWriting) return TextOutputHung + fileName;
  std::string text;
  if (lost > 0) {
    const char* opening = OutputStalled.load() != 0 ? TextOutputStalled : TextRecordsLost;
    text = std::string(opening) + " " + std::to_string(lost) +
           " record line(s) could not be written to file:" + fileName;
  }
  if (end == WorkerEnd::StuckSyncing) {
    text += (text.empty() ? "" : "\r\r") + std::string(TextSyncUnfinished) + fileName;
  } else if (!closedCleanly && text.empty()) {
    text = std::string(TextRecordsLost) + " " + TextCloseFailed + fileName;
  }
  return text;
}

std::string rawLogLossText() {
  const int32_t lost = LostChunkCount.exchange(0);
  if (lost <= 0) return "";
  return std::string(TextRawLogLost) + " " + std::to_string(lost) +
         " chunk(s) could not be written to the raw log:\r" + OpenedRawLogName;
}

// What did not reach the files is otherwise lost without a word; the user
// must learn of it before trusting them.
void reportLosses(WorkerEnd end, bool closedCleanly) {
  std::string text = outputLossText(end, closedCleanly);
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
  if (!letGoWorkerHasEnded()) {
    EZ_MSGBOX(std::string(TextStartRefused) + "\r" + OpenedOutputName);
    return;
  }
  TransferRunning = 1;
  TransferStopped = 0;
  DotCount = 0;
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
  CurrentRun = std::make_unique<WorkerRun>();
  if (!startWorkerThread(WorkerHandle, runWorker, CurrentRun.get(), WorkerStackBytes)) {
    CurrentRun.reset();
    // Without a worker nothing would ever be received; say so as a failed start.
    EZ_MSGBOX(TextCommsFailed);
  }
}

void stopSequence() {
  StopInProgress = 1;
  TransferRunning = 0;
  TransferStopped = 1;
  DotCount = -1;
  if (CurrentRun) CurrentRun->stopRequested = 1;
  // The worker must have left the link and both files before they close:
  // a descriptor closed under it would be reused by the next file opened.
  const WorkerEnd end = waitForWorker();
  DotCount = -1;
  bool closedCleanly = true;
  if (end == WorkerEnd::Ended) {
    if (CurrentRun) closedCleanly = CurrentRun->outputClosedCleanly.load();
    CurrentRun.reset();
    flushAndClose();
    // Still open only when the start failed after opening it.
    closedCleanly = syncAndCloseTransferFile(OutputFile.exchange(-1)) && closedCleanly;
  }
  setTransferControls(false);
  EZ_DOEVENTS(10);
  EZ_SETSBTEXT(MainForm, IdStatusBar, StatusOverall, TextReadyToStartAfterStop, "P");
  if (end == WorkerEnd::Ended) closeFile(RawLog);
  StopInProgress = 0;
  // Only now: during the stop's event processing a click on Start would be
  // refused, so it must not look usable then.
  EZ_ENABLEC(MainForm, IdStartButton);
  releaseAwake();
  reportLosses(end, closedCleanly);
}
