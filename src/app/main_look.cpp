#include "app/main_look.h"

#include "app/control_ids.h"
#include "app/ezgui/ezgui.h"
#include "ports/port_list.h"
#include "ports/port_state.h"

std::string tooltipText(int id) {
  switch (id) {
    case IdChooseFileButton:
      return "Allows you to choose the path and location of the file where the data will be saved "
             "(Ctrl-F)";
    case IdAppendRadio:
      return "Append new data to selected file";
    case IdOverwriteRadio:
      return "Overwrite selected file with new data";
    case IdPortList:
      return "Choose a port from the list (Ctrl-P)";
    case IdStartButton:
      return "Open the COM port and wait for data (Ctrl-G)";
    case IdStopButton:
      return "Close COM port and save file (Ctrl-Z)";
    case IdFileNameBox:
      return "Type in a filename or click the button below";
    case IdRefreshButton:
      return "Look for new COM Ports (Ctrl-R)";
    default:
      return "";
  }
}

namespace {

std::string portListTooltip(int value) {
  if (value > 0) return portItemDescription(value - 1);
  const std::string usual = tooltipText(IdPortList);
  if (ChosenPortIndex < 1 || ChosenPortIndex > PortCount) return usual;
  const std::string& chosen = PortList[ChosenPortIndex].description;
  return chosen.empty() ? usual : chosen + "\n" + usual;
}

}  // namespace

void answerTooltip(int id, int value) {
  const std::string text = id == IdPortList ? portListTooltip(value) : tooltipText(id);
  if (!text.empty()) EZ_SETTOOLTIP(text);
}

namespace {

// Palette colour of each owner-drawn button; 0 for controls that are none.
int buttonColour(int id) {
  switch (id) {
    case IdChooseFileButton:
      return 22;
    case IdStartButton:
      return 18;
    case IdStopButton:
      return 12;
    case IdRefreshButton:
      return 22;
    default:
      return 0;
  }
}

}  // namespace

void drawOwnerButton(int id, int drawRecord) {
  const int colour = buttonColour(id);
  if (colour == 0) return;
  EZ_DRAW3DBUTTON(MainForm, id, drawRecord, colour, 0, EZ_ODIFONT());
}
