#include "output/readiness.h"

#include "app/control_ids.h"
#include "app/ezgui/ezgui.h"
#include "output/output_state.h"
#include "ports/port_state.h"
#include "transfer/transfer_state.h"

namespace {

bool transferRuns() {
  return TransferRunning == 1;
}

// While a transfer runs, part 1 is the transfer's: the readiness texts wait
// until it has stopped (Stop writes its own), and so does the code of what
// part 1 shows, which the worker reads.
void setStatus(int part, const std::string& text) {
  if (part == StatusOverall && transferRuns()) return;
  EZ_SETSBTEXT(MainForm, IdStatusBar, part, text, "P");
}

void setShownCode(int16_t code) {
  if (!transferRuns()) DotCount = code;
}

void disableStartAndStop() {
  EZ_DISABLEC(MainForm, IdStartButton);
  EZ_DISABLEC(MainForm, IdStopButton);
}

}  // namespace

bool readinessRuleMet() {
  return FileChosen == 1 && ChosenPortIndex > 0;
}

void readinessOnLoaded() {
  disableStartAndStop();
  setStatus(StatusOverall, TextNotReady);
  setStatus(StatusFile, TextFileNotChosen);
  setStatus(StatusPort, TextPortNotChosen);
}

void readinessOnFillChosen(const std::string& portText) {
  setStatus(StatusPort, portText + TextPortChosenSuffix);
  setShownCode(-1);
  if (!readinessRuleMet()) return;
  if (!transferRuns()) EZ_ENABLEC(MainForm, IdStartButton);
  setStatus(StatusOverall, TextReadyToStart);
}

void readinessOnFillNone() {
  setStatus(StatusOverall, TextNotReady);
  setStatus(StatusPort, TextPortNotChosen);
  setShownCode(-2);
  EZ_DISABLEC(MainForm, IdStartButton);
}

void readinessOnPickedFree(const std::string& portText) {
  setStatus(StatusPort, portText + TextPortChosenSuffix);
  if (readinessRuleMet()) {
    EZ_ENABLEC(MainForm, IdStartButton);
    setStatus(StatusOverall, TextReadyToStartPicked);
  } else {
    disableStartAndStop();
    setStatus(StatusOverall, TextNotReady);
  }
}

void readinessOnPickedInUse(const std::string& portText) {
  disableStartAndStop();
  setStatus(StatusPort, portText + TextPortInUseSuffix);
  setStatus(StatusOverall, TextNotReady);
}

void readinessOnDialogClosed(bool returnedFile, const std::string& namePart) {
  if (returnedFile) setStatus(StatusFile, TextOutputFilePrefix + namePart);
  const bool met = readinessRuleMet();
  if (!transferRuns()) {
    if (met) {
      EZ_ENABLEC(MainForm, IdStartButton);
    } else {
      disableStartAndStop();
    }
  }
  setStatus(StatusOverall, met ? TextReadyToStart : TextNotReady);
}

void readinessOnNameTyped(bool longEnough, const std::string& namePart) {
  if (longEnough) setStatus(StatusFile, TextOutputFilePrefix + namePart);
  setStatus(StatusOverall, longEnough ? TextReadyTyped : TextNotReady);
}
