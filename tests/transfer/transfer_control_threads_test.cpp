// Transfers with a running receive worker, on the real form with a
// pseudo-terminal instrument: what each write mode does to the output file,
// the view and the raw log, the files held while a transfer runs, a second
// start during one, and the stop when the worker is still writing or the
// output file has failed under it.
#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "transfer/pipe_reader.h"
#include "transfer/serial_link.h"
#include "transfer/transfer_form.h"

namespace {

using namespace std::chrono_literals;

const std::string OpeningBytes("\x00\x0D\x0A", 3);
const std::string Waiting = "Waiting for data . . . . . . . . .";

class TransferRun : public TransferFormTest {
 protected:
  void startTransfer() {
    clickStart();
    ASSERT_EQ(statusPart(StatusOverall), Waiting);
    expectTransferControls();
  }
  // The instrument sends records first..first+count-1 and the output file
  // ends up holding `fileAfter`.
  void sendRecords(int first, int count, const std::string& fileAfter) {
    ASSERT_TRUE(instrument->send(instrumentRecords(first, count)));
    EXPECT_TRUE(waitUntil([&] { return fileContent(csv) == fileAfter; }, 8000)) << fileContent(csv);
  }
  bool viewShows(const std::string& text) {
    return waitUntil([&] { return view() == text; }, 8000);
  }
};

}  // namespace

TEST_F(TransferRun, OverwriteEmptiesFileViewAndRawLogThenRecordsReachFileLogAndView) {
  WriteMode = WriteOverwrite;
  writeFile(csv, "a line of an earlier transfer\n");
  writeFile(rawLog(), "raw log of an earlier transfer\r\n");
  EZ_SETRICHTEXT(MainForm, IdIncomingView, "earlier view text", 0, 0);

  startTransfer();
  EXPECT_EQ(fileContent(csv), "");
  EXPECT_EQ(fileContent(rawLog()), "");
  EXPECT_EQ(view(), "");
  EXPECT_EQ(instrument->received(), OpeningBytes);
  // Neither file can be taken by another program while the transfer runs.
  EXPECT_FALSE(lockableByAnotherProgram(csv));
  EXPECT_FALSE(lockableByAnotherProgram(rawLog()));

  sendRecords(0, 3, csvLines(0, 3));
  EXPECT_TRUE(viewShows(csvLines(0, 3))) << view();
  clickStop();

  expectControlsGivenBack();
  EXPECT_EQ(fileContent(csv), csvLines(0, 3));
  const std::string raw = fileContent(rawLog());
  EXPECT_EQ(withoutLineEnds(raw), withoutLineEnds(instrumentRecords(0, 3)));
  EXPECT_TRUE(raw.ends_with("Feet\r\n\r\n")) << "each chunk is followed by CR LF";
  EXPECT_EQ(view(), csvLines(0, 3));
  EXPECT_TRUE(lockableByAnotherProgram(csv));
  EXPECT_TRUE(lockableByAnotherProgram(rawLog()));
}

TEST_F(TransferRun, AppendKeepsFileAndViewAndAddsOnlyWhatArrives) {
  WriteMode = WriteAppend;
  writeFile(csv, "a line of an earlier transfer\n");
  writeFile(rawLog(), "raw log of an earlier transfer\r\n");
  EZ_SETRICHTEXT(MainForm, IdIncomingView, "earlier view text\n", 0, 0);

  // Stop right after Start: the file is closed with nothing added.
  startTransfer();
  EXPECT_EQ(fileContent(rawLog()), "") << "the raw log holds the last transfer only";
  clickStop();
  expectControlsGivenBack();
  EXPECT_EQ(fileContent(csv), "a line of an earlier transfer\n");
  EXPECT_EQ(view(), "earlier view text\n");

  writeFile(rawLog(), "raw log written in between\r\n");
  startTransfer();
  EXPECT_EQ(fileContent(rawLog()), "");
  sendRecords(0, 2, "a line of an earlier transfer\n" + csvLines(0, 2));
  EXPECT_TRUE(viewShows("earlier view text\n" + csvLines(0, 2))) << view();
  clickStop();
  EXPECT_EQ(fileContent(csv), "a line of an earlier transfer\n" + csvLines(0, 2));
  EXPECT_EQ(withoutLineEnds(fileContent(rawLog())), withoutLineEnds(instrumentRecords(0, 2)));
}

