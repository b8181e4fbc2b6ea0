// The port list following the hardware: ports published in and withdrawn
// from the port folder while the program runs, with pseudo-terminals as the
// devices. The list is refilled as Refresh would fill it, the chosen port
// stays chosen, and only the ports that appeared are opened.
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "output/output_state.h"
#include "ports/port_list.h"
#include "ports/port_state.h"
#include "support/choice_form.h"
#include "support/pty_instrument.h"
#include "transfer/transfer_state.h"

namespace {

using Items = std::vector<std::string>;

class PortFollowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    makeChoiceForm();
    SettingsPath = temp.path() + "MorvTran.ini";
    for (int n : {3, 12}) add(n);
    SavedPortNumber = 12;
    scanPorts();
    ASSERT_TRUE(chooseFileInDialog(temp.path() + "river.csv")->answered);
    ASSERT_EQ(ezListItems(MainForm, IdPortList), (Items{"COM 3", "COM 12"}));
  }
  void TearDown() override { TransferRunning = 0; }

  PtyInstrument& add(int portNumber) {
    instruments[portNumber] = std::make_unique<PtyInstrument>(ports, portNumber);
    return *instruments[portNumber];
  }
  void remove(int portNumber) { instruments[portNumber].reset(); }
  Items items() { return ezListItems(MainForm, IdPortList); }

  ChoiceTempFolder temp;
  PortFolder ports;
  std::unique_ptr<PtyInstrument> instruments[MaxPorts + 1];
};

}  // namespace

TEST_F(PortFollowTest, PortsComingAndGoingRefillTheListKeepingTheChosenPort) {
  add(5);
  followPortChanges();
  EXPECT_EQ(items(), (Items{"COM 3", "COM 5", "COM 12"}));
  EXPECT_EQ(ezSelectedIndex(MainForm, IdPortList), 2);
  EXPECT_EQ(ChosenPortIndex, 3);
  EXPECT_EQ(statusPart(StatusPort), "COM 12 chosen");
  EXPECT_EQ(statusPart(StatusOverall), "Ready To Start");

  remove(3);
  followPortChanges();
  EXPECT_EQ(items(), (Items{"COM 5", "COM 12"}));
  EXPECT_EQ(ezSelectedIndex(MainForm, IdPortList), 1);
  EXPECT_EQ(PortList[ChosenPortIndex].portNumber, 12);

  // The chosen port unplugged, then back: the texts Refresh gives each time.
  remove(12);
  followPortChanges();
  EXPECT_EQ(items(), (Items{"COM 5"}));
  EXPECT_EQ(ChosenPortIndex, 0);
  EXPECT_EQ(ezSelectedIndex(MainForm, IdPortList), -1);
  EXPECT_EQ(statusPart(StatusPort), "Port not chosen");
  EXPECT_EQ(statusPart(StatusOverall), "Not Ready");
  add(12);
  followPortChanges();
  EXPECT_EQ(items(), (Items{"COM 5", "COM 12"}));
  EXPECT_EQ(statusPart(StatusPort), "COM 12 chosen");
  EXPECT_EQ(statusPart(StatusOverall), "Ready To Start");
  EXPECT_TRUE(ezIsEnabled(MainForm, IdStartButton));
}

// A port taken by another program after the scan would show "in use" if it
// were probed again; it is not, while the new port, held too, is probed.
TEST_F(PortFollowTest, OnlyPortsThatAppearedAreOpened) {
  PortHolder heldSinceTheScan(instruments[3]->devicePath(), HoldKind::Flock);
  followPortChanges();
  EXPECT_EQ(items(), (Items{"COM 3", "COM 12"})) << "nothing changed, nothing probed";
  PortHolder heldNewcomer(add(7).devicePath(), HoldKind::Flock);
  followPortChanges();
  EXPECT_EQ(items(), (Items{"COM 3", "COM 7 in use", "COM 12"}));
  EXPECT_EQ(portItemDescription(1), instruments[7]->devicePath());
}

TEST_F(PortFollowTest, DuringATransferNothingIsRescannedUntilItStops) {
  TransferRunning = 1;
  add(5);
  remove(3);
  followPortChanges();
  EXPECT_EQ(items(), (Items{"COM 3", "COM 12"}));
  TransferRunning = 0;
  followPortChanges();
  EXPECT_EQ(items(), (Items{"COM 5", "COM 12"}));
}
