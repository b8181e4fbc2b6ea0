// A main form with the controls a transfer's start and stop switch (file
// box, port list, Refresh, Start, Stop, the incoming-data view and the
// status bar), Start and Stop routed to the transfer as the main window
// routes them, and a pseudo-terminal instrument chosen as the port.
#pragma once

#include <linux/capability.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <mutex>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "output/output_state.h"
#include "ports/port_state.h"
#include "support/choice_form.h"
#include "support/literal_converter.h"
#include "support/pty_instrument.h"
#include "transfer/transfer_control.h"
#include "transfer/transfer_state.h"

inline constexpr int ViewLimit = 10000;

inline void designTransferForm(const std::string& form) {
  designChoiceForm(form);
  if (form == MainFormName) EZ_RICHTEXT2(MainForm, IdIncomingView, 1, 26, 120, 12, "ASV");
}

inline void routeTransferEvent(const GuiEvent& e, int& cancel) {
  if (e.form == MainFormName && e.code == EzClick && e.id == IdStartButton) startHandler();
  if (e.form == MainFormName && e.code == EzClick && e.id == IdStopButton) stopSequence();
  routeChoiceEvent(e, cancel);
}

// A record as the instrument sends it; `i` makes each one different.
inline std::string instrumentRecord(int i) {
  char text[80];
  std::snprintf(text, sizeof text, "1,12/01/26,10:%02d:%02d,%d.5,1.20,0.45,0,Feet\r\n", i / 60 % 60,
                i % 60, i);
  return text;
}

// Records first..first+count-1 as the instrument sends them.
inline std::string instrumentRecords(int first, int count) {
  std::string all;
  for (int i = first; i < first + count; ++i) all += instrumentRecord(i);
  return all;
}

// The same records as CSV lines.
inline std::string csvLines(int first, int count) {
  std::string lines;
  for (int i = first; i < first + count; ++i) {
    std::string line = instrumentRecord(i);
    line.resize(line.size() - 2);
    lines += line + "\n";
  }
  return lines;
}

// What the plain whole-text conversion makes of everything in `stream`:
// the CSV lines of its complete records.
inline std::string referenceCsv(const std::string& stream) {
  std::string pending;
  literal::convertChunk(pending, stream);
  std::string csv;
  for (const std::string& line : literal::writeOutRecords(pending)) csv += line;
  return csv;
}

inline size_t countOf(const std::string& text, const std::string& what) {
  size_t n = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

inline std::string withoutLineEnds(std::string text) {
  std::erase(text, '\r');
  std::erase(text, '\n');
  return text;
}

inline void writeFile(const std::string& path, const std::string& content) {
  std::ofstream(path, std::ios::binary) << content;
}

// Whether another program could take the file's lock now (it tries in a
// child process of its own and gives it up at once).
inline bool lockableByAnotherProgram(const std::string& path) {
  try {
    PortHolder other(path, HoldKind::Flock);
    return true;
  } catch (const std::runtime_error&) {
    return false;
  }
}

// Root may write into any folder whatever its mode says. Without that
// privilege this thread (and the threads it starts) is held to folder
// modes as an ordinary user is, so a folder made read-only really is.
inline bool holdToFolderModes() {
  __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
  __user_cap_data_struct data[_LINUX_CAPABILITY_U32S_3] = {};
  if (syscall(SYS_capget, &header, data) != 0) return false;
  const unsigned override = 1u << CAP_DAC_OVERRIDE;  // in the first word
  data[0].effective &= ~override;
  data[0].permitted &= ~override;
  data[0].inheritable &= ~override;
  return syscall(SYS_capset, &header, data) == 0;
}

// A folder without write permission while this lives (its owner may still
// change the mode back, so it can be removed afterwards).
class ReadOnlyFolder {
 public:
  explicit ReadOnlyFolder(std::string path) : path_(std::move(path)) { chmod(path_.c_str(), 0555); }
  ~ReadOnlyFolder() { chmod(path_.c_str(), 0755); }
  ReadOnlyFolder(const ReadOnlyFolder&) = delete;
  ReadOnlyFolder& operator=(const ReadOnlyFolder&) = delete;

 private:
  std::string path_;
};

// Ends the test program, failed, when a call that must return does not.
class CallWatchdog {
 public:
  explicit CallWatchdog(std::chrono::seconds limit)
      : thread_([this, limit] {
          std::unique_lock<std::mutex> lock(mutex_);
          if (!doneChanged_.wait_for(lock, limit, [this] { return done_; })) {
            std::fprintf(stderr, "watchdog: the call under test did not return\n");
            std::_Exit(1);
          }
        }) {}
  ~CallWatchdog() {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      done_ = true;
    }
    doneChanged_.notify_all();
    thread_.join();
  }
  CallWatchdog(const CallWatchdog&) = delete;
  CallWatchdog& operator=(const CallWatchdog&) = delete;

 private:
  std::mutex mutex_;
  std::condition_variable doneChanged_;
  bool done_ = false;
  std::thread thread_;
};

