// Files a transfer cannot have: the output file's folder without write
// permission, an output path naming a folder, and no writable place at all
// for the raw log. The test drops root's privilege to write anywhere, so
// folder modes hold for it as for an ordinary user.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "transfer/serial_link.h"
#include "transfer/transfer_form.h"

namespace {

const std::string OpeningBytes("\x00\x0D\x0A", 3);

class FileAccess : public TransferFormTest {
 protected:
  void SetUp() override {
    TransferFormTest::SetUp();
    ASSERT_TRUE(holdToFolderModes());
  }

  // Start is refused with the message naming `name`, after the port was
  // opened and given back, and before the raw log or a worker; Stop then
  // gives the window back.
  void expectOutputFileRefused(const std::string& name) {
    OutputFileName = name;
    DialogAnswer seen = clickStartAnsweringMessage();
    ASSERT_TRUE(seen->answered);
    EXPECT_EQ(seen->text, "An error occured while opening file:\n" + name);
    EXPECT_EQ(instrument->received(), OpeningBytes);
    EXPECT_FALSE(linkIsOpen());
    EXPECT_EQ(OutputFile.load(), -1);
    EXPECT_EQ(RawLog.load(), -1);
    EXPECT_FALSE(std::filesystem::exists(rawLog()));
    expectTransferControls();
    clickStop();
    expectControlsGivenBack();
  }
};

}  // namespace

TEST_F(FileAccess, OutputFolderWithoutWritePermissionIsReportedAtStart) {
  const std::string folder = program.path() + "read-only";
  ASSERT_EQ(mkdir(folder.c_str(), 0755), 0);
  ReadOnlyFolder readOnly(folder);
  ASSERT_NE(access(folder.c_str(), W_OK), 0) << "the folder must refuse writes";
  expectOutputFileRefused(folder + "/river.csv");
  EXPECT_FALSE(std::filesystem::exists(folder + "/river.csv"));
}

TEST_F(FileAccess, OutputPathNamingAFolderIsReportedAtStart) {
  const std::string folder = program.path() + "survey.csv";
  ASSERT_EQ(mkdir(folder.c_str(), 0755), 0);
  expectOutputFileRefused(folder);
  EXPECT_TRUE(std::filesystem::is_empty(folder));
}

// Neither the program's folder nor the user's data area takes the raw log:
// the transfer runs without one, and every record still reaches the CSV.
TEST_F(FileAccess, NoWritableDataFolderLeavesTheTransferRunningWithoutARawLog) {
  ChoiceTempFolder dataHome;
  setenv("XDG_DATA_HOME", dataHome.path().c_str(), 1);
  ChoiceTempFolder documents;
  csv = documents.path() + "river.csv";
  OutputFileName = csv;
  ReadOnlyFolder programFolder(program.path());
  ReadOnlyFolder dataArea(dataHome.path());
  ASSERT_NE(access(program.path().c_str(), W_OK), 0);
  ASSERT_NE(access(dataHome.path().c_str(), W_OK), 0);

  clickStart();
  ASSERT_EQ(statusPart(StatusOverall), "Waiting for data . . . . . . . . .");
  EXPECT_EQ(RawLog.load(), -1);
  ASSERT_TRUE(instrument->send(instrumentRecords(0, 5)));
  EXPECT_TRUE(waitUntil([&] { return fileContent(csv) == csvLines(0, 5); }, 8000));
  EXPECT_TRUE(waitUntil([&] { return view() == csvLines(0, 5); }, 8000)) << view();

  DialogAnswer seen = clickStopAnsweringMessage();
  EXPECT_FALSE(seen->answered) << "unexpected message: " << seen->text;
  expectControlsGivenBack();
  EXPECT_EQ(fileContent(csv), csvLines(0, 5));
  EXPECT_FALSE(std::filesystem::exists(rawLog()));
  EXPECT_FALSE(std::filesystem::exists(dataHome.path() + "morvane"));
}
