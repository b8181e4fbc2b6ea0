// Start and stop of a transfer, run on the GUI thread by the main window's
// Start and Stop buttons and their shortcuts.
#pragma once

#include <string>

#include "transfer/worker_thread.h"

// The running receive worker, if any. GUI thread only.
extern WorkerThread WorkerHandle;

// Start button / Ctrl+G: flags, controls, then the transfer start.
void startHandler();
// Opens link, output file and raw log, then starts the worker; shows its own
// failure messages.
void transferStart();
// Stop button / Ctrl+Z / Ctrl+X / closing the window during a transfer.
void stopSequence();

// The raw log's full path: "Raw.txt" in the program's data folder.
std::string rawLogPath();

inline constexpr const char* TextWaitingForData = "Waiting for data . . . . . . . . .";
inline constexpr const char* TextReadyToStartAfterStop = "Ready To Start";
inline constexpr const char* TextCommsFailed = "Failed to start communications!";
inline constexpr const char* TextFileOpenFailed = "An error occured while opening file:";
// Openings of what Stop tells when not everything was saved.
inline constexpr const char* TextRecordsLost = "Not all records were saved!";
inline constexpr const char* TextOutputStalled = "The output file stopped taking data!";
inline constexpr const char* TextCloseFailed = "The file reported an error when it was closed:";
inline constexpr const char* TextOutputHung =
    "The output file stopped taking data! The transfer was stopped without waiting for it:";
inline constexpr const char* TextRawLogLost = "Not all received data was saved!";
inline constexpr const char* TextSyncUnfinished =
    "Not all records may have been saved! The file had not reached its disk when the transfer "
    "was stopped:";
// Start while a worker that Stop let go still holds the port and both files.
inline constexpr const char* TextStartRefused =
    "Cannot start yet! The last transfer still holds the port while it waits for its output "
    "file to answer. Make that file's disk or network share answer again, or close the "
    "program, then press Start. The file:";