// The form as a user leaves it just before Start: the output file chosen in
// the program's own folder, COM 3 (the instrument) chosen, Start enabled.
class TransferFormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ezSetProgramPath(program.path() + "morvane");
    makeForm();
    instrument = std::make_unique<PtyInstrument>(ports, 3);
    PortList[1] = PortEntry{"COM 3", 3, PortFree};
    PortCount = 1;
    ChosenPortIndex = 1;
    csv = program.path() + "river.csv";
    OutputFileName = csv;
    FileChosen = 1;
    // As picking the port last leaves the window (lower-case s).
    EZ_ENABLEC(MainForm, IdStartButton);
    EZ_SETSBTEXT(MainForm, IdStatusBar, StatusOverall, "Ready to start", "P");
  }
  void TearDown() override {
    if (TransferRunning == 1) stopSequence();
  }

  static void makeForm() {
    installEventLog();
    TestEvents.design = designTransferForm;
    TestEvents.react = routeTransferEvent;
    EZ_FORM(MainFormName, "", "Morvane Data Transfer Utility", 0, 0, 122, 40, "^_CZ");
    EZ_SETSBPARTS(MainForm, IdStatusBar, 3, "50|25|25");
    EZ_SETRICHTEXTLEN(MainForm, IdIncomingView, ViewLimit);
    readinessOnLoaded();
  }

  void clickStart() { clickWidget(choiceControl(IdStartButton)); }
  void clickStop() { clickWidget(choiceControl(IdStopButton)); }
  // Start, with the message the start shows answered; what the test saw.
  DialogAnswer clickStartAnsweringMessage() {
    DialogAnswer seen = answerNextMessageBox(8000);
    clickStart();
    return seen;
  }
  DialogAnswer clickStopAnsweringMessage() {
    DialogAnswer seen = answerNextMessageBox(8000);
    clickStop();
    return seen;
  }

  bool enabled(int id) { return ezIsEnabled(MainForm, id); }
  std::string view() { return ezText(MainForm, IdIncomingView); }
  std::string rawLog() { return program.path() + "Raw.txt"; }

  // Start and Stop as a running transfer (or a failed start) leaves them,
  // and the boxes a transfer locks.
  void expectTransferControls() {
    EXPECT_FALSE(enabled(IdStartButton));
    EXPECT_TRUE(enabled(IdStopButton));
    EXPECT_FALSE(enabled(IdFileNameBox));
    EXPECT_FALSE(enabled(IdPortList));
    EXPECT_FALSE(enabled(IdRefreshButton));
    EXPECT_TRUE(enabled(IdChooseFileButton));
    EXPECT_TRUE(enabled(IdAppendRadio));
    EXPECT_TRUE(enabled(IdOverwriteRadio));
  }
  void expectControlsGivenBack() {
    EXPECT_EQ(statusPart(StatusOverall), "Ready To Start");
    EXPECT_TRUE(enabled(IdStartButton));
    EXPECT_FALSE(enabled(IdStopButton));
    EXPECT_TRUE(enabled(IdFileNameBox));
    EXPECT_TRUE(enabled(IdPortList));
    EXPECT_TRUE(enabled(IdRefreshButton));
  }

  ChoiceTempFolder program;  // the program's own folder
  PortFolder ports;          // outlives the instrument
  std::unique_ptr<PtyInstrument> instrument;
  std::string csv;
};
