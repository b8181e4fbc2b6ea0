// State of a transfer, owned by transfer start and stop and shared with the
// receive worker. Values the worker and the GUI thread both touch are atomic.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>

// GUI thread only: 1 from start until stop / 1 from stop until the next start.
extern int16_t TransferRunning;
extern int16_t TransferStopped;
// GUI thread only: 1 while the stop sequence runs.
extern int16_t StopInProgress;
// Progress dots, and a code of what status part 1 last showed:
// -2 "Not Ready", -1 a chosen port or "Ready To Start", 0 the waiting text,
// 1..15 the number of " ." groups after "Receiving data".
extern std::atomic<int16_t> DotCount;
// Set to 1 when a transfer starts; the worker adds 1 per record written.
extern std::atomic<int32_t> RecordCount;
// Open file descriptors of the transfer, -1 when none.
extern std::atomic<int> OutputFile;
extern std::atomic<int> RawLog;
// GUI thread only: the output file and raw log this transfer opened, named
// as they were at Start (the file box may be changed during a transfer).
extern std::string OpenedOutputName;
extern std::string OpenedRawLogName;
// Record lines that could not be written to the output file in this transfer.
extern std::atomic<int32_t> LostRecordCount;
// Chunks that could not be written to the raw log in this transfer.
extern std::atomic<int32_t> LostChunkCount;
// 1 while the output file (a pipe or device) has stopped taking data: the
// last write waited its limit in vain, and later ones do not wait.
extern std::atomic<int32_t> OutputStalled;
// How long a write to an output pipe or device may wait for room without a
// byte taken; tests lengthen it to stand for a write that never returns.
inline constexpr int32_t DefaultOutputWriteWaitMs = 5000;
extern std::atomic<int32_t> OutputWriteWaitMs;

// What became of a transfer's worker. The stop sequence waits for it a
// limited time; a worker still running then (a write or a sync that does not
// return) is left to give back the link and both files itself when it ends.
enum WorkerFateCode : int32_t { WorkerRunning = 0, WorkerFinished = 1, WorkerAbandoned = 2 };

// One worker's own stop flag and fate. Each transfer's worker gets a new one,
// which the window's thread keeps until that worker's thread has ended, so
// no later Start can clear the flag of a worker that still runs.
struct WorkerRun {
  // 1 asks the worker to end; it reads this at the top of every loop pass.
  std::atomic<int32_t> stopRequested{0};
  std::atomic<int32_t> fate{WorkerRunning};
  // 1 once the worker has begun putting the output file on its disk.
  std::atomic<int32_t> closingFiles{0};
  // 1 while the worker's sync of the files during the transfer runs.
  std::atomic<int32_t> syncingFiles{0};
  // False when that sync or the file's close reported an error.
  std::atomic<bool> outputClosedCleanly{true};
};
