// The port list as the user sees it: what a scan lists and chooses, and what
// a pick does to the status bar, the buttons and the settings file.
#include "ports/port_list.h"

#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "output/output_state.h"
#include "ports/port_state.h"
#include "support/choice_form.h"
#include "support/pty_instrument.h"
#include "transfer/serial_link.h"
#include "transfer/transfer_state.h"

namespace {

using Items = std::vector<std::string>;

class PortListTest : public ::testing::Test {
 protected:
  void SetUp() override {
    makeChoiceForm();
    SettingsPath = temp.path() + "MorvTran.ini";
  }

  PtyInstrument& addPort(int portNumber) {
    instruments.push_back(std::make_unique<PtyInstrument>(ports, portNumber));
    return *instruments.back();
  }
  void holdElsewhere(PtyInstrument& instrument) {
    holders.push_back(std::make_unique<PortHolder>(instrument.devicePath(), HoldKind::Flock));
  }
  void clickRefresh() { clickWidget(choiceControl(IdRefreshButton)); }
  bool enabled(int id) { return ezIsEnabled(MainForm, id); }
  void switchOnStartAndStop() {
    EZ_ENABLEC(MainForm, IdStartButton);
    EZ_ENABLEC(MainForm, IdStopButton);
  }

  ChoiceTempFolder temp;
  PortFolder ports;
  std::vector<std::unique_ptr<PtyInstrument>> instruments;
  std::vector<std::unique_ptr<PortHolder>> holders;
};

}  // namespace

TEST_F(PortListTest, ScanListsFreeAndHeldPortsInOrderAndChoosesTheSavedOne) {
  addPort(12);
  holdElsewhere(addPort(5));
  addPort(3);
  // Names that lead nowhere or to something that is no serial port.
  ports.publish(7, temp.path() + "missing-device");
  std::ofstream(temp.path() + "plain-file") << "x";
  ports.publish(9, temp.path() + "plain-file");
  SavedPortNumber = 12;
  ASSERT_EQ(ezListItems(MainForm, IdPortList), (Items{"COM 1", "COM 2", "COM 3", "COM 4"}));

  scanPorts();

  EXPECT_EQ(ezListItems(MainForm, IdPortList), (Items{"COM 3", "COM 5 in use", "COM 12"}));
  ASSERT_EQ(PortCount, 3);
  EXPECT_EQ(PortList[1].portNumber, 3);
  EXPECT_EQ(PortList[1].state, PortFree);
  EXPECT_EQ(PortList[2].portNumber, 5);
  EXPECT_EQ(PortList[2].state, PortInUse);
  EXPECT_EQ(PortList[3].text, "COM 12");
  EXPECT_EQ(PortList[4].text, "");
  EXPECT_EQ(ChosenPortIndex, 3);
  EXPECT_EQ(ezSelectedIndex(MainForm, IdPortList), 2);
  EXPECT_EQ(statusPart(StatusPort), "COM 12 chosen");
  EXPECT_EQ(DotCount.load(), -1);
  // No file yet: part 1 and Start stay as start-up left them.
  EXPECT_EQ(statusPart(StatusOverall), "Not Ready");
  EXPECT_FALSE(enabled(IdStartButton));
  EXPECT_EQ(ezCurrentCursor(), ArrowCursor);
  EXPECT_EQ(fileContent(SettingsPath), "<none>") << "a scan saves nothing";
}

TEST_F(PortListTest, SavedPortHeldElsewhereIsStillChosenAndStartComesWithAFile) {
  addPort(3);
  holdElsewhere(addPort(5));
  SavedPortNumber = 5;
  scanPorts();
  EXPECT_EQ(ezSelectedIndex(MainForm, IdPortList), 1);
  EXPECT_EQ(statusPart(StatusPort), "COM 5 in use chosen");
  EXPECT_EQ(ChosenPortIndex, 2);
  EXPECT_FALSE(enabled(IdStartButton));

  ASSERT_TRUE(chooseFileInDialog(temp.path() + "river.csv")->answered);
  EXPECT_TRUE(enabled(IdStartButton));
  EXPECT_EQ(statusPart(StatusOverall), "Ready To Start");
}

