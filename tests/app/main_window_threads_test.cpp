// Whole transfers driven through the main window as a user drives them, from
// a pseudo-terminal instrument to the CSV file, the raw log and the view.
#include <QAbstractItemView>
#include <QComboBox>
#include <QTimer>
#include <algorithm>

#include <gtest/gtest.h>

#include "output/output_state.h"
#include "ports/port_state.h"
#include "support/main_window.h"
#include "transfer/serial_link.h"
#include "transfer/transfer_state.h"

namespace {

const std::string Header = "\rXSec,Date,Time,Station,Depth,Velocity,Angle,Units\r";
const std::string Marker = "\x85";
const std::string FirstBlock = Marker + "1,12/01/26,10:15:00,0.0,1.20,0.45,0,Feet\r\n" +
                               "1,12/01/26,10:15:30,2.5,1.80,0.61,0,Feet\r\n";
const std::string SecondBlock = Marker + "2,12/01/26,11:02:10,0.0,0.40,0.12,0,Meters\r\n";

class MainWindowTransfer : public ::testing::Test {
 protected:
  void SetUp() override {
    instrument = &program.addPort(3);
    program.start();
    csv = program.folder.path() + "river.csv";
  }
  void TearDown() override {
    if (TransferRunning == 1) stopWithCtrlZ();
  }

  void chooseFileAndPort() {
    ASSERT_TRUE(program.chooseFile(csv)->answered);
    pickListItem(0);
    ASSERT_TRUE(program.enabled(IdStartButton));
  }
  // Start, then wait until the link has settled and the worker waits.
  void startTransfer() {
    clickWidget(program.control(IdStartButton));
    ASSERT_EQ(program.status(StatusOverall), "Waiting for data . . . . . . . . .");
  }
  void send(const std::string& bytes, size_t recordLines) {
    const size_t before = fileContent(csv) == "<none>" ? 0 : countLines(fileContent(csv));
    ASSERT_TRUE(instrument->send(bytes));
    EXPECT_TRUE(waitUntil([&] { return countLines(fileContent(csv)) >= before + recordLines; }))
        << fileContent(csv);
  }
  void stopWithCtrlZ() {
    program.ctrl(Qt::Key_Z);
    EXPECT_EQ(program.status(StatusOverall), "Ready To Start");
  }
  static size_t countLines(const std::string& text) {
    return static_cast<size_t>(std::count(text.begin(), text.end(), '\n'));
  }

