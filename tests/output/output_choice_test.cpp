// Choosing the output file through the real save dialog and by typing, and
// the write mode, as the main window shows them.
#include "output/output_choice.h"

#include <unistd.h>

#include <climits>
#include <filesystem>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "output/output_state.h"
#include "ports/port_state.h"
#include "support/choice_form.h"
#include "support/pty_instrument.h"
#include "transfer/transfer_state.h"

namespace {

std::string withoutSlash(const std::string& folder) {
  return folder.substr(0, folder.size() - 1);
}

class OutputChoiceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    makeChoiceForm();
    SettingsPath = temp.path() + "MorvTran.ini";
  }
  // A scan that finds COM 3 and chooses it, as at start-up with it saved.
  void choosePort() {
    instrument = std::make_unique<PtyInstrument>(ports, 3);
    SavedPortNumber = 3;
    scanPorts();
    ASSERT_EQ(ChosenPortIndex, 1);
  }
  bool enabled(int id) { return ezIsEnabled(MainForm, id); }

  ChoiceTempFolder temp;
  PortFolder ports;
  std::unique_ptr<PtyInstrument> instrument;
};

}  // namespace

TEST_F(OutputChoiceTest, DialogChoiceIsShownAndRemembered) {
  const std::string folder = temp.folder("data");
  DialogAnswer seen = chooseFileInDialog(folder + "river.csv");
  ASSERT_TRUE(seen->answered);
  EXPECT_EQ(seen->title, "Select Data File");
  EXPECT_EQ(seen->nameFilters, (std::vector<std::string>{"Comma Separated Values (*.csv)",
                                                         "Text Files (*.txt)", "All Files (*)"}));
  EXPECT_EQ(seen->defaultSuffix, "csv");

  EXPECT_EQ(OutputFileName, folder + "river.csv");
  EXPECT_EQ(ezText(MainForm, IdFileNameBox), folder + "river.csv");
  EXPECT_EQ(statusPart(StatusFile), "Output file: river");
  EXPECT_EQ(LastFolder, folder);
  EXPECT_EQ(FileChosen, 1);
  // No port yet.
  EXPECT_EQ(statusPart(StatusOverall), "Not Ready");
  EXPECT_FALSE(enabled(IdStartButton));
  EXPECT_FALSE(enabled(IdStopButton));
}

TEST_F(OutputChoiceTest, FirstDialogStartsInTheCurrentDirectoryLaterOnesInTheLastFolder) {
  const std::string start = temp.folder("start");
  const std::string first = temp.folder("first");
  const std::string second = temp.folder("second");
  ASSERT_EQ(chdir(start.c_str()), 0);

  DialogAnswer seen = chooseFileInDialog(first + "river.csv");
  ASSERT_TRUE(seen->answered);
  EXPECT_EQ(seen->directory, withoutSlash(start));
  EXPECT_EQ(seen->proposedName, "");

  seen = chooseFileInDialog(second + "run:2.csv");
  ASSERT_TRUE(seen->answered);
  EXPECT_EQ(seen->directory, withoutSlash(first));
  EXPECT_EQ(seen->proposedName, "river.csv");
  EXPECT_EQ(statusPart(StatusFile), "Output file: run:2");
  EXPECT_EQ(LastFolder, second);

  seen = chooseFileInDialog(second + "again.csv");
  ASSERT_TRUE(seen->answered);
  EXPECT_EQ(seen->directory, withoutSlash(second));
}

TEST_F(OutputChoiceTest, CancelKeepsTheFileTextAndTurnsStartAndStopOff) {
  choosePort();
  const std::string folder = temp.folder("data");
  ASSERT_TRUE(chooseFileInDialog(folder + "river.csv")->answered);
  ASSERT_EQ(statusPart(StatusOverall), "Ready To Start");
  ASSERT_TRUE(enabled(IdStartButton));
  EZ_ENABLEC(MainForm, IdStopButton);

  ASSERT_TRUE(cancelFileDialog()->answered);
  EXPECT_EQ(ezText(MainForm, IdFileNameBox), "");
  EXPECT_EQ(OutputFileName, "");
  EXPECT_EQ(FileChosen, 0);
  EXPECT_EQ(statusPart(StatusFile), "Output file: river");
  EXPECT_EQ(statusPart(StatusOverall), "Not Ready");
  EXPECT_FALSE(enabled(IdStartButton));
  EXPECT_FALSE(enabled(IdStopButton));

  // The folder is kept; the name is not proposed again.
  DialogAnswer seen = cancelFileDialog();
  ASSERT_TRUE(seen->answered);
  EXPECT_EQ(seen->directory, withoutSlash(folder));
  EXPECT_EQ(seen->proposedName, "");
}

