// The main window closed by the user while the instrument is still sending:
// the transfer is stopped on the way out, and what was received by then is
// in the CSV and the raw log, whole, with the port given back.
#include <gtest/gtest.h>

#include "output/output_state.h"
#include "ports/port_state.h"
#include "support/literal_converter.h"
#include "support/main_window.h"
#include "transfer/serial_link.h"
#include "transfer/transfer_state.h"

namespace {

std::string record(int i) {
  return "1,12/01/26,10:" + std::to_string(10 + i / 60 % 50) + ":" + std::to_string(10 + i % 50) +
         "," + std::to_string(i) + ".5,1.20,0.45,0,Meters\r\n";
}

std::string withoutLineEnds(std::string text) {
  std::erase(text, '\r');
  std::erase(text, '\n');
  return text;
}

std::string referenceCsv(const std::string& stream) {
  std::string pending;
  literal::convertChunk(pending, stream);
  std::string csv;
  for (const std::string& line : literal::writeOutRecords(pending)) csv += line;
  return csv;
}

class ClosingWhileReceiving : public ::testing::Test {
 protected:
  void SetUp() override {
    instrument = &program.addPort(3);
    program.start();
    csv = program.folder.path() + "river.csv";
  }

  MainWindowProgram program;
  PtyInstrument* instrument = nullptr;
  std::string csv;
};

}  // namespace

TEST_F(ClosingWhileReceiving, TheTransferStopsAndKeepsEverythingReceivedWhole) {
  ASSERT_TRUE(program.chooseFile(csv)->answered);
  pickListItem(0);
  clickWidget(program.control(IdStartButton));
  ASSERT_EQ(program.status(StatusOverall), "Waiting for data . . . . . . . . .");

  std::string stream = "\x85";
  for (int i = 0; i < 400; ++i) stream += record(i);  // some 20 s at the line's pace
  instrument->sendInBackground(stream, Pace::LineRate);
  ASSERT_TRUE(
      waitUntil([&] { return fileContent(csv).find("Meters\n1,") != std::string::npos; }, 10000));

  program.window()->close();
  EXPECT_TRUE(waitUntil([] { return EZ_ISFORM(MainForm, "E") == 0; }, 15000));
  EXPECT_EQ(TransferRunning, 0);
  EXPECT_EQ(TransferStopped, 1);
  EXPECT_FALSE(linkIsOpen()) << "the port is free for the next program";
  EXPECT_EQ(OutputFile.load(), -1);
  EXPECT_EQ(RawLog.load(), -1);

  const std::string logged = fileContent(program.folder.path() + "Raw.txt");
  const std::string taken = withoutLineEnds(logged);
  EXPECT_TRUE(withoutLineEnds(stream).starts_with(taken)) << "the raw log is not the stream";
  EXPECT_LT(taken.size(), withoutLineEnds(stream).size())
      << "the sending was over before the close";
  EXPECT_EQ(fileContent(csv), referenceCsv(logged));
}