TEST_F(PortListTest, PickingAHeldPortClearsTheChoiceAndLeavesTheSettingsFile) {
  addPort(3);
  holdElsewhere(addPort(5));
  scanPorts();
  ASSERT_EQ(ezSelectedIndex(MainForm, IdPortList), -1);
  ASSERT_TRUE(chooseFileInDialog(temp.path() + "river.csv")->answered);

  pickListItem(0);
  ASSERT_EQ(statusPart(StatusOverall), "Ready to start");
  ASSERT_EQ(fileContent(SettingsPath), "3\r\n");
  switchOnStartAndStop();

  pickListItem(1);
  EXPECT_EQ(ezText(MainForm, IdPortList), "COM 5 in use") << "the list shows the pick";
  EXPECT_EQ(statusPart(StatusPort), "COM 5 in use is in use");
  EXPECT_EQ(statusPart(StatusOverall), "Not Ready");
  EXPECT_FALSE(enabled(IdStartButton));
  EXPECT_FALSE(enabled(IdStopButton));
  EXPECT_EQ(ChosenPortIndex, 0);
  EXPECT_EQ(PickedPortIndex, 2);
  EXPECT_EQ(SavedPortNumber, 3);
  EXPECT_EQ(fileContent(SettingsPath), "3\r\n");

  // The saved port is still the one a rescan chooses.
  clickRefresh();
  EXPECT_EQ(ChosenPortIndex, 1);
  EXPECT_EQ(statusPart(StatusPort), "COM 3 chosen");
  EXPECT_EQ(statusPart(StatusOverall), "Ready To Start");
  EXPECT_TRUE(enabled(IdStartButton));
}

TEST_F(PortListTest, PickingAFreePortBeforeAnyFileSavesItButIsNotReady) {
  addPort(3);
  addPort(12);
  scanPorts();
  switchOnStartAndStop();

  pickListItem(0);
  EXPECT_EQ(statusPart(StatusPort), "COM 3 chosen");
  EXPECT_EQ(statusPart(StatusOverall), "Not Ready");
  EXPECT_FALSE(enabled(IdStartButton));
  EXPECT_FALSE(enabled(IdStopButton));
  EXPECT_EQ(ChosenPortIndex, 1);
  EXPECT_EQ(SavedPortNumber, 3);
  EXPECT_EQ(fileContent(SettingsPath), "3\r\n");

  pickListItem(1);
  EXPECT_EQ(statusPart(StatusPort), "COM 12 chosen");
  EXPECT_EQ(fileContent(SettingsPath), "12\r\n");
}

TEST_F(PortListTest, PickStandsWhenTheSettingsFileCannotBeWritten) {
  addPort(3);
  SettingsPath = temp.path() + "no-such-folder/MorvTran.ini";
  scanPorts();
  pickListItem(0);
  EXPECT_EQ(ChosenPortIndex, 1);
  EXPECT_EQ(SavedPortNumber, 3);
  EXPECT_EQ(statusPart(StatusPort), "COM 3 chosen");
  EXPECT_EQ(fileContent(SettingsPath), "<none>");
}

TEST_F(PortListTest, NoPortsAtAll) {
  SavedPortNumber = 4;
  EZ_SETSBTEXT(MainForm, IdStatusBar, StatusPort, "COM 4 chosen", "P");
  scanPorts();
  EXPECT_EQ(PortCount, 0);
  EXPECT_TRUE(ezListItems(MainForm, IdPortList).empty());
  EXPECT_EQ(ezSelectedIndex(MainForm, IdPortList), -1);
  EXPECT_EQ(statusPart(StatusOverall), "Not Ready");
  EXPECT_EQ(statusPart(StatusPort), "Port not chosen");
  EXPECT_EQ(ChosenPortIndex, 0);
  EXPECT_EQ(DotCount.load(), -2);
  EXPECT_EQ(ezCurrentCursor(), ArrowCursor);

  // Keys on the empty list pick nothing.
  pressKey(choiceControl(IdPortList), Qt::Key_Down);
  EXPECT_TRUE(TestEvents.withCode(EzSelectionChanged, IdPortList).empty());
  EXPECT_EQ(PickedPortIndex, 0);
}

