// Starts that fail, on the real form with a pseudo-terminal as the port:
// the port held by another program, an output file that cannot be opened;
// and where the program keeps its raw log.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "app/program_folder.h"
#include "transfer/serial_link.h"
#include "transfer/transfer_form.h"

namespace {

const std::string OpeningBytes("\x00\x0D\x0A", 3);

class TransferStartFailure : public TransferFormTest {
 protected:
  void SetUp() override {
    TransferFormTest::SetUp();
    WriteMode = WriteOverwrite;
    writeFile(csv, "a line of an earlier transfer\n");
    writeFile(rawLog(), "raw log of an earlier transfer\r\n");
    EZ_SETRICHTEXT(MainForm, IdIncomingView, "earlier view text", 0, 0);
  }

  // A start that cannot open `name`: the message names the file after a line
  // break, the port was opened (the instrument heard the opening bytes) and
  // closed again, and the raw log and worker were never reached.
  void expectOutputFileRefused(const std::string& name) {
    DialogAnswer seen = clickStartAnsweringMessage();
    ASSERT_TRUE(seen->answered);
    EXPECT_EQ(seen->text, "An error occured while opening file:\n" + name);
    EXPECT_EQ(seen->buttons, std::vector<std::string>{"OK"});
    EXPECT_FALSE(seen->hasIcon);
    EXPECT_TRUE(seen->applicationModal);
    EXPECT_FALSE(seen->hasOwner);
    EXPECT_EQ(instrument->received(), OpeningBytes);
    EXPECT_FALSE(linkIsOpen());
    EXPECT_TRUE(lockableByAnotherProgram(instrument->devicePath())) << "the port was given back";
    EXPECT_EQ(OutputFile.load(), -1);
    EXPECT_EQ(RawLog.load(), -1);
    EXPECT_EQ(fileContent(rawLog()), "raw log of an earlier transfer\r\n");
    expectTransferControls();
  }
};

}  // namespace

TEST_F(TransferStartFailure, PortHeldElsewhereIsReportedAndStopGivesTheWindowBack) {
  PortHolder otherProgram(instrument->devicePath(), HoldKind::Flock);

  DialogAnswer seen = clickStartAnsweringMessage();
  ASSERT_TRUE(seen->answered);
  EXPECT_EQ(seen->text, "Failed to start communications!");
  EXPECT_EQ(seen->buttons, std::vector<std::string>{"OK"});
  EXPECT_FALSE(seen->hasIcon);
  EXPECT_TRUE(seen->applicationModal);
  EXPECT_FALSE(seen->hasOwner);
  // Nothing got past the port: no bytes on the line, both files as they were.
  EXPECT_EQ(instrument->received(), "");
  EXPECT_EQ(fileContent(csv), "a line of an earlier transfer\n");
  EXPECT_EQ(fileContent(rawLog()), "raw log of an earlier transfer\r\n");
  EXPECT_TRUE(lockableByAnotherProgram(csv));
  // The handler had cleared the view (Overwrite) before the port refused.
  EXPECT_EQ(view(), "");
  EXPECT_EQ(statusPart(StatusOverall), "Ready to start") << "as it was before Start";
  expectTransferControls();
  EXPECT_EQ(TransferRunning, 1);

  clickStop();
  expectControlsGivenBack();
  EXPECT_EQ(TransferRunning, 0);
  EXPECT_EQ(TransferStopped, 1);
  EXPECT_EQ(fileContent(csv), "a line of an earlier transfer\n");
}

TEST_F(TransferStartFailure, OutputFileInAMissingFolder) {
  const std::string name = program.path() + "no such folder/river.csv";
  OutputFileName = name;
  expectOutputFileRefused(name);

  clickStop();
  expectControlsGivenBack();
  EXPECT_EQ(fileContent(name), "<none>");
}

TEST_F(TransferStartFailure, OutputFileLockedByAnotherProgramIsNeitherEmptiedNorWritten) {
  PortHolder spreadsheet(csv, HoldKind::Flock);
  expectOutputFileRefused(csv);
  EXPECT_EQ(fileContent(csv), "a line of an earlier transfer\n");
}

TEST_F(TransferStartFailure, NamedPipeThatNobodyReadsIsRefusedWithoutHanging) {
  const std::string name = program.path() + "pipe.csv";
  ASSERT_EQ(mkfifo(name.c_str(), 0600), 0);
  OutputFileName = name;
  CallWatchdog watchdog(std::chrono::seconds(20));
  expectOutputFileRefused(name);
}

// ---- where the raw log goes ----

class RawLogFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("HOME", home.path().c_str(), 1);
    setenv("XDG_DATA_HOME", (xdg.path() + "data").c_str(), 1);
  }
  ChoiceTempFolder programFolder;
  ChoiceTempFolder home;
  ChoiceTempFolder xdg;
};

TEST_F(RawLogFolder, WritableProgramFolderHoldsTheRawLog) {
  ezSetProgramPath(programFolder.path() + "morvane");
  EXPECT_EQ(rawLogPath(), programFolder.path() + "Raw.txt");
  const std::string bare = programFolder.path().substr(0, programFolder.path().size() - 1);
  EXPECT_EQ(dataFolderFor(bare), programFolder.path());
  EXPECT_FALSE(std::filesystem::exists(xdg.path() + "data")) << "nothing made elsewhere";
}

TEST_F(RawLogFolder, ReadOnlyProgramFolderFallsBackToTheUsersDataFolder) {
  ASSERT_TRUE(holdToFolderModes());
  ReadOnlyFolder readOnly(programFolder.path());
  ASSERT_NE(access(programFolder.path().c_str(), W_OK), 0) << "the folder must refuse writes";
  ezSetProgramPath(programFolder.path() + "morvane");

  const std::string expected = xdg.path() + "data/morvane/";
  EXPECT_EQ(rawLogPath(), expected + "Raw.txt");
  struct stat made {};
  ASSERT_EQ(stat(expected.c_str(), &made), 0) << "the folder is made on the way";
  EXPECT_EQ(made.st_mode & 0777, 0700u);

  // A relative XDG_DATA_HOME is not used; neither is an empty one.
  setenv("XDG_DATA_HOME", "relative/data", 1);
  EXPECT_EQ(dataFolderFor(programFolder.path()), home.path() + ".local/share/morvane/");
  unsetenv("XDG_DATA_HOME");
  EXPECT_EQ(dataFolderFor(programFolder.path()), home.path() + ".local/share/morvane/");
  EXPECT_TRUE(std::filesystem::is_directory(home.path() + ".local/share/morvane"));
}
