#include "app/main_layout.h"

#include "app/app_state.h"
#include "app/control_ids.h"
#include "app/ezgui/ezgui.h"

namespace {

constexpr float PathLabelRow = 6;
constexpr float PathLabelHeight = 1.5;

void useLook(int foreground, int background, const char* face, float points, const char* props) {
  EZ_COLOR(foreground, background);
  EZ_USEIFONT(face, points, props);
}

void fileRow() {
  useLook(15, 15, "Tahoma", 12, "BV");
  EZ_LABEL(MainForm, IdPathLabel, "Path and name of the file where the incoming data will be saved",
           3.625, PathLabelRow, 86.5, PathLabelHeight, "IL");
  useLook(0, 22, "Tahoma", 11, "BV");
  EZ_ODBUTTON(MainForm, IdChooseFileButton, "Choose Path and File", 4, 9.9f, 24.75, 2, "T");
  EZ_ADDTOOLTIP(MainForm, IdChooseFileButton);
  useLook(-1, -1, "Tahoma", 10, "L+V");
  EZ_RADIO(MainForm, IdAppendRadio, "", 31.5, 10.1f, 1.75, 1.125, "GIT");
  EZ_ADDTOOLTIP(MainForm, IdAppendRadio);
  useLook(-1, -1, "Tahoma", 10, "L+V");
  EZ_RADIO(MainForm, IdOverwriteRadio, "", 45.625, 10.1f, 1.75, 1.125, "GIT");
  EZ_ADDTOOLTIP(MainForm, IdOverwriteRadio);
}

void portRow() {
  useLook(-1, -1, "Tahoma", 12, "BV");
  EZ_SUBCLASS(2);
  EZ_COMBOBOX(MainForm, IdPortList, "COM 1|COM 2|COM 3|COM 4", 40.625, 13.5, 23.75, 14.5, "AJTV");
  EZ_SUBCLASS(0);
  EZ_SELECTITEM(MainForm, IdPortList, 0);
  EZ_ADDTOOLTIP(MainForm, IdPortList);
  useLook(0, 18, "Tahoma", 11, "BV");
  EZ_ODBUTTON(MainForm, IdStartButton, "Start", 73.125, 13.9f, 13.75, 2, "T");
  EZ_ADDTOOLTIP(MainForm, IdStartButton);
  useLook(0, 12, "Tahoma", 11, "BV");
  EZ_ODBUTTON(MainForm, IdStopButton, "Stop", 89.5, 13.95f, 13.75, 2, "T");
  EZ_ADDTOOLTIP(MainForm, IdStopButton);
}

void fileBoxAndRefresh() {
  useLook(-1, -1, "Tahoma", 11, "BV");
  EZ_TEXT(MainForm, IdFileNameBox, "", 2.375, FileBoxRow, 117.375, 1.75, "EST");
  EZ_ADDTOOLTIP(MainForm, IdFileNameBox);
  useLook(0, 22, "Tahoma", 9, "L+V");
  EZ_ODBUTTON(MainForm, IdRefreshButton, "Refresh Port List", 24, 13.55f, 14.75, 1.375, "");
  EZ_ADDTOOLTIP(MainForm, IdRefreshButton);
  useLook(15, 15, "Tahoma", 12, "BV");
  EZ_LABEL(MainForm, IdPortLabel, "Available COM Ports", 40.875, 12, 23.5, 1.5, "CI");
}

void incomingData() {
  EZ_COLOR(-1, -1);
  EZ_USEFONT(4);
  EZ_ALLOWLOADINGEVENT(2);
  EZ_RICHTEXT2(MainForm, IdIncomingView, 0.625, 18, 120.375, 24, "ASV");
  EZ_SETRICHTEXT(MainForm, IdIncomingView, "", 0, 0);
  useLook(15, 15, "Tahoma", 12, "BV");
  EZ_LABEL(MainForm, IdIncomingLabel, "Incoming data", 3.125, 15.9375, 38, 1.5, "IL");
}

// The logo is loaded once, however often the form is made.
void logo() {
  EZ_COLOR(-1, -1);
  EZ_USEFONT(6);
  if (LogoPicture.empty()) LogoPicture = EZ_LOADPICTURE("$MORVANE1");
  EZ_PICTURE(MainForm, IdLogo, LogoPicture, 33.25, 0.5, 55.625, 5.125, "R");
}

void modeCaptions() {
  useLook(33, 15, "Tahoma", 10, "BV");
  EZ_LABEL(MainForm, IdAppendLabel, "Append", 34.25, 10.1f, 9.5, 1.125, "IL");
  useLook(33, 15, "Tahoma", 10, "BV");
  EZ_LABEL(MainForm, IdOverwriteLabel, "Overwrite", 48.375, 10.1f, 9.5, 1.125, "IL");
}

void statusBar() {
  EZ_COLOR(-1, -1);
  EZ_USEFONT(4);
  EZ_ALLOWLOADINGEVENT(2);
  EZ_STATUSBAR(MainForm, IdStatusBar, "", "");
}

}  // namespace

void designMainWindow() {
  FileBoxRow = PathLabelRow + PathLabelHeight + 0.1f;
  fileRow();
  portRow();
  fileBoxAndRefresh();
  incomingData();
  logo();
  modeCaptions();
  statusBar();
}
