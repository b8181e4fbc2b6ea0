// The receive worker: the body of each transfer's worker thread.
#pragma once

// Polls the link, writes each chunk to the raw log and each record line to
// the output file and the incoming-data view. Returns once it finds
// StopRequested set at the top of its loop.
void receiveWorker();
