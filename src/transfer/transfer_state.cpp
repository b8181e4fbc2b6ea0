#include "transfer/transfer_state.h"

int16_t TransferRunning = 0;
int16_t TransferStopped = 0;
int16_t StopInProgress = 0;
std::atomic<int16_t> DotCount{0};
std::atomic<int32_t> RecordCount{0};
std::atomic<int> OutputFile{-1};
std::atomic<int> RawLog{-1};
std::atomic<int32_t> LostRecordCount{0};
std::atomic<int32_t> LostChunkCount{0};
std::atomic<int32_t> OutputStalled{0};
std::atomic<int32_t> OutputWriteWaitMs{DefaultOutputWriteWaitMs};
std::string OpenedOutputName;
std::string OpenedRawLogName;
