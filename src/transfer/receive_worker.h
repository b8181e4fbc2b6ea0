// The receive worker: the body of each transfer's worker thread.
#pragma once

#include <cstdint>

#include "transfer/record_converter.h"
#include "transfer/transfer_state.h"

// The unfinished record. It outlives transfers: the first data of the next
// transfer continues it. Touched by the worker alone while one runs.
extern PendingRecord PendingText;

// Polls the link, writes each chunk to the raw log and each record line to
// the output file and the incoming-data view. Returns once it finds its own
// stop flag set at the top of its loop and has taken what was still waiting.
// While data comes it puts both files on their disk about once a second.
void receiveWorker(WorkerRun& run);

// One more progress dot (15 go round to 1; a reset to -1 counts on to 0) and
// the new count. The window's thread may reset the count at any moment.
int16_t advanceDotCount();
