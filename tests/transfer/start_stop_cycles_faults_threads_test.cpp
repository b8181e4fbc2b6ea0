// Start and Stop again and again in Append mode with the instrument sending
// up to the moment of each Stop: after every Stop the CSV must be exactly
// what the plain conversion makes of everything sent so far, no record lost
// and none written twice. Records are cut anywhere between transfers, so an
// unfinished one is carried into the next transfer.
//
// Each cycle costs the link's fixed pauses (some 3 s), so the hundred cycles
// are run as ten programs of ten that CTest can run side by side, each well
// within a test's time limit.
#include <random>
#include <string>

#include <gtest/gtest.h>

#include "transfer/serial_link.h"
#include "transfer/transfer_form.h"

namespace {

constexpr int CyclesPerRun = 10;
constexpr int Runs = 10;

class StartStopCycles : public TransferFormTest, public ::testing::WithParamInterface<int> {
 protected:
  // The next stretch of the instrument's stream: whole records, now and
  // then a block marker, and a cut anywhere.
  std::string nextBytes(int records) {
    std::string bytes;
    for (int i = 0; i < records; ++i) {
      if (random() % 8 == 0) bytes += '\x85';
      bytes += instrumentRecord(next++);
    }
    return bytes;
  }
  std::string cutAnywhere(std::string& bytes) {
    const size_t at = random() % (bytes.size() + 1);
    std::string rest = bytes.substr(at);
    bytes.resize(at);
    return rest;
  }
  // The bytes have reached the port's input queue or been taken by the
  // worker: either way they were sent before the Stop that follows.
  bool arrived(const std::string& cycleBytes) {
    return instrument->queuedForProgram() > 0 ||
           withoutLineEnds(fileContent(rawLog())) == withoutLineEnds(cycleBytes);
  }

  std::minstd_rand random{static_cast<unsigned>(GetParam() + 1)};
  int next = 0;
};

}  // namespace

TEST_P(StartStopCycles, AppendedCsvIsTheConversionOfEverythingSentBeforeEachStop) {
  WriteMode = WriteAppend;
  std::string sent;
  std::string carried;  // the part of a record cut off at the last Stop
  for (int cycle = 0; cycle < CyclesPerRun; ++cycle) {
    SCOPED_TRACE("cycle " + std::to_string(cycle));
    clickStart();
    ASSERT_EQ(statusPart(StatusOverall), "Waiting for data . . . . . . . . .");

    // A first stretch taken while the transfer runs...
    std::string cycleBytes = carried + nextBytes(2 + random() % 6);
    carried.clear();
    ASSERT_TRUE(instrument->send(cycleBytes));
    ASSERT_TRUE(waitUntil(
        [&] { return withoutLineEnds(fileContent(rawLog())) == withoutLineEnds(cycleBytes); },
        8000));

    // ...and a second one still arriving as Stop is pressed; the last run's
    // stream ends on a whole record so that nothing waits into another test.
    std::string late = nextBytes(1 + random() % 10);
    if (cycle + 1 < CyclesPerRun) carried = cutAnywhere(late);
    ASSERT_TRUE(instrument->send(late));
    cycleBytes += late;
    ASSERT_TRUE(waitUntil([&] { return arrived(cycleBytes); }, 8000));
    clickStop();
    expectControlsGivenBack();

    sent += cycleBytes;
    ASSERT_EQ(fileContent(csv), referenceCsv(sent));
    ASSERT_EQ(withoutLineEnds(fileContent(rawLog())), withoutLineEnds(cycleBytes));
  }
  EXPECT_EQ(countOf(fileContent(csv), "Feet"), static_cast<size_t>(next));
}

INSTANTIATE_TEST_SUITE_P(HundredInAll, StartStopCycles, ::testing::Range(0, Runs));
