// A second copy of the program started while a first one transfers from the
// same instrument into the same file, in the same program folder. The first
// copy is this test program started again, running the transfer code on a
// form of its own in a process of its own.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "transfer/serial_link.h"
#include "transfer/transfer_form.h"

extern char** environ;

namespace {

using namespace std::chrono_literals;

// Set in the first copy's environment: its output file, and its program folder.
constexpr const char* FirstCopyFile = "MORVANE_TEST_FIRST_COPY_FILE";
constexpr const char* FirstCopyFolder = "MORVANE_TEST_FIRST_COPY_FOLDER";
constexpr const char* RunningLine = "running\n";

struct FormMaker : TransferFormTest {
  using TransferFormTest::makeForm;
};

// The first copy: starts a transfer from COM 3 into its file as the Start
// button does, says "running" once it runs, and stops as the Stop button
// does when its input ends. Its exit status says whether all of that went.
int runFirstCopy(const std::string& file, const std::string& folder) {
  ezSetProgramPath(folder + "morvane");
  FormMaker::makeForm();
  PortList[1] = PortEntry{"COM 3", 3, PortFree};
  PortCount = 1;
  ChosenPortIndex = 1;
  OutputFileName = file;
  FileChosen = 1;
  WriteMode = WriteAppend;
  startHandler();
  if (TransferRunning != 1 || OutputFile.load() < 0) return 2;
  if (write(STDOUT_FILENO, RunningLine, 8) != 8) return 3;
  pollfd input{STDIN_FILENO, POLLIN, 0};
  char byte;
  while (!(poll(&input, 1, 0) > 0 && read(STDIN_FILENO, &byte, 1) <= 0)) processEventsFor(50);
  stopSequence();
  return TransferStopped == 1 && !linkIsOpen() ? 0 : 4;
}

class FirstCopyRole : public ::testing::Environment {
 public:
  void SetUp() override {
    const char* file = std::getenv(FirstCopyFile);
    const char* folder = std::getenv(FirstCopyFolder);
    if (file && folder) std::_Exit(runFirstCopy(file, folder));
  }
};
[[maybe_unused]] ::testing::Environment* const FirstCopyRegistered =
    ::testing::AddGlobalTestEnvironment(new FirstCopyRole);

// The first copy's process, talked to through its standard input and output.
class FirstCopy {
 public:
  FirstCopy(const std::string& file, const std::string& folder) {
    int toChild[2], fromChild[2];
    if (pipe2(toChild, O_CLOEXEC) != 0 || pipe2(fromChild, O_CLOEXEC) != 0) return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, toChild[0], STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, fromChild[1], STDOUT_FILENO);
    const std::string self = "/proc/" + std::to_string(getpid()) + "/exe";
    const std::string fileSetting = std::string(FirstCopyFile) + "=" + file;
    const std::string folderSetting = std::string(FirstCopyFolder) + "=" + folder;
    std::vector<char*> env;
    for (char** e = environ; *e; ++e) env.push_back(*e);
    env.push_back(const_cast<char*>(fileSetting.c_str()));
    env.push_back(const_cast<char*>(folderSetting.c_str()));
    env.push_back(nullptr);
    char* argv[] = {const_cast<char*>(self.c_str()), nullptr};
    if (posix_spawn(&pid_, self.c_str(), &actions, nullptr, argv, env.data()) != 0) pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
    close(toChild[0]);
    close(fromChild[1]);
    input_ = toChild[1];
    output_ = fromChild[0];
  }
  ~FirstCopy() {
    if (pid_ > 0) end(10s);
    if (pid_ > 0) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
    if (input_ >= 0) close(input_);
    if (output_ >= 0) close(output_);
  }
  FirstCopy(const FirstCopy&) = delete;
  FirstCopy& operator=(const FirstCopy&) = delete;

