// Settings files that no run of the program wrote: empty, binary, numbers
// out of range, blanks, a line that never ends, a folder or a named pipe
// where the file should be. The real program starts on each: a file that
// names no port in the accepted form chooses none, and the program neither
// stops nor hangs; picking a port afterwards still works.
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <random>
#include <string>

#include <gtest/gtest.h>

#include "ports/port_state.h"
#include "support/main_window.h"

namespace {

volatile std::sig_atomic_t AlarmsRung = 0;

std::string randomBytes(size_t count, unsigned seed) {
  std::mt19937 random(seed);
  std::string bytes(count, '\0');
  for (char& c : bytes) c = static_cast<char>(random() & 0xFF);
  return bytes;
}

std::string settingsPath(MainWindowProgram& program) {
  return program.folder.path() + "MorvTran.ini";
}

// Starts the program with COM 3 present and `content` as its settings file;
// returns the port text part 3 shows.
std::string startWith(const std::string& content) {
  MainWindowProgram program;
  program.addPort(3);
  program.writeSettings(content);
  program.start();
  return program.status(StatusPort);
}

}  // namespace

TEST(SettingsFileFaults, ContentNamingNoPortChoosesNone) {
  const std::string cases[] = {
      "",
      "\r\n",
      randomBytes(4096, 1),
      std::string(1, '\0') + "3\r\n",
      "99999999999999999999999999999999\r\n",
      "4294967299\r\n",  // 3 once cut to 32 bits
      "65539\r\n",       // 3 once cut to 16 bits
      "-3\r\n",
      "-65533\r\n",  // 3 as a 16-bit number
      "   3\r\n",
      "3 4\r\n",
      "3.5\r\n",
      std::string(100000, 'x'),
      std::string(100000, ' '),
  };
  for (const std::string& content : cases) {
    EXPECT_EQ(startWith(content), "Port not chosen")
        << "content of " << content.size() << " bytes: " << content.substr(0, 40);
    EXPECT_EQ(SavedPortNumber, 0);
    EXPECT_EQ(ChosenPortIndex, 0);
  }
}

TEST(SettingsFileFaults, LongLinesThatStillNameThePort) {
  // 100,000 bytes and no line end: the number, then blanks; or zeros first.
  EXPECT_EQ(startWith("3" + std::string(99999, ' ')), "COM 3 chosen");
  EXPECT_EQ(startWith(std::string(99999, '0') + "3"), "COM 3 chosen");
  EXPECT_EQ(startWith("3\r\n" + randomBytes(100000, 2)), "COM 3 chosen");
}

TEST(SettingsFileFaults, FolderInItsPlace) {
  MainWindowProgram program;
  program.addPort(3);
  std::filesystem::create_directory(settingsPath(program));
  program.start();
  EXPECT_EQ(program.status(StatusPort), "Port not chosen");
  // The pick takes effect; only its saving is lost.
  pickListItem(0);
  EXPECT_EQ(program.status(StatusPort), "COM 3 chosen");
  EXPECT_EQ(ChosenPortIndex, 1);
  EXPECT_TRUE(std::filesystem::is_directory(settingsPath(program)));
}

TEST(SettingsFileFaults, NamedPipeInItsPlaceNeitherHangsStartNorThePick) {
  MainWindowProgram program;
  program.addPort(3);
  const std::string pipe = settingsPath(program);
  ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
  // Should the program wait on the pipe for a writer or a reader, an alarm
  // breaks the wait after a while, so that the test ends, and tells.
  AlarmsRung = 0;
  struct sigaction ring {};
  ring.sa_handler = [](int) { AlarmsRung = AlarmsRung + 1; };
  ring.sa_flags = 0;  // no restart: a waiting open() gives up
  struct sigaction before {};
  ASSERT_EQ(sigaction(SIGALRM, &ring, &before), 0);
  alarm(5);
  program.start();
  EXPECT_EQ(program.status(StatusPort), "Port not chosen");
  alarm(5);
  pickListItem(0);
  EXPECT_EQ(program.status(StatusPort), "COM 3 chosen");
  alarm(0);
  sigaction(SIGALRM, &before, nullptr);
  EXPECT_EQ(AlarmsRung, 0) << "the program waited on the pipe";
}
