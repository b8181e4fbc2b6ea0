// Closing the window while a stop is still running, in the program's own
// message loop: the close reaches the program once, the stop runs to its
// end once, and the message it shows stays until the user has read it.
#include <QTimer>
#include <filesystem>
#include <functional>

#include <gtest/gtest.h>

#include "ports/port_state.h"
#include "support/main_window.h"
#include "transfer/serial_link.h"
#include "transfer/transfer_state.h"

namespace {

const std::string Records =
    "\x85"
    "1,12/01/26,10:15:00,0.0,1.20,0.45,0,Feet\r\n"
    "1,12/01/26,10:15:30,2.5,1.80,0.61,0,Feet\r\n";

int MainFormGoingAway = 0;  // event 0 of the main form, as the program saw it

void countingEventRoutine(std::string& form, int& id, int& code, int& value, int& cancel) {
  if (form == MainFormName && id == IdFormItself && code == EzFormGoingAway) ++MainFormGoingAway;
  eventRoutine(form, id, code, value, cancel);
}

class ClosingDuringStop : public ::testing::Test {
 protected:
  void SetUp() override {
    MainFormGoingAway = 0;
    instrument = &program.addPort(3);
  }

  // EZ_GUIRUN as the program's entry calls it; `drive` runs from inside its
  // loop. When `drive` gives up early the window is closed for it, so the
  // loop always ends.
  void runProgram(const std::function<void()>& drive) {
    QTimer::singleShot(0, [drive] {
      drive();
      if (!EZ_ISFORM(MainForm, "E")) return;
      answerNextMessageBox();  // whatever the stop has to say
      EZ_UNLOADFORM(MainForm);
    });
    // A drive stuck on something that never came fails the test, not the run.
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, [] {
      ADD_FAILURE() << "the program did not end";
      QCoreApplication::exit(1);
    });
    watchdog.start(60000);
    char name[] = "morvane";
    char* argv[] = {name, nullptr};
    EZ_GUIRUN(1, argv, startupRoutine, countingEventRoutine, designRoutine);
  }

  // A transfer into a file that takes no data, so that the stop has lost
  // records to tell the user about.
  void transferLosingRecords() {
    program.waitUntilActive();
    const std::string csv = program.folder.path() + "full.csv";
    std::filesystem::create_symlink("/dev/full", csv);
    ASSERT_TRUE(program.chooseFile(csv)->answered);
    pickListItem(0);
    ASSERT_TRUE(program.enabled(IdStartButton));
    clickWidget(program.control(IdStartButton));
    ASSERT_EQ(TransferRunning, 1);
    ASSERT_TRUE(instrument->send(Records));
    ASSERT_TRUE(waitUntil([] { return LostRecordCount.load() >= 2; }, 15000))
        << LostRecordCount.load() << " lost, " << RecordCount.load() << " counted";
  }

  MainWindowProgram program;
  PtyInstrument* instrument = nullptr;
};

TEST_F(ClosingDuringStop, CtrlXWhileTheCloseBoxStopsTheTransferDoesNotCloseItAgain) {
  DialogAnswer message;
  runProgram([&] {
    transferLosingRecords();
    if (::testing::Test::HasFatalFailure()) return;
    message = answerNextMessageBox();
    // The user presses Ctrl+X while the close box's stop is still running:
    // the key is handled in the stop's own event processing.
    QTimer::singleShot(0, [this] { program.ctrl(Qt::Key_X); });
    program.window()->close();
  });
  EXPECT_EQ(MainFormGoingAway, 1);
  ASSERT_TRUE(message);
  EXPECT_TRUE(message->answered) << "the stop's message was closed before anyone saw it";
  EXPECT_NE(message->text.find("full.csv"), std::string::npos) << message->text;
  EXPECT_EQ(TransferStopped, 1);
  EXPECT_FALSE(linkIsOpen());
}

TEST_F(ClosingDuringStop, CtrlXDuringACtrlZStopLetsTheStopFinishAndShowItsMessage) {
  DialogAnswer message;
  runProgram([&] {
    transferLosingRecords();
    if (::testing::Test::HasFatalFailure()) return;
    message = answerNextMessageBox();
    QTimer::singleShot(0, [this] { program.ctrl(Qt::Key_X); });
    program.ctrl(Qt::Key_Z);
  });
  EXPECT_EQ(MainFormGoingAway, 1);
  ASSERT_TRUE(message);
  EXPECT_TRUE(message->answered) << "the stop's message was closed before anyone saw it";
  EXPECT_EQ(TransferStopped, 1);
  EXPECT_FALSE(linkIsOpen());
}

}  // namespace
