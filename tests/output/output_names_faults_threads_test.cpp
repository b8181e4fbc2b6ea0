// Output file names a user may well choose: blanks inside and at both ends,
// and paths thousands of characters long. Each is chosen through the real
// save dialog of the running program, a transfer from a pseudo-terminal
// instrument goes to it, and the file at exactly that path holds the
// records; a path longer than the system takes is refused with the
// program's message instead.
#include <unistd.h>

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <climits>
#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "output/output_state.h"
#include "support/main_window.h"
#include "transfer/transfer_state.h"

namespace {

const std::string Record = "1,12/01/26,10:15:00,0.0,1.20,0.45,0,Feet\r\n";
const std::string RecordLine = "1,12/01/26,10:15:00,0.0,1.20,0.45,0,Feet\n";

// A path of exactly `length` characters below `folder`: folders of 200
// characters, as deep as needed, then the file's name. The folders are made
// as far as the system lets them be.
std::string pathOfLength(const std::string& folder, size_t length) {
  std::string path = folder;
  while (length - path.size() > 210) path += std::string(200, 'd') + "/";
  std::error_code tooLong;
  std::filesystem::create_directories(path, tooLong);
  const size_t nameLength = length - path.size();
  return path + std::string(nameLength - 4, 'r') + ".csv";
}

class OutputNames : public ::testing::Test {
 protected:
  void SetUp() override {
    instrument = &program.addPort(3);
    program.start();
  }
  void TearDown() override {
    if (TransferRunning == 1) clickWidget(program.control(IdStopButton));
  }

  // Ctrl+F, then the path pasted into the dialog's name field, as one enters
  // a path thousands of characters long.
  void choose(const std::string& path) {
    const auto paste = [path](QWidget& dialog) {
      auto* name = dialog.findChild<QLineEdit*>("fileNameEdit");
      if (!name) return;
      QApplication::clipboard()->setText(QString::fromStdString(path));
      name->setFocus();
      name->selectAll();
      pressKey(name, Qt::Key_V, Qt::ControlModifier);
    };
    DialogAnswer seen = answerNextSaveDialog("", 5000, paste);
    program.ctrl(Qt::Key_F);
    // The user goes on once the window has the keyboard back.
    program.waitUntilActive();
    ASSERT_TRUE(seen->answered);
    ASSERT_EQ(OutputFileName, path);
    pickListItem(0);
    ASSERT_TRUE(program.enabled(IdStartButton));
  }
  // A transfer of one record into the chosen file.
  void transferOneRecord(const std::string& path) {
    clickWidget(program.control(IdStartButton));
    ASSERT_EQ(program.status(StatusOverall), "Waiting for data . . . . . . . . .");
    ASSERT_TRUE(instrument->send(Record));
    EXPECT_TRUE(waitUntil([&] { return fileContent(path) == RecordLine; }));
    clickWidget(program.control(IdStopButton));
    EXPECT_EQ(program.status(StatusOverall), "Ready To Start");
    EXPECT_EQ(fileContent(path), RecordLine);
  }

  MainWindowProgram program;
  PtyInstrument* instrument = nullptr;
};

}  // namespace

TEST_F(OutputNames, BlanksInTheFolderAndAroundTheNameAreKept) {
  const std::string folder = program.folder.folder("field data 2026");
  const std::string path = folder + " river  run .csv";
  choose(path);
  EXPECT_EQ(program.status(StatusFile), "Output file:  river  run ");
  EXPECT_EQ(LastFolder, folder);
  transferOneRecord(path);
  EXPECT_FALSE(std::filesystem::exists(folder + "river  run .csv"));
  EXPECT_FALSE(std::filesystem::exists(folder + " river  run.csv"));
}

TEST_F(OutputNames, FourThousandCharacters) {
  const std::string path = pathOfLength(program.folder.path(), 4000);
  ASSERT_EQ(path.size(), 4000u);
  const std::string folder = path.substr(0, path.rfind('/') + 1);
  choose(path);
  EXPECT_EQ(program.status(StatusFile),
            "Output file: " + std::string(4000 - folder.size() - 4, 'r'));
  EXPECT_EQ(LastFolder, folder);
  EXPECT_EQ(ezText(MainForm, IdFileNameBox), path);
  transferOneRecord(path);

  DialogAnswer next = cancelNextSaveDialog();
  program.ctrl(Qt::Key_F);
  ASSERT_TRUE(next->answered);
  EXPECT_EQ(next->directory + "/", folder) << "the next dialog starts in its folder";
}

TEST_F(OutputNames, PathLongerThanTheSystemTakesIsRefusedAtStart) {
  const std::string path = pathOfLength(program.folder.path(), PATH_MAX + 100);
  choose(path);
  // Too long to name in the status bar, and no folder to start in next time.
  EXPECT_EQ(program.status(StatusFile), "Output file: ");
  EXPECT_EQ(LastFolder, "");
  DialogAnswer seen = answerNextMessageBox();
  clickWidget(program.control(IdStartButton));
  ASSERT_TRUE(seen->answered);
  EXPECT_EQ(seen->text, "An error occured while opening file:\n" + path);
  // As with any file that cannot be opened: Stop gives the window back.
  EXPECT_FALSE(program.enabled(IdStartButton));
  ASSERT_TRUE(program.enabled(IdStopButton));
  clickWidget(program.control(IdStopButton));
  EXPECT_EQ(program.status(StatusOverall), "Ready To Start");
  EXPECT_TRUE(program.enabled(IdStartButton));

  char here[PATH_MAX];
  ASSERT_NE(getcwd(here, sizeof here), nullptr);
  DialogAnswer next = cancelNextSaveDialog();
  program.ctrl(Qt::Key_F);
  ASSERT_TRUE(next->answered);
  EXPECT_EQ(next->directory, here) << "the next dialog starts in the current directory";
}
