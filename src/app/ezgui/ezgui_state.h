// The program-side state of the GUI layer as the contract sees it, the same
// on every platform: the settings that apply to the next forms and
// controls, and the part of a form every backend keeps. A backend's own
// form (qt/ezgui_state.h, win32/ezgui_win32_state.h) adds its toolkit's
// windows to it. GUI thread only.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/ezgui/ezgui.h"

struct EzMenuItem {
  int command = 0;
  std::string text;
};

// Set by the program for the forms and controls it creates next.
struct EzNextSettings {
  int foreground = -1;
  int background = -1;
  bool loadingEventNext = false;  // EZ_ALLOWLOADINGEVENT(2): event 85 next
  int subclassMode = 0;
  std::vector<EzMenuItem> menu;  // the menu bar of the next form
};
extern EzNextSettings EzNext;

struct EzProgramForms {
  // The main form: the first form EZ_FORM created without a parent. The
  // message loop ends when it goes.
  std::string mainFormKey;
};
extern EzProgramForms EzForms;

enum class EzKind {
  Label,
  OwnerButton,
  Radio,
  ComboBox,
  TextBox,
  MultiLine,
  RichView,
  Picture,
  StatusBar,
};

// The part of a control every backend keeps.
struct EzControlBase {
  int id = 0;
  EzKind kind = EzKind::Label;
  // Numbered colours as EZ_COLOR set them when the control was made (-1:
  // the toolkit's); a transparent label shows the form's background.
  int foreground = -1;
  int background = -1;
  bool transparent = false;
  // Multi-line text as the program last wrote it, line ends included, so
  // that reading it back gives exactly those bytes.
  std::string programText;
  int richLimit = 0;         // characters the rich view keeps; 0: no limit
  bool fillsClient = false;  // follows the size of the form (debug form text)
};

struct EzFormBase {
  std::string name;       // as created; events report it
  std::string parentKey;  // lower-case name of the owner form, "" for none
  int serial = 0;         // tells a form from a later one of the same name
  int foreground = -1;
  int background = -1;
  bool threadRunning = false;  // the form's library thread was started
  int tickPeriodMs = 0;        // EZ_SETTICKS; 0: no ticks
  bool goingAway = false;
  bool clearOfMain = false;  // a debug form: placed off the main window's controls
};

// Forms are addressed by name in any letter case: the registry key is the
// lower-case name.
std::string ezKey(const std::string& name);

// The forms a backend knows, by registry key.
template <class Form>
using EzFormRegistry = std::map<std::string, std::unique_ptr<Form>>;

template <class Form>
Form* ezFormNamed(const EzFormRegistry<Form>& forms, const std::string& name) {
  const auto it = forms.find(ezKey(name));
  return it == forms.end() ? nullptr : it->second.get();
}

template <class Form>
Form* ezFormWithSerial(const EzFormRegistry<Form>& forms, int serial) {
  for (const auto& [key, form] : forms) {
    if (form->serial == serial) return form.get();
  }
  return nullptr;
}

// Calls the event routine under the form's name as created, with copies of
// the values (the routine may write them, and may unload the form); returns
// the cancel flag the routine left.
int ezCallEventRoutine(EzEventRoutine routine, const EzFormBase& form, int id, int code, int value);
