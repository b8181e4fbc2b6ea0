// The output file failing only when Stop puts it on the disk, as network
// shares, quotas and full disks often report a lost write: every line went
// in without an error, yet the records are not safely saved, and Stop must
// not say "Ready To Start" as if they were.
//
// And a sync that does not return (a frozen file system, a network share
// whose server went away), which must not hold the window.
//
// The failure comes from the C library's fsync, which this program replaces
// with one that can be told to fail once, or to hang once until released;
// everything else is real.
#include <dlfcn.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "transfer/serial_link.h"
#include "transfer/transfer_form.h"

namespace {

std::atomic<bool> failNextSync{false};
std::atomic<bool> holdNextSync{false};
std::atomic<bool> syncReleased{false};
using FsyncFn = int (*)(int);

}  // namespace

extern "C" int fsync(int fd) {
  if (holdNextSync.exchange(false)) {
    while (!syncReleased.load()) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  if (failNextSync.exchange(false)) {
    errno = EIO;
    return -1;
  }
  auto real = reinterpret_cast<FsyncFn>(dlsym(RTLD_NEXT, "fsync"));
  return real(fd);
}

namespace {

class OutputSync : public TransferFormTest {};

}  // namespace

TEST_F(OutputSync, AFileThatFailsToReachTheDiskAtStopIsReported) {
  WriteMode = WriteOverwrite;
  clickStart();
  ASSERT_EQ(statusPart(StatusOverall), "Waiting for data . . . . . . . . .");
  ASSERT_TRUE(instrument->send(instrumentRecords(0, 3)));
  ASSERT_TRUE(waitUntil([&] { return fileContent(csv) == csvLines(0, 3); }, 8000));
  EXPECT_EQ(LostRecordCount.load(), 0);

  failNextSync = true;
  DialogAnswer seen = clickStopAnsweringMessage();
  EXPECT_FALSE(failNextSync.load()) << "the file was not put on the disk";
  ASSERT_TRUE(seen->answered) << "Stop told nothing";
  EXPECT_EQ(seen->text,
            "Not all records were saved! The file reported an error when it was closed:\n" + csv);
  expectControlsGivenBack();
  EXPECT_EQ(OutputFile.load(), -1);
  EXPECT_TRUE(lockableByAnotherProgram(csv)) << "the file is closed all the same";

  // The next Stop, whose file goes to the disk, says nothing.
  clickStart();
  ASSERT_TRUE(instrument->send(instrumentRecords(3, 1)));
  ASSERT_TRUE(waitUntil([&] { return fileContent(csv) == csvLines(3, 1); }, 8000));
  DialogAnswer next = clickStopAnsweringMessage();
  EXPECT_FALSE(next->answered) << next->text;
}

TEST_F(OutputSync, ASyncThatDoesNotReturnDoesNotHoldTheWindow) {
  WriteMode = WriteOverwrite;
  clickStart();
  ASSERT_EQ(statusPart(StatusOverall), "Waiting for data . . . . . . . . .");
  ASSERT_TRUE(instrument->send(instrumentRecords(0, 3)));
  ASSERT_TRUE(waitUntil([&] { return fileContent(csv) == csvLines(0, 3); }, 8000));

  holdNextSync = true;
  syncReleased = false;
  DialogAnswer seen = answerNextMessageBox(20000);
  {
    CallWatchdog watchdog(std::chrono::seconds(20));
    clickStop();
  }
  EXPECT_FALSE(holdNextSync.load()) << "the file was not put on the disk";
  ASSERT_TRUE(seen->answered) << "Stop told nothing";
  EXPECT_EQ(seen->text,
            "Not all records may have been saved! The file had not reached its disk when the "
            "transfer was stopped:\n" +
                csv);
  expectControlsGivenBack();

  // Once the sync returns, the worker closes the file and gives back the port.
  syncReleased = true;
  EXPECT_TRUE(waitUntil([] { return !linkIsOpen(); }, 10000));
  EXPECT_TRUE(waitUntil([&] { return lockableByAnotherProgram(csv); }, 10000));
  EXPECT_EQ(fileContent(csv), csvLines(0, 3));

  // And the next transfer runs as usual.
  clickStart();
  ASSERT_EQ(statusPart(StatusOverall), "Waiting for data . . . . . . . . .");
  DialogAnswer next = clickStopAnsweringMessage();
  EXPECT_FALSE(next->answered) << next->text;
  expectControlsGivenBack();
}
