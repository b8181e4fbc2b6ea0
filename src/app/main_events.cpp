#include "app/main_events.h"

#include "app/control_ids.h"
#include "app/ezgui/ezgui.h"
#include "app/main_form.h"
#include "app/main_keys.h"
#include "app/main_look.h"
#include "app/main_summary.h"
#include "diag/debug_trace.h"
#include "help/help_window.h"
#include "output/output_choice.h"
#include "ports/port_list.h"
#include "transfer/transfer_control.h"

namespace {

constexpr int PortFollowPeriodMs = 1000;

void helpMenuEvent(int code) {
  if (code == EzClick) openHelpDocument();
}

void portListEvent(int code, int value) {
  if (code == EzSelectionChanged) onPortPicked(value);
  if (code == EzListDropsDown) debugTrace("Dropping");
}

void fileNameBoxEvent(int code) {
  if (code == EzTextEdited) onFileNameEdited();
}

void onClick(int code, void (*action)()) {
  if (code == EzClick) action();
}

void libraryThreadEvent(int code) {
  if (code == EzStarted) EZ_STARTTHREAD(MainFormName, IdLibraryThread, 10);
  if (code == EzFormGoingAway) EZ_CLOSETHREAD(MainFormName, IdLibraryThread);
}

// Controls whose own events the window handles (other codes of theirs, such
// as the Help item's highlight 520, do nothing); everything else goes to the
// form-event handler.
bool controlEvent(int id, int code, int value) {
  switch (id) {
    case IdLibraryThread:
      libraryThreadEvent(code);
      return true;
    case IdHelpMenu:
      helpMenuEvent(code);
      return true;
    case IdSummaryMenu:
      onClick(code, summarizeOutputFile);
      return true;
    case IdChooseFileButton:
      onClick(code, chooseOutputFileByDialog);
      return true;
    case IdAppendRadio:
      onClick(code, onAppendChosen);
      return true;
    case IdOverwriteRadio:
      onClick(code, onOverwriteChosen);
      return true;
    case IdPortList:
      portListEvent(code, value);
      return true;
    case IdStartButton:
      onClick(code, startHandler);
      return true;
    case IdStopButton:
      onClick(code, stopSequence);
      return true;
    case IdFileNameBox:
      fileNameBoxEvent(code);
      return true;
    case IdRefreshButton:
      onClick(code, scanPorts);
      return true;
    case IdIncomingView:
    case IdStatusBar:
      return true;
    default:
      return false;
  }
}

void routeMainWindowEvent(int& controlId, int& eventCode, int& eventValue, int& cancel) {
  if (eventCode == EzTooltipWanted) answerTooltip(controlId, eventValue);
  if (controlId == IdFormItself) {
    mainFormEvents(controlId, eventCode, eventValue, cancel);
    libraryThreadEvent(eventCode);
    return;
  }
  if (controlEvent(controlId, eventCode, eventValue)) {
    if (eventCode == EzOwnerDraw) drawOwnerButton(controlId, eventValue);
    return;
  }
  mainFormEvents(controlId, eventCode, eventValue, cancel);
}

}  // namespace

// Every event may change whether a summary can be made: the menu follows.
void mainWindowEvents(int& controlId, int& eventCode, int& eventValue, int& cancel) {
  routeMainWindowEvent(controlId, eventCode, eventValue, cancel);
  showSummaryMenuState();
}

void mainFormEvents(int& controlId, int& eventCode, int& eventValue, int& cancel) {
  if (controlId != IdFormItself) {
    keyboardCommand(controlId);
    return;
  }
  switch (eventCode) {
    case EzLoading:
      EZ_DEFTOOLTIPPROP(0, 202, "B[20]");
      break;
    case EzLoaded:
      onMainFormLoaded();
      break;
    case EzStarted:
      // Ports plugged in or pulled out show in the list by themselves.
      EZ_SETTICKS(MainFormName, PortFollowPeriodMs);
      break;
    case EzTick:
      followPortChanges();
      break;
    case EzSizeChanged:
    case EzSizeChanging:
    case EzSizeRestored:
      relayoutMainForm();
      break;
    case EzEraseBackground:
      paintBackground(eventValue, cancel);
      break;
    case EzFormGoingAway:
      onMainFormGoingAway();
      break;
    default:
      break;
  }
}
