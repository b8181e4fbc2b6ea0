// The computer is kept awake from Start to the end of Stop, with a fake
// login manager that hands out one end of a pipe as its inhibitor: the hold
// lasts as long as that end is open. Without a login manager the transfer
// runs as before.
#include <poll.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include <gtest/gtest.h>

#include "transfer/awake_posix.h"
#include "transfer/transfer_form.h"

namespace {

int InhibitorRequests = 0;
int InhibitorReadEnd = -1;

int fakeInhibitor() {
  ++InhibitorRequests;
  int ends[2];
  if (pipe(ends) != 0) return -1;
  if (InhibitorReadEnd >= 0) close(InhibitorReadEnd);
  InhibitorReadEnd = ends[0];
  return ends[1];
}

class AwakeDuringTransfer : public TransferFormTest {
 protected:
  void SetUp() override {
    TransferFormTest::SetUp();
    RequestSleepInhibitor = fakeInhibitor;
    InhibitorRequests = 0;
  }
  void TearDown() override {
    TransferFormTest::TearDown();
    if (InhibitorReadEnd >= 0) close(InhibitorReadEnd);
    InhibitorReadEnd = -1;
  }
  // The inhibitor handed out is still held by the program.
  static bool held() {
    if (InhibitorReadEnd < 0) return false;
    pollfd end{InhibitorReadEnd, POLLIN, 0};
    return poll(&end, 1, 0) == 0;
  }
};

}  // namespace

TEST_F(AwakeDuringTransfer, TheHoldLastsFromStartToTheEndOfStop) {
  EXPECT_EQ(InhibitorRequests, 0);
  clickStart();
  ASSERT_EQ(statusPart(StatusOverall), "Waiting for data . . . . . . . . .");
  EXPECT_EQ(InhibitorRequests, 1);
  EXPECT_TRUE(held());
  ASSERT_TRUE(instrument->send(instrumentRecords(1, 2)));
  EXPECT_TRUE(waitUntil([&] { return fileContent(csv) == csvLines(1, 2); }, 8000));
  EXPECT_TRUE(held());
  clickStop();
  expectControlsGivenBack();
  EXPECT_FALSE(held());
  EXPECT_EQ(InhibitorRequests, 1);
}

TEST_F(AwakeDuringTransfer, AFailedStartIsReleasedByTheStopThatEndsIt) {
  {
    PortHolder otherProgram(instrument->devicePath(), HoldKind::Flock);
    DialogAnswer seen = clickStartAnsweringMessage();
    ASSERT_TRUE(seen->answered);
    EXPECT_EQ(seen->text, "Failed to start communications!");
  }
  clickStop();
  EXPECT_EQ(InhibitorRequests, 1);
  EXPECT_FALSE(held());

  OutputFileName = program.path() + "missing/river.csv";
  DialogAnswer seen = clickStartAnsweringMessage();
  ASSERT_TRUE(seen->answered);
  EXPECT_EQ(seen->text, "An error occured while opening file:\n" + OutputFileName);
  clickStop();
  EXPECT_EQ(InhibitorRequests, 2);
  EXPECT_FALSE(held());
}

// A machine without a system bus (a container, a minimal desktop): the
// request gives nothing, at once, and the transfer does not notice.
TEST_F(AwakeDuringTransfer, WithoutALoginManagerTheTransferRunsAsBefore) {
  setenv("DBUS_SYSTEM_BUS_ADDRESS", ("unix:path=" + program.path() + "no-bus").c_str(), 1);
  RequestSleepInhibitor = logindSleepInhibitor;
  EXPECT_EQ(logindSleepInhibitor(), -1);
  clickStart();
  ASSERT_EQ(statusPart(StatusOverall), "Waiting for data . . . . . . . . .");
  ASSERT_TRUE(instrument->send(instrumentRecords(1, 2)));
  EXPECT_TRUE(waitUntil([&] { return fileContent(csv) == csvLines(1, 2); }, 8000));
  clickStop();
  expectControlsGivenBack();
  EXPECT_EQ(fileContent(csv), csvLines(1, 2));
}