TEST_F(PortListTest, RescanWithoutTheSavedPortChoosesNothingAndTurnsStartOff) {
  addPort(3);
  addPort(12);
  SavedPortNumber = 12;
  scanPorts();
  ASSERT_TRUE(chooseFileInDialog(temp.path() + "river.csv")->answered);
  ASSERT_TRUE(enabled(IdStartButton));

  // Port 12 goes away and port 20 turns up where the old choice pointed. The
  // freed pseudo-terminal number may be handed to the new port, so the old
  // name is withdrawn as a removed adapter's would be.
  instruments.back()->hangUp();
  ports.withdraw(12);
  addPort(20);
  clickRefresh();

  EXPECT_EQ(ezListItems(MainForm, IdPortList), (Items{"COM 3", "COM 20"}));
  EXPECT_EQ(ChosenPortIndex, 0);
  EXPECT_EQ(ezSelectedIndex(MainForm, IdPortList), -1);
  EXPECT_EQ(statusPart(StatusPort), "Port not chosen");
  EXPECT_EQ(statusPart(StatusOverall), "Not Ready");
  EXPECT_FALSE(enabled(IdStartButton));
}

TEST_F(PortListTest, SavedPortVanishingDuringATransferLeavesStopOn) {
  addPort(3);
  SavedPortNumber = 3;
  scanPorts();
  // What the transfer start leaves.
  TransferRunning = 1;
  EZ_DISABLEC(MainForm, IdStartButton);
  EZ_ENABLEC(MainForm, IdStopButton);

  instruments.back()->hangUp();
  scanPorts();
  EXPECT_EQ(ChosenPortIndex, 0);
  EXPECT_FALSE(enabled(IdStartButton));
  EXPECT_TRUE(enabled(IdStopButton));
}

TEST_F(PortListTest, ScanDuringATransferListsOurOwnPortInUseAndKeepsIt) {
  addPort(3);
  SavedPortNumber = 3;
  scanPorts();
  ASSERT_TRUE(chooseFileInDialog(temp.path() + "river.csv")->answered);
  ASSERT_TRUE(openLink(3));
  TransferRunning = 1;
  EZ_DISABLEC(MainForm, IdStartButton);
  EZ_ENABLEC(MainForm, IdStopButton);

  scanPorts();
  const Items items = ezListItems(MainForm, IdPortList);
  const int chosen = ChosenPortIndex;
  const std::string portText = statusPart(StatusPort);
  const bool startOn = enabled(IdStartButton);
  const bool stopOn = enabled(IdStopButton);
  flushAndClose();
  TransferRunning = 0;

  EXPECT_EQ(items, Items{"COM 3 in use"});
  EXPECT_EQ(chosen, 1);
  EXPECT_EQ(portText, "COM 3 in use chosen");
  EXPECT_FALSE(startOn) << "a second transfer must not be offered";
  EXPECT_TRUE(stopOn);
}

TEST_F(PortListTest, PicksOfNoListItemChangeNothing) {
  addPort(3);
  addPort(12);
  scanPorts();
  ASSERT_TRUE(chooseFileInDialog(temp.path() + "river.csv")->answered);
  pickListItem(0);
  ASSERT_EQ(statusPart(StatusOverall), "Ready to start");
  std::filesystem::remove(SettingsPath);

  for (int index : {-1, 2, 99, 100, 1000, -32768}) {
    ezSendEvent(MainForm, IdPortList, EzSelectionChanged, index);
  }
  onPortPicked(32767);

  EXPECT_EQ(ChosenPortIndex, 1);
  EXPECT_EQ(PickedPortIndex, 1);
  EXPECT_EQ(SavedPortNumber, 3);
  EXPECT_EQ(statusPart(StatusPort), "COM 3 chosen");
  EXPECT_EQ(statusPart(StatusOverall), "Ready to start");
  EXPECT_TRUE(enabled(IdStartButton));
  EXPECT_EQ(fileContent(SettingsPath), "<none>");
}
