// The readiness rule across both choices: which event makes the window
// ready, with which of the two ready texts.
#include "output/readiness.h"

#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "output/output_state.h"
#include "ports/port_state.h"
#include "support/choice_form.h"
#include "support/pty_instrument.h"

namespace {

class ReadinessTest : public ::testing::Test {
 protected:
  void SetUp() override {
    makeChoiceForm();
    SettingsPath = temp.path() + "MorvTran.ini";
    instrument = std::make_unique<PtyInstrument>(ports, 3);
    scanPorts();
  }
  bool enabled(int id) { return ezIsEnabled(MainForm, id); }

  ChoiceTempFolder temp;
  PortFolder ports;
  std::unique_ptr<PtyInstrument> instrument;
};

}  // namespace

TEST_F(ReadinessTest, LoadedFormShowsTheStartUpState) {
  EZ_ENABLEC(MainForm, IdStartButton);
  EZ_ENABLEC(MainForm, IdStopButton);
  for (int part : {StatusOverall, StatusFile, StatusPort}) {
    EZ_SETSBTEXT(MainForm, IdStatusBar, part, "before", "P");
  }
  readinessOnLoaded();
  EXPECT_FALSE(enabled(IdStartButton));
  EXPECT_FALSE(enabled(IdStopButton));
  EXPECT_EQ(statusPart(StatusOverall), "Not Ready");
  EXPECT_EQ(statusPart(StatusFile), "File not chosen");
  EXPECT_EQ(statusPart(StatusPort), "Port not chosen");
}

TEST_F(ReadinessTest, FileThenPortEndsWithReadyToStartInLowerCase) {
  ASSERT_TRUE(chooseFileInDialog(temp.path() + "river.csv")->answered);
  EXPECT_EQ(statusPart(StatusOverall), "Not Ready");
  EXPECT_FALSE(enabled(IdStartButton));

  pickListItem(0);
  EXPECT_EQ(statusPart(StatusPort), "COM 3 chosen");
  EXPECT_EQ(statusPart(StatusOverall), "Ready to start");
  EXPECT_TRUE(enabled(IdStartButton));
  EXPECT_FALSE(enabled(IdStopButton));
}

TEST_F(ReadinessTest, PortThenFileEndsWithReadyToStartCapitalised) {
  pickListItem(0);
  EXPECT_EQ(statusPart(StatusOverall), "Not Ready");
  EXPECT_FALSE(enabled(IdStartButton));

  ASSERT_TRUE(chooseFileInDialog(temp.path() + "river.csv")->answered);
  EXPECT_EQ(statusPart(StatusFile), "Output file: river");
  EXPECT_EQ(statusPart(StatusOverall), "Ready To Start");
  EXPECT_TRUE(enabled(IdStartButton));
  EXPECT_FALSE(enabled(IdStopButton));
}

TEST_F(ReadinessTest, TypedNameAfterReadinessKeepsStartButNotTheChoice) {
  pickListItem(0);
  ASSERT_TRUE(chooseFileInDialog(temp.path() + "river.csv")->answered);
  typeFileName("abcd");
  EXPECT_FALSE(readinessRuleMet());
  EXPECT_TRUE(enabled(IdStartButton));
  // The next fill therefore finds the rule unmet and leaves part 1 alone.
  SavedPortNumber = 3;
  scanPorts();
  EXPECT_EQ(statusPart(StatusPort), "COM 3 chosen");
  EXPECT_EQ(statusPart(StatusOverall), "Not Ready");
}
