// Stop when things go wrong around a running transfer, on the real form with
// a pseudo-terminal instrument: records sent just before Stop, a line error
// just before Stop, Stop in the middle of a long burst, an output pipe whose
// reader never comes back, a write that never returns (with the wall clock
// set back meanwhile), and the user choosing another file while the
// transfer runs.
//
// The wall clock is this program's clock_gettime, which can be told to read
// an hour ahead; the monotonic clock is left alone.
#include <sys/syscall.h>
#include <time.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <optional>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "transfer/pipe_reader.h"
#include "transfer/serial_counters_posix.h"
#include "transfer/serial_link.h"
#include "transfer/transfer_form.h"

namespace {

std::atomic<bool> wallClockAnHourAhead{false};

}  // namespace

extern "C" int clock_gettime(clockid_t clock, timespec* now) {
  const int rc = static_cast<int>(syscall(SYS_clock_gettime, clock, now));
  if (rc == 0 && clock == CLOCK_REALTIME && wallClockAnHourAhead.load()) now->tv_sec += 3600;
  return rc;
}

namespace {

using namespace std::chrono_literals;

// A driver that keeps error counters, whose line takes a framing error just
// as Stop is pressed, with `LastRecords` arriving behind it: at the first
// poll once Stop has begun (it sets the dot counter to -1).
PtyInstrument* lineInstrument = nullptr;
std::string lastRecords;
std::atomic<bool> errorArmed{false};
std::atomic<uint32_t> framingErrors{0};

CountsResult countsWithAnErrorAtStop(int, SerialErrorCounts& counts) {
  if (DotCount.load() == -1 && errorArmed.exchange(false)) {
    lineInstrument->send(lastRecords);
    lineInstrument->waitQueuedForProgram(lastRecords.size(), 5s);
    ++framingErrors;
  }
  counts = SerialErrorCounts{framingErrors.load(), 0, 0, 0, 0};
  return CountsResult::Ok;
}

const std::string Waiting = "Waiting for data . . . . . . . . .";

class TransferFaults : public TransferFormTest {
 protected:
  void TearDown() override {
    reader.reset();  // a worker still writing to the pipe gets its error
    OutputWriteWaitMs = DefaultOutputWriteWaitMs;
    TransferFormTest::TearDown();
    setErrorCountReader(nullptr);
  }
  void startTransfer() {
    clickStart();
    ASSERT_EQ(statusPart(StatusOverall), Waiting);
  }
  size_t recordsLogged() { return countOf(withoutLineEnds(fileContent(rawLog())), "Feet"); }
  // The output file `name` is a pipe of the smallest size whose reader
  // reads nothing, a write to it allowed to wait `writeWaitMs`; the
  // instrument sends until the pipe is full.
  void fillThePipe(const std::string& name, int writeWaitMs) {
    WriteMode = WriteOverwrite;
    csv = program.path() + name;
    OutputFileName = csv;
    reader.emplace(csv);
    OutputWriteWaitMs = writeWaitMs;
    const size_t capacity = reader->shrink();
    ASSERT_GT(capacity, 0u);
    startTransfer();
    ASSERT_TRUE(instrument->send(instrumentRecords(0, 200)));
    const size_t lineSize = csvLines(0, 1).size();
    ASSERT_TRUE(waitUntil([&] { return reader->unread() + lineSize > capacity; }, 8000))
        << "unread " << reader->unread();
  }
  // After a Stop that gave up on the hung write: once the write fails (the
  // reader goes), the worker gives the port back, and the next transfer
  // runs as usual.
  void endTheHungWriteAndTransferAgain() {
    reader->closeReader();
    EXPECT_TRUE(waitUntil([] { return !linkIsOpen(); }, 10000));
    csv = program.path() + "next.csv";
    OutputFileName = csv;
    startTransfer();
    ASSERT_TRUE(instrument->send(instrumentRecords(0, 3)));
    ASSERT_TRUE(waitUntil([&] { return fileContent(csv) == csvLines(0, 3); }, 8000));
    clickStop();
    expectControlsGivenBack();
  }
  std::string hungWriteMessage() const {
    return "The output file stopped taking data! The transfer was stopped without waiting for "
           "it:\n" +
           csv;
  }
  std::optional<PipeReader> reader;
};

}  // namespace

// The worker sleeps between polls; records that reach the line in that
// sleep, just before Stop, were sent by the instrument all the same.
TEST_F(TransferFaults, RecordsSentJustBeforeStopReachTheFileAndTheRawLog) {
  WriteMode = WriteOverwrite;
  startTransfer();
  ASSERT_TRUE(instrument->send(instrumentRecords(0, 2)));
  ASSERT_TRUE(waitUntil([&] { return fileContent(csv) == csvLines(0, 2); }, 8000));

  ASSERT_TRUE(instrument->send(instrumentRecords(2, 6)));
  clickStop();
  expectControlsGivenBack();
  EXPECT_EQ(fileContent(csv), csvLines(0, 8));
  EXPECT_EQ(withoutLineEnds(fileContent(rawLog())), withoutLineEnds(instrumentRecords(0, 8)));
  EXPECT_EQ(view(), csvLines(0, 8));
}

