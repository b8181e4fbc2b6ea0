// The main window's keyboard commands and their guards, the port list's
// drop-down trace, and what closing the window leaves behind.
#include <gtest/gtest.h>
#include <QAbstractItemView>
#include <QComboBox>
#include <QPlainTextEdit>

#include "output/output_state.h"
#include "ports/port_state.h"
#include "support/main_window.h"
#include "transfer/transfer_state.h"

namespace {

TEST(MainWindowKeys, CtrlFChoosesTheFileThroughTheDialog) {
  MainWindowProgram program;
  program.addPort(3);
  program.start();
  const std::string path = program.folder.path() + "river.csv";
  DialogAnswer seen = program.chooseFile(path);
  ASSERT_TRUE(seen->answered);
  EXPECT_EQ(seen->title, "Select Data File");
  EXPECT_EQ(FileChosen, 1);
  EXPECT_EQ(ezText(MainForm, IdFileNameBox), path);
  EXPECT_EQ(program.status(StatusFile), "Output file: river");
}

TEST(MainWindowKeys, CtrlGNeedsADialogChosenFileAndAChosenPort) {
  MainWindowProgram program;
  program.addPort(3);
  program.start();
  // A start would show a message box; arm an answer so the test would see it.
  DialogAnswer message = answerNextMessageBox(1500);

  // A file but no port.
  ASSERT_TRUE(program.chooseFile(program.folder.path() + "a.csv")->answered);
  program.ctrl(Qt::Key_G);
  EXPECT_EQ(TransferRunning, 0);

  // A port but only a typed name, after the dialog was cancelled.
  DialogAnswer cancelled = cancelNextSaveDialog();
  program.ctrl(Qt::Key_F);
  ASSERT_TRUE(cancelled->answered);
  pickListItem(0);
  ASSERT_EQ(ChosenPortIndex, 1);
  typeFileName(program.folder.path() + "typed.csv");
  ASSERT_EQ(program.status(StatusOverall), "Ready");
  EXPECT_EQ(FileChosen, 0);
  program.ctrl(Qt::Key_G);
  EXPECT_EQ(TransferRunning, 0);
  processEventsFor(1600);
  EXPECT_FALSE(message->answered);
}

TEST(MainWindowKeys, CtrlZOutsideATransferDoesNothing) {
  MainWindowProgram program;
  program.addPort(3);
  program.start();
  program.ctrl(Qt::Key_Z);
  EXPECT_EQ(TransferStopped, 0);
  EXPECT_EQ(program.status(StatusOverall), "Not Ready") << "no \"Ready To Start\" from a stop";
  EXPECT_FALSE(program.enabled(IdStartButton));
}

TEST(MainWindowKeys, CtrlXWithoutATransferOnlyClosesTheWindow) {
  MainWindowProgram program;
  program.start();
  ASSERT_EQ(EZ_ISFORM(MainForm, "E"), 1);
  program.ctrl(Qt::Key_X);
  EXPECT_EQ(EZ_ISFORM(MainForm, "E"), 0);
  EXPECT_EQ(TransferStopped, 0) << "no stop sequence ran";
  EXPECT_FALSE(ezThreadRunning(MainFormName)) << "the form's thread closed with it";
}

TEST(MainWindowKeys, CtrlPDropsDownTheFocusedPortList) {
  MainWindowProgram program;
  program.addPort(3);
  program.addPort(4);
  program.start();
  program.ctrl(Qt::Key_P);
  auto* combo = qobject_cast<QComboBox*>(program.control(IdPortList));
  ASSERT_NE(combo, nullptr);
  EXPECT_TRUE(waitUntil([&] { return combo->view()->isVisible(); }));
  combo->hidePopup();
  EXPECT_EQ(program.window()->focusWidget(), combo) << "the list has the window's focus";
}

TEST(MainWindowKeys, CtrlRAndRefreshFindPortsThatCameLater) {
  MainWindowProgram program;
  program.addPort(3);
  program.start();
  program.addPort(8);
  program.ctrl(Qt::Key_R);
  EXPECT_EQ(ezListItems(MainForm, IdPortList), (std::vector<std::string>{"COM 3", "COM 8"}));
  program.addPort(9);
  clickWidget(program.control(IdRefreshButton));
  EXPECT_EQ(ezListItems(MainForm, IdPortList),
            (std::vector<std::string>{"COM 3", "COM 8", "COM 9"}));
}

TEST(MainWindowKeys, F1OpensTheHelpWindowOverTheMainWindow) {
  MainWindowProgram program;
  program.start();
  typeKey(Qt::Key_F1);
  ASSERT_EQ(EZ_ISFORM(HelpFormName, "E"), 1);
  EXPECT_EQ(ezText(HelpFormName, IdFormItself), "Morvane Transfer Utility Help");
  // The help window goes with the main window.
  EZ_UNLOADFORM(MainForm);
  EXPECT_EQ(EZ_ISFORM(HelpFormName, "E"), 0);
}

TEST(MainWindowKeys, ListDroppingDownIsTracedAndTheTraceGoesWithTheWindow) {
  MainWindowProgram program;
  program.addPort(3);
  program.start();
  EXPECT_EQ(EZ_ISFORM(DebugFormName, "E"), 0);
  ezSendEvent(MainFormName, IdPortList, EzListDropsDown, 0);
  ASSERT_EQ(EZ_ISFORM(DebugFormName, "E"), 1);
  EXPECT_EQ(EZ_GETTEXT(DebugFormName, 100), "Dropping\r\n");

  EZ_UNLOADFORM(MainForm);
  EXPECT_EQ(EZ_ISFORM(DebugFormName, "E"), 0);
}

}  // namespace
