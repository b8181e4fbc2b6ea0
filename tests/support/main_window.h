// The real program's main window, started as EZ_GUIRUN starts it, in a
// program folder of its own with pseudo-terminal instruments as its ports.
#pragma once

#include <QApplication>
#include <memory>
#include <string>
#include <vector>

#include "app/control_ids.h"
#include "app/ezgui/ezgui.h"
#include "app/ezgui/qt/ezgui_readback.h"
#include "app/startup.h"
#include "support/choice_form.h"
#include "support/gui_test_support.h"
#include "support/pty_instrument.h"

class MainWindowProgram {
 public:
  MainWindowProgram() {
    ezSetProgramPath(folder.path() + "morvane");
    ezInstallRoutines(eventRoutine, designRoutine);
  }
  ~MainWindowProgram() {
    if (EZ_ISFORM(MainForm, "E")) EZ_UNLOADFORM(MainForm);
  }
  MainWindowProgram(const MainWindowProgram&) = delete;
  MainWindowProgram& operator=(const MainWindowProgram&) = delete;

  // The library's call of the start-up routine, which makes the window;
  // then, as a user would, wait until the window system has given it the
  // keyboard.
  void start() {
    startupRoutine(0);
    waitUntilActive();
  }
  // The window system gives the main window the keyboard again (after it
  // appeared, or after a dialog over it closed).
  void waitUntilActive() {
    if (!waitUntil([this] { return QApplication::activeWindow() == window(); }, 3000))
      ADD_FAILURE() << "the main window never became the active window";
  }

  PtyInstrument& addPort(int portNumber) {
    instruments.push_back(std::make_unique<PtyInstrument>(ports, portNumber));
    return *instruments.back();
  }
  void writeSettings(const std::string& content) {
    std::ofstream(folder.path() + "MorvTran.ini", std::ios::binary) << content;
  }

  QWidget* control(int id) { return ezWidget(MainForm, id); }
  QWidget* window() { return ezWidget(MainForm, IdFormItself); }
  std::string status(int part) { return ezStatusText(MainForm, IdStatusBar, part); }
  bool enabled(int id) { return ezIsEnabled(MainForm, id); }
  // Ctrl and a key, typed wherever the keyboard is at that moment.
  void ctrl(Qt::Key key) { typeKey(key, Qt::ControlModifier); }

  // Ctrl+F and the real dialog, answered with `path`.
  DialogAnswer chooseFile(const std::string& path) {
    DialogAnswer seen = answerNextSaveDialog(path);
    ctrl(Qt::Key_F);
    waitUntilActive();
    return seen;
  }

  ChoiceTempFolder folder;  // the program's own folder
  PortFolder ports;         // destroyed after the instruments below
  std::vector<std::unique_ptr<PtyInstrument>> instruments;
};