// Stop while the instrument pours out far more than the port's queue holds:
// Stop returns within its limit, and every byte the worker took is in the
// raw log and converted in the CSV, whole and in order.
// After a framing or overrun error one query of the line reports nothing
// waiting, though the bytes behind the error are queued; the last pass must
// not take that for the end of the data.
TEST_F(TransferFaults, ALineErrorJustBeforeStopDoesNotEndTheLastPass) {
  WriteMode = WriteOverwrite;
  setErrorCountReader(countsWithAnErrorAtStop);
  lineInstrument = instrument.get();
  lastRecords = instrumentRecords(3, 5);
  startTransfer();
  ASSERT_TRUE(instrument->send(instrumentRecords(0, 3)));
  ASSERT_TRUE(waitUntil([&] { return fileContent(csv) == csvLines(0, 3); }, 8000));

  errorArmed = true;
  clickStop();
  EXPECT_FALSE(errorArmed.load()) << "the line error never came";
  expectControlsGivenBack();
  EXPECT_EQ(fileContent(csv), csvLines(0, 8));
  EXPECT_EQ(withoutLineEnds(fileContent(rawLog())), withoutLineEnds(instrumentRecords(0, 8)));
}

TEST_F(TransferFaults, StopDuringALargeBurstKeepsEverythingTakenWhole) {
  WriteMode = WriteOverwrite;
  constexpr int Records = 100000;  // some 4.5 MB
  const std::string burst = instrumentRecords(0, Records);
  startTransfer();
  instrument->sendInBackground(burst);
  ASSERT_TRUE(waitUntil([&] { return countOf(fileContent(csv), "\n") >= 500; }, 15000));
  {
    CallWatchdog watchdog(15s);
    clickStop();
  }
  expectControlsGivenBack();
  EXPECT_FALSE(linkIsOpen());

  const std::string logged = fileContent(rawLog());
  const std::string taken = withoutLineEnds(logged);
  ASSERT_TRUE(withoutLineEnds(burst).starts_with(taken)) << "the raw log is not the stream";
  EXPECT_LT(taken.size(), withoutLineEnds(burst).size()) << "the burst was over before Stop";
  EXPECT_EQ(fileContent(csv), referenceCsv(logged));
}

TEST_F(TransferFaults, StopEndsWhileTheOutputPipesReaderNeverResumes) {
  fillThePipe("stalled.csv", DefaultOutputWriteWaitMs);

  DialogAnswer seen;
  {
    CallWatchdog watchdog(25s);
    seen = clickStopAnsweringMessage();
  }
  expectControlsGivenBack();
  // Everything the instrument sent is in the raw log; the file took what
  // fitted in the pipe, and the user is told how many lines it did not take.
  EXPECT_EQ(recordsLogged(), 200u);
  reader->readAvailable();
  const size_t written = countOf(reader->got(), "\n");
  EXPECT_EQ(reader->got(), csvLines(0, static_cast<int>(written)));
  ASSERT_TRUE(seen->answered);
  EXPECT_EQ(seen->text, "The output file stopped taking data! " + std::to_string(200 - written) +
                            " record line(s) could not be written to file:\n" + csv);
  EXPECT_FALSE(linkIsOpen());
  EXPECT_EQ(OutputFile.load(), -1);
}

// A write that does not return at all (a network share that stopped
// answering): here a pipe write allowed to wait far longer than Stop waits.
TEST_F(TransferFaults, StopGivesTheWindowBackWhenAWriteNeverReturns) {
  fillThePipe("hung.csv", 600000);

  DialogAnswer seen;
  {
    CallWatchdog watchdog(25s);
    seen = clickStopAnsweringMessage();
  }
  ASSERT_TRUE(seen->answered);
  EXPECT_EQ(seen->text, hungWriteMessage());
  expectControlsGivenBack();

  // The worker gives back both files itself, the raw log whole.
  reader->closeReader();
  EXPECT_TRUE(waitUntil([&] { return lockableByAnotherProgram(rawLog()); }, 10000));
  EXPECT_EQ(recordsLogged(), 200u) << "the raw log is closed whole";
  endTheHungWriteAndTransferAgain();
}

// Stop's limit is kept however the wall clock moves meanwhile: here it reads
// an hour ahead from the moment Stop begins, as if it had been set back an
// hour just after.
TEST_F(TransferFaults, StopKeepsItsLimitWhenTheWallClockIsSetBack) {
  fillThePipe("hung.csv", 600000);

  DialogAnswer seen = answerNextMessageBox(20000);
  wallClockAnHourAhead = true;
  {
    CallWatchdog watchdog(20s);
    clickStop();
  }
  wallClockAnHourAhead = false;
  ASSERT_TRUE(seen->answered);
  EXPECT_EQ(seen->text, hungWriteMessage());
  expectControlsGivenBack();
  endTheHungWriteAndTransferAgain();
}