  bool waitRunning(std::chrono::milliseconds limit) {
    std::string said;
    pollfd entry{output_, POLLIN, 0};
    const auto deadline = std::chrono::steady_clock::now() + limit;
    // The test program's own report comes first.
    while (!said.ends_with(RunningLine) && std::chrono::steady_clock::now() < deadline) {
      if (poll(&entry, 1, 100) <= 0) continue;
      char byte;
      if (read(output_, &byte, 1) != 1) return false;
      said += byte;
    }
    return said.ends_with(RunningLine);
  }
  // Asks the first copy to stop and end; its exit status, -1 when it did
  // not end in time.
  int end(std::chrono::milliseconds limit) {
    if (input_ >= 0) close(input_);
    input_ = -1;
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (pid_ > 0 && std::chrono::steady_clock::now() < deadline) {
      int status = 0;
      if (waitpid(pid_, &status, WNOHANG) == pid_) {
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
      }
      std::this_thread::sleep_for(20ms);
    }
    return -1;
  }
  pid_t pid() const { return pid_; }

 private:
  pid_t pid_ = -1;
  int input_ = -1;
  int output_ = -1;
};

class SecondCopy : public TransferFormTest {
 protected:
  void SetUp() override {
    TransferFormTest::SetUp();
    first = std::make_unique<FirstCopy>(csv, program.path());
    ASSERT_GT(first->pid(), 0);
    ASSERT_TRUE(first->waitRunning(15s)) << "the first copy did not start its transfer";
    ASSERT_TRUE(instrument->send(instrumentRecords(0, 3)));
    ASSERT_TRUE(waitUntil([&] { return fileContent(csv) == csvLines(0, 3); }, 8000));
  }
  void TearDown() override {
    TransferFormTest::TearDown();
    first.reset();
  }
  void expectFirstCopyUndisturbed() {
    ASSERT_TRUE(instrument->send(instrumentRecords(3, 2)));
    EXPECT_TRUE(waitUntil([&] { return fileContent(csv) == csvLines(0, 5); }, 8000))
        << fileContent(csv);
    EXPECT_EQ(first->end(15s), 0);
    EXPECT_EQ(fileContent(csv), csvLines(0, 5));
  }

  std::unique_ptr<FirstCopy> first;
};

}  // namespace

// Start on the port the first copy holds is refused with the failed-start
// message, and the second copy's port list shows the port as in use; the
// first copy goes on receiving.
TEST_F(SecondCopy, SeesTheFirstCopysPortInUseAndSaysItCannotStart) {
  DialogAnswer seen = clickStartAnsweringMessage();
  ASSERT_TRUE(seen->answered);
  EXPECT_EQ(seen->text, "Failed to start communications!");
  EXPECT_FALSE(linkIsOpen());
  EXPECT_EQ(OutputFile.load(), -1);
  clickStop();
  expectControlsGivenBack();

  clickWidget(choiceControl(IdRefreshButton));
  EXPECT_EQ(PortCount, 1);
  EXPECT_EQ(PortList[1].text, "COM 3 in use");
  EXPECT_EQ(PortList[1].state, PortInUse);
  expectFirstCopyUndisturbed();
}

// On a port of its own, the second copy cannot open the first one's output
// file: it says which file, and neither empties nor writes it, nor touches
// the raw log the first copy writes.
TEST_F(SecondCopy, SeesTheFirstCopysOutputFileLockedAndNamesIt) {
  PtyInstrument otherInstrument(ports, 4);
  PortList[1] = PortEntry{"COM 4", 4, PortFree};
  WriteMode = WriteOverwrite;
  DialogAnswer seen = clickStartAnsweringMessage();
  ASSERT_TRUE(seen->answered);
  EXPECT_EQ(seen->text, "An error occured while opening file:\n" + csv);
  EXPECT_FALSE(linkIsOpen()) << "the port is given back";
  EXPECT_EQ(fileContent(csv), csvLines(0, 3)) << "the first copy's file was emptied";
  EXPECT_EQ(withoutLineEnds(fileContent(rawLog())), withoutLineEnds(instrumentRecords(0, 3)));
  clickStop();
  expectControlsGivenBack();
  expectFirstCopyUndisturbed();

  // With the first copy gone, the same Start goes ahead.
  clickStart();
  EXPECT_EQ(statusPart(StatusOverall), "Waiting for data . . . . . . . . .");
  ASSERT_TRUE(otherInstrument.send(instrumentRecords(10, 2)));
  EXPECT_TRUE(waitUntil([&] { return fileContent(csv) == csvLines(10, 2); }, 8000));
  clickStop();
  expectControlsGivenBack();
}