TEST_F(TransferRun, StartDuringATransferIsRefusedAndTheTransferGoesOn) {
  WriteMode = WriteOverwrite;
  startTransfer();
  sendRecords(0, 2, csvLines(0, 2));
  ASSERT_TRUE(viewShows(csvLines(0, 2)));

  // Ctrl+G does not ask whether a transfer runs.
  DialogAnswer seen = answerNextMessageBox(8000);
  startHandler();
  ASSERT_TRUE(seen->answered);
  EXPECT_EQ(seen->text, "Failed to start communications!");
  EXPECT_EQ(view(), "") << "Overwrite cleared the view before the link refused";
  EXPECT_EQ(fileContent(csv), csvLines(0, 2)) << "the open file is not touched again";
  EXPECT_EQ(instrument->received(), OpeningBytes) << "the port was not opened twice";
  expectTransferControls();

  sendRecords(2, 2, csvLines(0, 4));
  EXPECT_TRUE(viewShows(csvLines(2, 2))) << view();
  clickStop();
  expectControlsGivenBack();
  EXPECT_EQ(fileContent(csv), csvLines(0, 4));
  EXPECT_EQ(withoutLineEnds(fileContent(rawLog())), withoutLineEnds(instrumentRecords(0, 4)));
}

// The output file is a pipe whose reader falls behind, so the worker is still
// writing out a chunk's records when Stop is pressed and long after the stop's
// one-second pause. Every record of every chunk it took must reach the file.
TEST_F(TransferRun, RecordsStillBeingWrittenWhenStopIsPressedAreAllWritten) {
  WriteMode = WriteOverwrite;
  csv = program.path() + "slow.csv";
  OutputFileName = csv;
  PipeReader reader(csv);
  const size_t capacity = reader.shrink();
  ASSERT_GT(capacity, 0u);

  startTransfer();
  ASSERT_TRUE(instrument->send(instrumentRecords(0, 200)));
  const size_t lineSize = csvLines(0, 1).size();
  // The pipe is full and the worker holds records of a chunk it has logged.
  auto recordsTaken = [&] { return countOf(withoutLineEnds(fileContent(rawLog())), "Feet"); };
  ASSERT_TRUE(waitUntil(
      [&] {
        return reader.unread() + lineSize > capacity &&
               recordsTaken() > reader.unread() / lineSize + 10;
      },
      8000))
      << "unread " << reader.unread() << ", taken " << recordsTaken();

  std::thread slowReader([&] {
    // Stop sets the dot counter to -1 as it begins.
    while (DotCount.load() != -1) std::this_thread::sleep_for(5ms);
    std::this_thread::sleep_for(1500ms);  // well past the stop's pause
    reader.readToEnd(20s);
  });
  {
    CallWatchdog watchdog(30s);
    clickStop();
  }
  slowReader.join();

  expectControlsGivenBack();
  const size_t taken = recordsTaken();
  EXPECT_GT(taken, capacity / lineSize + 10);
  EXPECT_EQ(countOf(reader.got(), "\n"), taken) << "records taken from the line but not written";
  EXPECT_TRUE(reader.got() == csvLines(0, static_cast<int>(taken))) << "records altered";
}

// The reader of the pipe standing for the output file goes away mid-transfer:
// the lines written after that are lost, and the user is told so after Stop.
TEST_F(TransferRun, OutputFileFailingMidTransferIsReportedAfterStop) {
  WriteMode = WriteAppend;
  csv = program.path() + "failing.csv";
  OutputFileName = csv;
  PipeReader reader(csv);

  startTransfer();
  ASSERT_TRUE(instrument->send(instrumentRecords(0, 3)));
  ASSERT_TRUE(waitUntil(
      [&] {
        reader.readAvailable();
        return reader.got() == csvLines(0, 3);
      },
      8000))
      << reader.got();
  reader.closeReader();

  ASSERT_TRUE(instrument->send(instrumentRecords(3, 2)));
  // Lines the file refused are still shown and counted.
  EXPECT_TRUE(viewShows(csvLines(0, 5))) << view();
  EXPECT_TRUE(waitUntil([] { return LostRecordCount.load() == 2; }, 8000));
  EXPECT_EQ(RecordCount.load(), 6);

  DialogAnswer seen = clickStopAnsweringMessage();
  ASSERT_TRUE(seen->answered);
  EXPECT_EQ(seen->text,
            "Not all records were saved! 2 record line(s) could not be written to "
            "file:\n" +
                csv);
  expectControlsGivenBack();
  EXPECT_EQ(LostRecordCount.load(), 0);
}

TEST_F(TransferRun, RawLogGoesToTheUsersDataFolderWhenTheProgramFolderIsReadOnly) {
  ChoiceTempFolder dataHome;
  ChoiceTempFolder documents;
  setenv("XDG_DATA_HOME", dataHome.path().c_str(), 1);
  csv = documents.path() + "river.csv";
  OutputFileName = csv;
  ASSERT_TRUE(holdToFolderModes());
  ReadOnlyFolder readOnly(program.path());
  ASSERT_NE(access(program.path().c_str(), W_OK), 0);

  startTransfer();
  sendRecords(0, 2, csvLines(0, 2));
  clickStop();

  EXPECT_FALSE(std::filesystem::exists(rawLog()));
  EXPECT_EQ(withoutLineEnds(fileContent(dataHome.path() + "morvane/Raw.txt")),
            withoutLineEnds(instrumentRecords(0, 2)));
}