// While a transfer runs, status part 1 is the transfer's: choosing a file,
// or cancelling the dialog, writes no readiness text over it.
TEST_F(TransferFaults, TheSaveDialogDuringATransferLeavesStatusPart1ToTheTransfer) {
  WriteMode = WriteOverwrite;
  startTransfer();
  const auto answered = [](const DialogAnswer& dialog) {
    return waitUntil([&] { return dialog->answered || dialog->timedOut; }, 10000) &&
           dialog->answered;
  };
  ASSERT_TRUE(answered(chooseFileInDialog(program.path() + "other.csv")));
  EXPECT_EQ(statusPart(StatusOverall), Waiting);
  ASSERT_TRUE(answered(cancelFileDialog()));
  EXPECT_EQ(statusPart(StatusOverall), Waiting);
  expectTransferControls();

  ASSERT_TRUE(instrument->send(instrumentRecords(0, 2)));
  ASSERT_TRUE(waitUntil([&] { return fileContent(csv) == csvLines(0, 2); }, 8000));
  ASSERT_TRUE(answered(chooseFileInDialog(program.path() + "third.csv")));
  const std::string shown = statusPart(StatusOverall);
  EXPECT_TRUE(shown.starts_with("Receiving data") || shown == Waiting) << shown;
  // The idle line brings the waiting text back, not a readiness text.
  EXPECT_TRUE(waitUntil([&] { return statusPart(StatusOverall) == Waiting; }, 6000))
      << statusPart(StatusOverall);
  clickStop();
  expectControlsGivenBack();
}

// A file that stops taking lines is told while the transfer runs, with the
// count of lines not saved, and the receiving and waiting texts that follow
// keep telling it.
TEST_F(TransferFaults, LinesNotSavedAreToldInTheStatusBarWhileTheTransferRuns) {
  fillThePipe("stalled.csv", 200);
  ASSERT_TRUE(waitUntil([] { return LostRecordCount.load() > 0; }, 8000));
  const auto lostPrefix = [] {
    return std::to_string(LostRecordCount.load()) + " record(s) not saved to file! ";
  };
  ASSERT_TRUE(waitUntil([&] { return statusPart(StatusOverall).starts_with(lostPrefix()); }, 8000))
      << statusPart(StatusOverall);

  // The reader takes up reading: lines are saved again. Once all 200 are
  // written or counted, the receiving text (the next record, more than a
  // second later) and the waiting text (the line idle) keep the count in front.
  ASSERT_TRUE(waitUntil(
      [&] {
        reader->readAvailable();
        return countOf(reader->got(), "\n") + LostRecordCount.load() == 200;
      },
      30000));
  const std::string lost = lostPrefix();
  processEventsFor(2000);
  ASSERT_TRUE(instrument->send(instrumentRecords(200, 1)));
  EXPECT_TRUE(waitUntil([&] {
    return statusPart(StatusOverall).starts_with(lost + "Receiving data .");
  })) << statusPart(StatusOverall);
  EXPECT_TRUE(waitUntil([&] { return statusPart(StatusOverall) == lost + Waiting; }, 6000))
      << statusPart(StatusOverall);
  reader->readAvailable();
  EXPECT_TRUE(reader->got().ends_with(csvLines(200, 1)));
  clickStopAnsweringMessage();
}

TEST_F(TransferFaults, LostRecordsMessageNamesTheFileOpenedAtStart) {
  WriteMode = WriteAppend;
  const std::string opened = program.path() + "failing.csv";
  csv = opened;
  OutputFileName = csv;
  reader.emplace(csv);
  startTransfer();
  ASSERT_TRUE(instrument->send(instrumentRecords(0, 2)));
  ASSERT_TRUE(waitUntil(
      [&] {
        reader->readAvailable();
        return reader->got() == csvLines(0, 2);
      },
      8000));
  reader->closeReader();
  ASSERT_TRUE(instrument->send(instrumentRecords(2, 3)));
  ASSERT_TRUE(waitUntil([] { return LostRecordCount.load() == 3; }, 8000));

  // The file dialog stays usable during a transfer; cancelled, it empties
  // the chosen name.
  DialogAnswer dialog = cancelNextSaveDialog(8000);
  clickWidget(choiceControl(IdChooseFileButton));
  ASSERT_TRUE(waitUntil([&] { return dialog->answered || dialog->timedOut; }, 10000));
  ASSERT_TRUE(dialog->answered);
  ASSERT_EQ(OutputFileName, "");

  DialogAnswer seen = clickStopAnsweringMessage();
  ASSERT_TRUE(seen->answered);
  EXPECT_EQ(
      seen->text,
      "Not all records were saved! 3 record line(s) could not be written to file:\n" + opened);
}
