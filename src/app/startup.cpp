#include "app/startup.h"

#include "app/app_state.h"
#include "app/control_ids.h"
#include "app/ezgui/ezgui.h"
#include "app/main_events.h"
#include "app/main_layout.h"
#include "app/program_folder.h"
#include "help/help_window.h"
#include "output/output_state.h"
#include "output/readiness.h"
#include "ports/port_list.h"
#include "ports/port_state.h"
#include "ports/settings_file.h"
#include "transfer/transfer_state.h"

namespace {

constexpr int ArrowCursor = 49;
constexpr int WaitCursor = 50;

void allowEventKinds() {
  EZ_ALLOWCOMMANDEVENTS(1);
  EZ_ALLOWNOTIFYEVENTS(1);
  EZ_ALLOWKEYEVENTS(1);
  EZ_ALLOWMOUSEMOVEEVENTS(1);
  EZ_ALLOWCURSOREVENTS(1);
}

void defineFonts() {
  EZ_DEFFONT(6, "Courier New", 10, " L+F");
  EZ_DEFFONT(7, "Courier New", 10, "F");
  EZ_DEFFONT(8, "Times New Roman", 10, "V");
  EZ_DEFFONT(9, "Modern", 10, "V");
}

// Fixed values, not the desktop's: the captions in colour 33 stand on the
// form's own dark background picture, and a dark desktop theme's window
// colour made them unreadable there. 32 to 35 are the light menu, window,
// button and tooltip colours the window was drawn for.
void defineColours() {
  EZ_DEFCOLORL(32, 15790320);  // 240, 240, 240
  EZ_DEFCOLORL(33, 16777215);  // 255, 255, 255
  EZ_DEFCOLORL(34, 15790320);  // 240, 240, 240
  EZ_DEFCOLORL(35, 14811135);  // 255, 255, 225
  EZ_DEFCOLORL(36, 7651440);
  EZ_DEFCOLORL(37, 1809986);
  EZ_DEFCOLORL(38, 1991718);
  EZ_DEFCOLORL(39, 15044);
  EZ_DEFCOLORL(40, 7368788);
  EZ_DEFCOLORL(41, 16532301);
  EZ_DEFCOLORL(42, 3133648);
  EZ_DEFCOLORL(43, 336208);
}

void createMainForm() {
  EZ_DEFMAINMENU(IdSummaryMenu, "&Summary", "");
  EZ_DEFMAINMENU(IdHelpMenu, "&Help", "");
  EZ_COLOR(0, 40);
  EZ_ALLOWLOADINGEVENT(2);
  EZ_FORM(MainFormName, "", "Morvane Data Transfer Utility", 0, 0, 122, 40, "^_CZ");
}

void resetPortList() {
  for (PortEntry& entry : PortList) entry = PortEntry{};
  PortCount = 0;
}

void loadIcon() {
  AppIcon = EZ_LOADICON("$Prop1{T}");
  EZ_SETFORMICON(MainForm, AppIcon);
}

// The settings file lives beside the program when that folder can be
// written, else in the user's data folder, so the choice is never lost.
void readSavedPort() {
  SettingsPath = dataFolderFor(EZ_APPPATH()) + "MorvTran.ini";
  SavedPortNumber = readSettingsFile(SettingsPath);
}

void loadBackground() {
  BackgroundImage = EZ_IMAGEHANDLE(EZ_LOADPICTURE("$BG2"));
}

void prepareIncomingView() {
  EZ_SETRICHFONT(MainForm, IdIncomingView, "Tahoma", 10, "F", "", 0, 0);
  EZ_SETRICHTEXTLEN(MainForm, IdIncomingView, 10000);
}

void prepareStatusBar() {
  EZ_SETSBPARTS(MainForm, IdStatusBar, 3, "50|25|25");
  readinessOnLoaded();
  DotCount = -2;
}

void startInAppendMode() {
  WriteMode = WriteAppend;
  EZ_SETCHECK(MainForm, IdAppendRadio, 1);
  EZ_SETCHECK(MainForm, IdOverwriteRadio, 0);
}

void loadCursors() {
  EZ_LOADCURSOR(ArrowCursor, "#A");
  EZ_LOADCURSOR(WaitCursor, "#W");
}

}  // namespace

void startupRoutine(int) {
  helpInstallRtfRenderer();
  EZ_DEFIMAGEFOLDER("Graphics");
  allowEventKinds();
  defineFonts();
  defineColours();
  createMainForm();
}

void designRoutine(const std::string& formName) {
  if (formName == MainFormName) designMainWindow();
  if (formName == HelpFormName) designHelpWindow();
}

void eventRoutine(std::string& formName, int& controlId, int& eventCode, int& eventValue,
                  int& cancel) {
  if (formName == MainFormName) mainWindowEvents(controlId, eventCode, eventValue, cancel);
  if (formName == HelpFormName) helpWindowEvents(controlId, eventCode, eventValue, cancel);
}

void loadRoutine() {
  resetPortList();
  loadIcon();
  readSavedPort();
  scanPorts();
  loadBackground();
  EZ_DISABLEC(MainForm, IdStartButton);
  EZ_DISABLEC(MainForm, IdStopButton);
  prepareIncomingView();
  prepareStatusBar();
  startInAppendMode();
  loadCursors();
}