TEST_F(OutputChoiceTest, DialogDuringATransferLeavesStartAndStopToTheTransfer) {
  choosePort();
  // What the transfer start leaves.
  TransferRunning = 1;
  EZ_DISABLEC(MainForm, IdStartButton);
  EZ_ENABLEC(MainForm, IdStopButton);
  const std::string waiting = "Waiting for data . . . . . . . . .";
  EZ_SETSBTEXT(MainForm, IdStatusBar, StatusOverall, waiting, "P");

  ASSERT_TRUE(chooseFileInDialog(temp.path() + "next.csv")->answered);
  EXPECT_EQ(FileChosen, 1);
  EXPECT_EQ(statusPart(StatusFile), "Output file: next");
  EXPECT_EQ(statusPart(StatusOverall), waiting) << "part 1 is the transfer's";
  EXPECT_FALSE(enabled(IdStartButton));
  EXPECT_TRUE(enabled(IdStopButton));

  ASSERT_TRUE(cancelFileDialog()->answered);
  EXPECT_EQ(FileChosen, 0);
  EXPECT_EQ(statusPart(StatusOverall), waiting);
  EXPECT_TRUE(enabled(IdStopButton)) << "the running transfer must stay stoppable";
}

TEST_F(OutputChoiceTest, TypedNameChangesTheTextsButNeverEnablesStart) {
  typeFileName("a.csv");
  EXPECT_EQ(OutputFileName, "a.csv");
  EXPECT_EQ(statusPart(StatusFile), "Output file: a");
  EXPECT_EQ(statusPart(StatusOverall), "Ready");
  EXPECT_EQ(FileChosen, 0);
  EXPECT_FALSE(enabled(IdStartButton));

  typeFileName("/x/log");
  EXPECT_EQ(statusPart(StatusFile), "Output file: log");

  // Five bytes, four characters.
  typeFileName("\xc3\xa9.cs");
  EXPECT_EQ(statusPart(StatusOverall), "Not Ready");
  EXPECT_EQ(statusPart(StatusFile), "Output file: log");
}

TEST_F(OutputChoiceTest, ShortTypedNameDropsTheDialogChoiceButLeavesStart) {
  choosePort();
  ASSERT_TRUE(chooseFileInDialog(temp.path() + "river.csv")->answered);
  ASSERT_TRUE(enabled(IdStartButton));

  typeFileName("abcd");
  EXPECT_EQ(OutputFileName, "abcd");
  EXPECT_EQ(FileChosen, 0);
  EXPECT_EQ(statusPart(StatusOverall), "Not Ready");
  EXPECT_EQ(statusPart(StatusFile), "Output file: river");
  EXPECT_TRUE(enabled(IdStartButton));

  // A typed name replaces the file but does not count as chosen.
  typeFileName(temp.path() + "typed.csv");
  EXPECT_EQ(OutputFileName, temp.path() + "typed.csv");
  EXPECT_EQ(FileChosen, 0);
  EXPECT_EQ(statusPart(StatusFile), "Output file: typed");
  EXPECT_EQ(statusPart(StatusOverall), "Ready");
}

TEST_F(OutputChoiceTest, TypedPathPastThePathLimitShowsNoName) {
  const std::string tooLong = "/" + std::string(PATH_MAX, 'd') + "/lo";
  EZ_SETTEXT(MainForm, IdFileNameBox, tooLong);
  QWidget* box = choiceControl(IdFileNameBox);
  box->setFocus();
  pressKey(box, Qt::Key_End);
  typeText(box, "g");
  EXPECT_EQ(OutputFileName, tooLong + "g");
  EXPECT_EQ(statusPart(StatusFile), "Output file: ");
  EXPECT_EQ(statusPart(StatusOverall), "Ready");
}

TEST_F(OutputChoiceTest, EachWriteModeButtonSetsBothCheckMarks) {
  EZ_ENABLEC(MainForm, IdStartButton);
  const std::string overall = statusPart(StatusOverall);

  clickWidget(choiceControl(IdOverwriteRadio));
  EXPECT_EQ(WriteMode, WriteOverwrite);
  EXPECT_TRUE(ezIsChecked(MainForm, IdOverwriteRadio));
  EXPECT_FALSE(ezIsChecked(MainForm, IdAppendRadio));

  clickWidget(choiceControl(IdAppendRadio));
  EXPECT_EQ(WriteMode, WriteAppend);
  EXPECT_TRUE(ezIsChecked(MainForm, IdAppendRadio));
  EXPECT_FALSE(ezIsChecked(MainForm, IdOverwriteRadio));

  // A click on the checked one keeps it checked.
  clickWidget(choiceControl(IdAppendRadio));
  EXPECT_EQ(WriteMode, WriteAppend);
  EXPECT_TRUE(ezIsChecked(MainForm, IdAppendRadio));
  EXPECT_FALSE(ezIsChecked(MainForm, IdOverwriteRadio));

  EXPECT_EQ(statusPart(StatusOverall), overall);
  EXPECT_TRUE(ezIsEnabled(MainForm, IdStartButton));
}
