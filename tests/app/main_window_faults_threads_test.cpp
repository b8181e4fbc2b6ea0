// The main window closed by the user while the instrument is still sending:
// the transfer is stopped on the way out, and what was received by then is
// in the CSV and the raw log, whole, with the port given back. And Start
// pressed while a worker that Stop stopped waiting for still runs.
#include <gtest/gtest.h>

#include "output/output_state.h"
#include "ports/port_state.h"
#include "support/literal_converter.h"
#include "support/main_window.h"
#include "transfer/pipe_reader.h"
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

const std::string Waiting = "Waiting for data . . . . . . . . .";

// The output file is a pipe whose reader has stopped reading, and a write
// may wait for it far longer than Stop waits: a write that does not return.
class StuckWorker : public ClosingWhileReceiving {
 protected:
  void TearDown() override { OutputWriteWaitMs = DefaultOutputWriteWaitMs; }
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

// Stop lets go of a worker stuck in a write. That worker still holds the
// port and both files, so Start (button and Ctrl+G) is refused and says
// why; once its write returns it ends, without taking up its loop again,
// and gives everything back itself; then Start works as usual.
TEST_F(StuckWorker, StartIsRefusedUntilTheWorkerStopLetGoHasEndedAndGivenAllBack) {
  const std::string fifo = program.folder.path() + "stalled.csv";
  PipeReader reader(fifo);
  const size_t capacity = reader.shrink();
  ASSERT_GT(capacity, 0u);
  OutputWriteWaitMs = 600000;
  ASSERT_TRUE(program.chooseFile(fifo)->answered);
  pickListItem(0);
  clickWidget(program.control(IdStartButton));
  ASSERT_EQ(program.status(StatusOverall), Waiting);
  std::string records;
  for (int i = 0; i < 200; ++i) records += record(i);
  ASSERT_TRUE(instrument->send(records));
  ASSERT_TRUE(waitUntil([&] { return reader.unread() + record(0).size() > capacity; }, 8000));

  DialogAnswer hung = answerNextMessageBox(20000);
  program.ctrl(Qt::Key_Z);
  ASSERT_TRUE(hung->answered);
  ASSERT_EQ(hung->text,
            "The output file stopped taking data! The transfer was stopped without waiting for "
            "it:\n" +
                fifo);
  ASSERT_TRUE(linkIsOpen()) << "the worker still holds the port";

  for (const bool byKey : {false, true}) {
    program.waitUntilActive();
    DialogAnswer refused = answerNextMessageBox(8000);
    if (byKey) {
      program.ctrl(Qt::Key_G);
    } else {
      clickWidget(program.control(IdStartButton));
    }
    ASSERT_TRUE(refused->answered) << (byKey ? "Ctrl+G" : "Start");
    EXPECT_EQ(refused->text,
              "Cannot start yet! The last transfer still holds the port while it waits for its "
              "output file to answer. Make that file's disk or network share answer again, or "
              "close the program, then press Start. The file:\n" +
                  fifo);
    EXPECT_EQ(TransferRunning, 0);
    EXPECT_EQ(program.status(StatusOverall), "Ready To Start");
    EXPECT_TRUE(program.enabled(IdStartButton));
    EXPECT_FALSE(program.enabled(IdStopButton));
  }
  EXPECT_EQ(instrument->received(), std::string("\0\r\n", 3)) << "the port was opened again";

  // The reader reads again: the write returns, and the worker ends.
  ASSERT_TRUE(waitUntil(
      [&] {
        reader.readAvailable();
        return !linkIsOpen();
      },
      10000))
      << "the worker took up its loop again";
  EXPECT_EQ(OutputFile.load(), -1);
  EXPECT_EQ(RawLog.load(), -1);
  processEventsFor(300);
  EXPECT_EQ(program.status(StatusOverall), "Ready To Start") << "the worker wrote after Stop";

  const std::string next = program.folder.path() + "next.csv";
  ASSERT_TRUE(program.chooseFile(next)->answered);
  clickWidget(program.control(IdStartButton));
  ASSERT_EQ(program.status(StatusOverall), Waiting);
  ASSERT_TRUE(instrument->send(record(400)));
  EXPECT_TRUE(waitUntil([&] { return fileContent(next) == referenceCsv(record(400)); }, 8000));
  program.ctrl(Qt::Key_Z);
  EXPECT_EQ(program.status(StatusOverall), "Ready To Start");
  EXPECT_FALSE(linkIsOpen());
}
