#include "app/main_keys.h"

#include "app/control_ids.h"
#include "app/ezgui/ezgui.h"
#include "app/main_summary.h"
#include "help/help_window.h"
#include "output/output_choice.h"
#include "output/output_state.h"
#include "ports/port_list.h"
#include "ports/port_state.h"
#include "transfer/transfer_control.h"
#include "transfer/transfer_state.h"

namespace {

constexpr int ShowDropDown = 335;  // the combo box's "drop down" message

void focusPortList() {
  EZ_SETFOCUS(MainForm, IdPortList);
  EZ_SENDMESSAGE(MainForm, IdPortList, ShowDropDown, 1, 0);
}

// A typed name never sets FileChosen, so only a dialog-chosen file counts.
void startIfReady() {
  if (FileChosen == 1 && ChosenPortIndex > 0) startHandler();
}

void stopIfRunning() {
  if (TransferRunning == 1 && TransferStopped == 0) stopSequence();
}

void stopAndExit() {
  if (TransferRunning == 1) stopSequence();
  EZ_UNLOADFORM(MainForm);
}

}  // namespace

void keyboardCommand(int command) {
  switch (command) {
    case CmdHelp:
      showHelpWindow();
      break;
    case CmdChooseFile:
      chooseOutputFileByDialog();
      break;
    case CmdFocusPorts:
      focusPortList();
      break;
    case CmdStart:
      startIfReady();
      break;
    case CmdStop:
      stopIfRunning();
      break;
    case CmdExit:
      stopAndExit();
      break;
    case CmdRescan:
      scanPorts();
      break;
    case CmdSummary:
      summarizeOutputFile();
      break;
    default:
      break;
  }
}
