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

const std::vector<std::pair<int, Qt::KeyboardModifiers>> WindowKeys = {
    {Qt::Key_F1, Qt::NoModifier},     {Qt::Key_P, Qt::ControlModifier},
    {Qt::Key_R, Qt::ControlModifier}, {Qt::Key_G, Qt::ControlModifier},
    {Qt::Key_Z, Qt::ControlModifier}, {Qt::Key_F, Qt::ControlModifier},
    {Qt::Key_D, Qt::ControlModifier}, {Qt::Key_X, Qt::ControlModifier},
};

// What any of the main window's keys would have done, seen from outside.
struct KeysLeftAlone {
  explicit KeysLeftAlone(MainWindowProgram& watched)
      : program(watched), ports(ezListItems(MainForm, IdPortList)) {}
  void check(const std::string& where) {
    EXPECT_EQ(EZ_ISFORM(MainForm, "E"), 1) << where << ": the window was closed";
    auto* combo = qobject_cast<QComboBox*>(program.control(IdPortList));
    EXPECT_TRUE(combo && !combo->view()->isVisible()) << where << ": the port list dropped down";
    EXPECT_EQ(EZ_ISFORM(DebugFormName, "E"), 0) << where << ": a drop-down was traced";
    EXPECT_EQ(ezListItems(MainForm, IdPortList), ports) << where << ": the ports were scanned";
    EXPECT_EQ(TransferRunning, 0) << where << ": a transfer started";
  }
  MainWindowProgram& program;
  std::vector<std::string> ports;
};

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

// Typing a file name, Ctrl+X cuts and Ctrl+Z undoes: the keys belong to the
// dialog, none of them is a command of the window under it.
TEST(MainWindowKeys, NoKeyOfTheWindowActsInTheSaveDialog) {
  MainWindowProgram program;
  program.addPort(3);
  program.start();
  ASSERT_TRUE(program.chooseFile(program.folder.path() + "first.csv")->answered);
  pickListItem(0);
  ASSERT_TRUE(program.enabled(IdStartButton)) << "ready: Ctrl+G would start";
  program.addPort(8);  // a scan would find it
  KeysLeftAlone outcome(program);

  DialogAnswer second;
  const std::string path = program.folder.path() + "second.csv";
  DialogAnswer seen = answerNextSaveDialog(path, 8000, [&](QWidget& dialog) {
    for (const auto& [key, modifiers] : WindowKeys) {
      // A second dialog that opened would be cancelled, and seen.
      if (key == Qt::Key_F) second = cancelNextSaveDialog(1500);
      ASSERT_TRUE(dialog.isAncestorOf(keyboardTarget())) << "the dialog has the keyboard";
      typeKey(key, modifiers);
      outcome.check(QKeySequence(key | modifiers).toString().toStdString());
      EXPECT_EQ(EZ_ISFORM(HelpFormName, "E"), 0) << "F1 opened the help window";
      if (!EZ_ISFORM(MainForm, "E")) return;
    }
  });
  program.ctrl(Qt::Key_F);
  ASSERT_TRUE(seen->answered);
  processEventsFor(100);
  ASSERT_TRUE(second);
  EXPECT_FALSE(second->answered) << "Ctrl+F opened a second dialog inside the first";
  EXPECT_EQ(ezText(MainForm, IdFileNameBox), path) << "the dialog went on as usual";
}

TEST(MainWindowKeys, NoKeyOfTheMainWindowActsInTheHelpWindow) {
  MainWindowProgram program;
  program.addPort(3);
  program.start();
  ASSERT_TRUE(program.chooseFile(program.folder.path() + "first.csv")->answered);
  pickListItem(0);
  program.addPort(8);
  typeKey(Qt::Key_F1);
  QWidget* help = ezWidget(HelpFormName, IdFormItself);
  ASSERT_NE(help, nullptr);
  ASSERT_TRUE(waitUntil([&] { return QApplication::activeWindow() == help; }));
  KeysLeftAlone outcome(program);
  // A dialog that opened would be cancelled, and seen.
  DialogAnswer dialog = cancelNextSaveDialog(1500);
  for (const auto& [key, modifiers] : WindowKeys) {
    ASSERT_EQ(keyboardTarget()->window(), help) << "the help window has the keyboard";
    typeKey(key, modifiers);
    outcome.check(QKeySequence(key | modifiers).toString().toStdString());
    EXPECT_EQ(ezWidget(HelpFormName, IdFormItself), help) << "F1 made the help window again";
  }
  processEventsFor(100);
  EXPECT_FALSE(dialog->answered) << "Ctrl+F opened the save dialog";
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
