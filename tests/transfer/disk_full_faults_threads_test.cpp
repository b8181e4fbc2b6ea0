// The disk filling up under a running transfer: a small tmpfs holds the
// output file or the raw log, mounted where only the test sees it.
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <string>

#include <gtest/gtest.h>

#include "support/private_mounts.h"
#include "transfer/serial_link.h"
#include "transfer/transfer_files.h"
#include "transfer/transfer_form.h"

namespace {

// Room for some 360 record lines of the test's kind.
constexpr const char* DiskSize = "size=16k";
constexpr int RecordsSent = 600;
constexpr int RecordsAfterFull = 10;

class DiskFull : public TransferFormTest {
 protected:
  // Sends more records than the disk holds, then some more once it is full;
  // the transfer must take them all.
  void sendPastAFullDisk() {
    clickStart();
    ASSERT_EQ(statusPart(StatusOverall), "Waiting for data . . . . . . . . .");
    ASSERT_TRUE(instrument->send(instrumentRecords(0, RecordsSent), std::chrono::seconds(20)));
    ASSERT_TRUE(waitUntil([&] { return viewShowsRecord(RecordsSent - 1); }, 20000));
    ASSERT_TRUE(instrument->send(instrumentRecords(RecordsSent, RecordsAfterFull)));
    ASSERT_TRUE(
        waitUntil([&] { return viewShowsRecord(RecordsSent + RecordsAfterFull - 1); }, 8000))
        << "the transfer stopped taking data once the disk was full";
    EXPECT_EQ(TransferRunning, 1);
    EXPECT_TRUE(linkIsOpen());
  }
  static std::string lastBytes(const std::string& text) {
    return text.substr(text.size() > 120 ? text.size() - 120 : 0);
  }
  bool viewShowsRecord(int i) { return view().ends_with(csvLines(i, 1)); }
  static int total() { return RecordsSent + RecordsAfterFull; }
};

}  // namespace

// The disk under the output file fills: every line it took is in the file
// whole, the raw log keeps every chunk, and Stop tells how many lines are
// missing from which file.
TEST_F(DiskFull, OutputDiskFillingIsToldAndTheFileKeepsEveryLineWrittenBefore) {
  if (!insidePrivateMounts()) return rerunInPrivateMounts();
  const std::string disk = program.path() + "disk";
  mountSmallDisk(disk, DiskSize);
  csv = disk + "/river.csv";
  OutputFileName = csv;
  WriteMode = WriteAppend;
  writeFile(csv, csvLines(900, 2));

  sendPastAFullDisk();
  const int lost = LostRecordCount.load();
  EXPECT_GT(lost, 0) << "the disk never filled";

  DialogAnswer seen = clickStopAnsweringMessage();
  expectControlsGivenBack();
  ASSERT_TRUE(seen->answered) << "the user was not told";
  EXPECT_EQ(seen->text, "Not all records were saved! " + std::to_string(lost) +
                            " record line(s) could not be written to file:\n" + csv);
  // No line is cut short: a later Append would glue its first line onto it.
  const std::string saved = fileContent(csv);
  EXPECT_TRUE(saved == csvLines(900, 2) + csvLines(0, total() - lost))
      << "the file ends with: " << lastBytes(saved);
  EXPECT_TRUE(withoutLineEnds(fileContent(rawLog())) ==
              withoutLineEnds(instrumentRecords(0, total())));
  EXPECT_EQ(OutputFile.load(), -1);
  EXPECT_FALSE(linkIsOpen());
}

// The disk under the raw log fills (the program's folder is on it): the
// output file gets every record, the raw log holds only whole chunks, and
// Stop tells that chunks are missing from it.
TEST_F(DiskFull, RawLogDiskFillingIsToldAndTheOutputFileGetsEveryRecord) {
  if (!insidePrivateMounts()) return rerunInPrivateMounts();
  const std::string disk = program.path() + "disk";
  mountSmallDisk(disk, DiskSize);
  ezSetProgramPath(disk + "/morvane");
  const std::string raw = disk + "/Raw.txt";
  WriteMode = WriteOverwrite;

  sendPastAFullDisk();
  const int lost = LostChunkCount.load();
  EXPECT_GT(lost, 0) << "the disk never filled";

  DialogAnswer seen = clickStopAnsweringMessage();
  expectControlsGivenBack();
  ASSERT_TRUE(seen->answered) << "the user was not told";
  EXPECT_EQ(seen->text, "Not all received data was saved! " + std::to_string(lost) +
                            " chunk(s) could not be written to the raw log:\n" + raw);
  EXPECT_TRUE(fileContent(csv) == csvLines(0, total())) << lastBytes(fileContent(csv));
  const std::string logged = fileContent(raw);
  EXPECT_TRUE(logged.ends_with("\r\n")) << "a chunk was cut short: " << lastBytes(logged);
  // Whole chunks in the order sent; a later chunk small enough for the room
  // left after a cut-back may follow the ones the disk refused.
  const std::string sent = instrumentRecords(0, total());
  size_t from = 0;
  for (size_t at = 0, end; (end = logged.find("\r\n", at)) != std::string::npos; at = end + 2) {
    const size_t found = sent.find(logged.substr(at, end - at), from);
    ASSERT_NE(found, std::string::npos) << "not a chunk as sent, at byte " << at;
    from = found + (end - at);
  }
}

// Room comes back (another file deleted) after the disk refused part of a
// line: the cut-back took the fragment out, and the next line must follow the
// last whole one at once, with no gap of NUL bytes where the fragment was.
TEST(DiskFullThenRoom, TheNextWriteContinuesAtTheCutInBothFilesAndModes) {
  if (!insidePrivateMounts()) return rerunInPrivateMounts();
  struct Case {
    const char* file;
    int (*open)(const std::string& path);
  };
  const Case cases[] = {
      {"output file, Overwrite", [](const std::string& p) { return openOutputFile(p, false); }},
      {"output file, Append", [](const std::string& p) { return openOutputFile(p, true); }},
      {"raw log", [](const std::string& p) { return openRawLog(p); }},
  };
  const std::string disk = ::testing::TempDir() + "room" + std::to_string(getpid());
  int round = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    const std::string folder = disk + std::to_string(round++);
    mountSmallDisk(folder, DiskSize);
    const std::string other = folder + "/other";
    const std::string filler(8192, 'x');
    writeFile(other, filler);
    const int fd = c.open(folder + "/file");
    ASSERT_GE(fd, 0);
    // 37 bytes: never a whole number of pages, so the line that meets the
    // full disk is taken in part before the write fails.
    auto line = [](int i) {
      return "1,12/01/26,10:15:00," + std::to_string(1000 + i) + ",1.20,Feet\n";
    };
    std::string kept;
    int i = 0;
    for (; i < 1000; ++i) {
      if (writeWithin(fd, line(i).data(), line(i).size(), 0) != WriteOutcome::Written) break;
      kept += line(i);
    }
    ASSERT_LT(i, 1000) << "the disk never filled";
    ASSERT_EQ(unlink(other.c_str()), 0);
    ASSERT_EQ(writeWithin(fd, line(i).data(), line(i).size(), 0), WriteOutcome::Written);
    kept += line(i);
    ASSERT_TRUE(closeTransferFile(fd));
    const std::string saved = fileContent(folder + "/file");
    EXPECT_TRUE(saved == kept) << "NUL bytes: " << std::count(saved.begin(), saved.end(), '\0')
                               << ", size " << saved.size() << " for " << kept.size();
  }
}
