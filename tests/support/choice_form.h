// A main form holding just the controls that the port and output-file
// choices drive, with events routed to their handlers as the main window
// routes them. For tests of those choices on real widgets.
#pragma once

#include <QComboBox>
#include <QWidget>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>

#include "app/control_ids.h"
#include "app/ezgui/ezgui.h"
#include "app/ezgui/qt/ezgui_readback.h"
#include "output/output_choice.h"
#include "output/readiness.h"
#include "ports/port_list.h"
#include "support/gui_event_log.h"
#include "support/gui_test_support.h"

inline constexpr int ArrowCursor = 49;
inline constexpr int WaitCursor = 50;

inline void designChoiceForm(const std::string& form) {
  if (form != MainFormName) return;
  EZ_ODBUTTON(MainForm, IdChooseFileButton, "Choose Path and File", 2, 2, 30, 3, "");
  EZ_RADIO(MainForm, IdAppendRadio, "Append", 2, 6, 14, 2, "");
  EZ_RADIO(MainForm, IdOverwriteRadio, "Overwrite", 18, 6, 14, 2, "");
  EZ_COMBOBOX(MainForm, IdPortList, "COM 1|COM 2|COM 3|COM 4", 2, 9, 20, 8, "");
  EZ_ODBUTTON(MainForm, IdStartButton, "Start", 2, 18, 12, 3, "");
  EZ_ODBUTTON(MainForm, IdStopButton, "Stop", 16, 18, 12, 3, "");
  EZ_TEXT(MainForm, IdFileNameBox, "", 2, 22, 80, 2, "");
  EZ_ODBUTTON(MainForm, IdRefreshButton, "Refresh Port List", 24, 9, 20, 3, "");
  EZ_STATUSBAR(MainForm, IdStatusBar, "", "");
}

inline void routeChoiceEvent(const GuiEvent& e, int&) {
  if (e.form != MainFormName) return;
  if (e.id == IdPortList && e.code == EzSelectionChanged) onPortPicked(e.value);
  if (e.id == IdFileNameBox && e.code == EzTextEdited) onFileNameEdited();
  if (e.code != EzClick) return;
  if (e.id == IdChooseFileButton) chooseOutputFileByDialog();
  if (e.id == IdAppendRadio) onAppendChosen();
  if (e.id == IdOverwriteRadio) onOverwriteChosen();
  if (e.id == IdRefreshButton) scanPorts();
}

// The form as the program's start-up leaves it: status bar split, cursors
// loaded, Start and Stop off, start-up texts, Append checked.
inline void makeChoiceForm() {
  installEventLog();
  TestEvents.design = designChoiceForm;
  TestEvents.react = routeChoiceEvent;
  EZ_FORM(MainFormName, "", "Morvane Data Transfer Utility", 0, 0, 122, 40, "^_CZ");
  EZ_SETSBPARTS(MainForm, IdStatusBar, 3, "50|25|25");
  EZ_LOADCURSOR(ArrowCursor, "#A");
  EZ_LOADCURSOR(WaitCursor, "#W");
  readinessOnLoaded();
  EZ_SETCHECK(MainForm, IdAppendRadio, 1);
  EZ_SETCHECK(MainForm, IdOverwriteRadio, 0);
}

inline QWidget* choiceControl(int id) {
  return ezWidget(MainForm, id);
}

inline std::string statusPart(int part) {
  return ezStatusText(MainForm, IdStatusBar, part);
}

// Picks list item `index` from the keyboard, one arrow key per step, as a
// user would: every step is a pick of its own.
inline void pickListItem(int index) {
  auto* combo = qobject_cast<QComboBox*>(choiceControl(IdPortList));
  if (!combo) return;
  combo->setFocus();
  while (combo->currentIndex() < index) {
    const int before = combo->currentIndex();
    pressKey(combo, Qt::Key_Down);
    if (combo->currentIndex() == before) return;
  }
  while (combo->currentIndex() > index) {
    const int before = combo->currentIndex();
    pressKey(combo, Qt::Key_Up);
    if (combo->currentIndex() == before) return;
  }
}

// The user types into the (emptied) file-name box.
inline void typeFileName(const std::string& text) {
  QWidget* box = choiceControl(IdFileNameBox);
  EZ_SETTEXT(MainForm, IdFileNameBox, "");
  box->setFocus();
  typeText(box, text);
}

// A fresh folder, removed with everything in it when it goes. Its path ends
// in "/", as folder parts do.
class ChoiceTempFolder {
 public:
  ChoiceTempFolder() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "morvane-choice-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    path_ = pattern + "/";
  }
  ~ChoiceTempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  ChoiceTempFolder(const ChoiceTempFolder&) = delete;
  ChoiceTempFolder& operator=(const ChoiceTempFolder&) = delete;

  const std::string& path() const { return path_; }
  // A sub-folder, made on the way.
  std::string folder(const std::string& name) const {
    std::filesystem::create_directories(path_ + name);
    return path_ + name + "/";
  }

 private:
  std::string path_;
};

// The whole content of a file, "<none>" when it does not exist.
inline std::string fileContent(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return "<none>";
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// The user clicks "Choose Path and File" and enters `path` in the dialog.
inline DialogAnswer chooseFileInDialog(const std::string& path) {
  DialogAnswer seen = answerNextSaveDialog(path);
  clickWidget(choiceControl(IdChooseFileButton));
  return seen;
}

// The user clicks "Choose Path and File" and cancels the dialog.
inline DialogAnswer cancelFileDialog() {
  DialogAnswer seen = cancelNextSaveDialog();
  clickWidget(choiceControl(IdChooseFileButton));
  return seen;
}