  MainWindowProgram program;
  PtyInstrument* instrument = nullptr;
  std::string csv;
};

TEST_F(MainWindowTransfer, RecordsReachTheFileTheLogAndTheViewAndStopGivesTheWindowBack) {
  chooseFileAndPort();
  startTransfer();
  EXPECT_FALSE(program.enabled(IdStartButton));
  EXPECT_TRUE(program.enabled(IdStopButton));
  EXPECT_FALSE(program.enabled(IdFileNameBox));
  EXPECT_FALSE(program.enabled(IdPortList));
  EXPECT_FALSE(program.enabled(IdRefreshButton));
  EXPECT_EQ(instrument->received(), std::string("\0\r\n", 3)) << "the opening bytes";

  send(FirstBlock, 2);
  send(SecondBlock, 1);
  EXPECT_TRUE(waitUntil(
      [&] { return ezText(MainForm, IdIncomingView).find("11:02:10") != std::string::npos; }));
  stopWithCtrlZ();

  EXPECT_EQ(fileContent(csv), Header + "1,12/01/26,10:15:00,0.0,1.20,0.45,0,Feet\n" +
                                  "1,12/01/26,10:15:30,2.5,1.80,0.61,0,Feet\n" + Header +
                                  "2,12/01/26,11:02:10,0.0,0.40,0.12,0,Meters\n");
  const std::string raw = fileContent(program.folder.path() + "Raw.txt");
  EXPECT_NE(raw.find(FirstBlock + "\r\n"), std::string::npos) << "each chunk, then CR LF";
  EXPECT_EQ(fileContent(program.folder.path() + "MorvTran.ini"), "3\r\n");
  EXPECT_TRUE(program.enabled(IdStartButton));
  EXPECT_FALSE(program.enabled(IdStopButton));
  EXPECT_TRUE(program.enabled(IdFileNameBox));
  EXPECT_TRUE(program.enabled(IdPortList));
  EXPECT_TRUE(program.enabled(IdRefreshButton));
}

TEST_F(MainWindowTransfer, AppendAddsToTheFileAndOverwriteReplacesIt) {
  chooseFileAndPort();
  startTransfer();
  send(FirstBlock, 2);
  stopWithCtrlZ();
  const std::string first = fileContent(csv);

  program.ctrl(Qt::Key_G);  // Append: the file and the view keep the first run
  ASSERT_EQ(TransferRunning, 1);
  send(SecondBlock, 1);
  stopWithCtrlZ();
  EXPECT_EQ(fileContent(csv), first + Header + "2,12/01/26,11:02:10,0.0,0.40,0.12,0,Meters\n");
  EXPECT_NE(ezText(MainForm, IdIncomingView).find("10:15:00"), std::string::npos);

  clickWidget(program.control(IdOverwriteRadio));
  program.ctrl(Qt::Key_G);
  EXPECT_EQ(ezText(MainForm, IdIncomingView), "") << "Overwrite clears the view";
  send(SecondBlock, 1);
  stopWithCtrlZ();
  EXPECT_EQ(fileContent(csv), Header + "2,12/01/26,11:02:10,0.0,0.40,0.12,0,Meters\n");
}

TEST_F(MainWindowTransfer, StartPressedWhileStopRunsStartsNothing) {
  chooseFileAndPort();
  startTransfer();
  send(FirstBlock, 2);
  // Ctrl+G pressed during Stop's pause is handled when Stop lets the window
  // catch up; it must not start a transfer whose files Stop then closes.
  QTimer::singleShot(0, [this] { program.ctrl(Qt::Key_G); });
  program.ctrl(Qt::Key_Z);
  processEventsFor(200);
  EXPECT_EQ(TransferRunning, 0);
  EXPECT_FALSE(linkIsOpen());
  EXPECT_EQ(program.status(StatusOverall), "Ready To Start");
  EXPECT_EQ(instrument->received(), std::string("\0\r\n", 3)) << "the port was opened once";
  EXPECT_TRUE(program.enabled(IdStartButton));
}

TEST_F(MainWindowTransfer, StartStaysDisabledUntilTheStopHasFinished) {
  chooseFileAndPort();
  startTransfer();
  send(FirstBlock, 2);
  // What the window shows while Stop lets it catch up on its events.
  bool startEnabled = true;
  bool stopEnabled = true;
  QTimer::singleShot(0, [&] {
    startEnabled = program.enabled(IdStartButton);
    stopEnabled = program.enabled(IdStopButton);
  });
  stopWithCtrlZ();
  EXPECT_FALSE(startEnabled) << "Start looked usable while it would ignore a click";
  EXPECT_FALSE(stopEnabled);
  EXPECT_TRUE(program.enabled(IdStartButton));
}

// The dialog stays reachable during a transfer; undo and cut while typing
// the name are the dialog's, not Stop and Exit.
TEST_F(MainWindowTransfer, CtrlZAndCtrlXInTheSaveDialogLeaveTheTransferRunning) {
  chooseFileAndPort();
  startTransfer();
  DialogAnswer seen = answerNextSaveDialog(csv, 8000, [&](QWidget& dialog) {
    ASSERT_TRUE(dialog.isAncestorOf(keyboardTarget()));
    typeKey(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(TransferRunning, 1) << "Ctrl+Z in the dialog stopped the transfer";
    typeKey(Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(EZ_ISFORM(MainForm, "E"), 1) << "Ctrl+X in the dialog closed the window";
  });
  program.ctrl(Qt::Key_F);
  ASSERT_TRUE(seen->answered);
  EXPECT_EQ(TransferRunning, 1);
  EXPECT_TRUE(program.enabled(IdStopButton));
  stopWithCtrlZ();  // in the window itself Ctrl+Z still stops
}

TEST_F(MainWindowTransfer, CtrlPLeavesTheDisabledPortListClosed) {
  chooseFileAndPort();
  startTransfer();
  ASSERT_FALSE(program.enabled(IdPortList));
  program.ctrl(Qt::Key_P);
  processEventsFor(50);
  auto* combo = qobject_cast<QComboBox*>(program.control(IdPortList));
  ASSERT_NE(combo, nullptr);
  EXPECT_FALSE(combo->view()->isVisible()) << "a disabled list dropped down";
  EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
  EXPECT_EQ(EZ_ISFORM(DebugFormName, "E"), 0) << "a drop-down was traced";
  stopWithCtrlZ();  // and the next key still reaches the window
}

TEST_F(MainWindowTransfer, CtrlXDuringATransferStopsItThenCloses) {
  chooseFileAndPort();
  startTransfer();
  send(FirstBlock, 2);
  program.ctrl(Qt::Key_X);
  EXPECT_EQ(EZ_ISFORM(MainForm, "E"), 0);
  EXPECT_EQ(TransferStopped, 1);
  EXPECT_FALSE(linkIsOpen());
  EXPECT_EQ(countLines(fileContent(csv)), 2u);
}

TEST_F(MainWindowTransfer, ClosingTheWindowDuringATransferStopsItCleanly) {
  chooseFileAndPort();
  startTransfer();
  send(FirstBlock, 2);
  program.window()->close();
  EXPECT_TRUE(waitUntil([] { return EZ_ISFORM(MainForm, "E") == 0; }));
  EXPECT_EQ(TransferRunning, 0);
  EXPECT_FALSE(linkIsOpen()) << "the port is free for the next program";
  EXPECT_EQ(countLines(fileContent(csv)), 2u);
}

}  // namespace
