// While records come, the CSV and the raw log are put on their disk about
// once a second by the worker, so a laptop whose battery dies keeps what the
// window showed; never once per record, never on the window's thread.
//
// The C library's fsync is replaced here by one that counts the calls for
// each of the two files and notes the thread, then does the real sync.
#include <dlfcn.h>

#include <atomic>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "transfer/transfer_form.h"

namespace {

std::atomic<int> csvSyncs{0};
std::atomic<int> rawSyncs{0};
std::atomic<bool> syncOnWindowThread{false};
std::thread::id windowThread;
using FsyncFn = int (*)(int);

}  // namespace

extern "C" int fsync(int fd) {
  if (fd >= 0 && fd == OutputFile.load()) ++csvSyncs;
  if (fd >= 0 && fd == RawLog.load()) ++rawSyncs;
  if (std::this_thread::get_id() == windowThread) syncOnWindowThread = true;
  auto real = reinterpret_cast<FsyncFn>(dlsym(RTLD_NEXT, "fsync"));
  return real(fd);
}

namespace {

class DiskSync : public TransferFormTest {};

}  // namespace

TEST_F(DiskSync, BothFilesReachTheDiskEverySecondWhileRecordsComeNotPerRecord) {
  windowThread = std::this_thread::get_id();
  WriteMode = WriteOverwrite;
  clickStart();
  ASSERT_EQ(statusPart(StatusOverall), "Waiting for data . . . . . . . . .");
  EXPECT_EQ(csvSyncs.load(), 0) << "nothing came yet";

  // About three seconds of records at the instrument's pace.
  constexpr int Records = 140;
  instrument->sendInBackground(instrumentRecords(0, Records), Pace::LineRate);
  ASSERT_TRUE(instrument->waitBackground(std::chrono::seconds(20)));
  ASSERT_TRUE(waitUntil([&] { return fileContent(csv) == csvLines(0, Records); }, 8000));
  EXPECT_TRUE(waitUntil([] { return csvSyncs.load() >= 2 && rawSyncs.load() >= 2; }, 8000))
      << csvSyncs.load() << " syncs of the CSV, " << rawSyncs.load() << " of the raw log";
  EXPECT_LE(csvSyncs.load(), Records / 10) << "a sync per record";
  EXPECT_LE(rawSyncs.load(), Records / 10);
  EXPECT_FALSE(syncOnWindowThread.load());

  // Once nothing comes, nothing more is synced until Stop.
  processEventsFor(1500);
  const int before = csvSyncs.load();
  processEventsFor(2500);
  EXPECT_EQ(csvSyncs.load(), before);
  clickStop();
  expectControlsGivenBack();
}
