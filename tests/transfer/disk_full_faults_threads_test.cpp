// The disk filling up under a running transfer: a small tmpfs holds the
// output file or the raw log. Mounting needs root and a mount namespace of
// the test's own, so that nothing outside the test ever sees the mount:
// each test runs itself again under `unshare -m` and mounts there.
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "transfer/serial_link.h"
#include "transfer/transfer_form.h"

namespace {

constexpr const char* InsideVariable = "MORVANE_TEST_PRIVATE_MOUNTS";
// Room for some 360 record lines of the test's kind.
constexpr const char* DiskSize = "size=16k";
constexpr int RecordsSent = 600;
constexpr int RecordsAfterFull = 10;

bool insidePrivateMounts() {
  return std::getenv(InsideVariable) != nullptr;
}

std::string currentTestName() {
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  return std::string(info->test_suite_name()) + "." + info->name();
}

bool unshareFound() {
  return std::system("command -v unshare >/dev/null 2>&1") == 0;
}

// Runs the current test again in a private mount namespace and fails when
// that run does; its output is passed on.
void rerunInPrivateMounts() {
  if (geteuid() != 0) GTEST_SKIP() << "mounting the small disk needs root";
  if (!unshareFound()) GTEST_SKIP() << "unshare(1) is not installed";
  const std::string command = std::string(InsideVariable) + "=1 unshare -m /proc/" +
                              std::to_string(getpid()) +
                              "/exe --gtest_filter=" + currentTestName() + " 2>&1";
  FILE* run = popen(command.c_str(), "r");
  ASSERT_NE(run, nullptr);
  std::string output;
  char buffer[4096];
  for (size_t n; (n = fread(buffer, 1, sizeof buffer, run)) > 0;) output.append(buffer, n);
  const int status = pclose(run);
  ASSERT_TRUE(WIFEXITED(status)) << output;
  if (output.find("[  SKIPPED ]") != std::string::npos) GTEST_SKIP() << output;
  EXPECT_TRUE(WEXITSTATUS(status) == 0 && output.find("[  PASSED  ] 1 test") != std::string::npos)
      << output;
}

class DiskFull : public TransferFormTest {
 protected:
  // A fresh small disk at `folder` (made here), seen only by this process.
  static void mountSmallDisk(const std::string& folder) {
    ASSERT_EQ(mkdir(folder.c_str(), 0755), 0);
    ASSERT_EQ(mount("tmpfs", folder.c_str(), "tmpfs", 0, DiskSize), 0)
        << "cannot mount a tmpfs: " << std::strerror(errno);
  }

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
  mountSmallDisk(disk);
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
// output file gets every record, the raw log ends with the last chunk it
// took whole, and Stop tells that chunks are missing from it.
TEST_F(DiskFull, RawLogDiskFillingIsToldAndTheOutputFileGetsEveryRecord) {
  if (!insidePrivateMounts()) return rerunInPrivateMounts();
  const std::string disk = program.path() + "disk";
  mountSmallDisk(disk);
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
  EXPECT_TRUE(withoutLineEnds(instrumentRecords(0, total())).starts_with(withoutLineEnds(logged)));
}
