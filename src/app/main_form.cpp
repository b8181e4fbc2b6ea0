#include "app/main_form.h"

#include "app/app_state.h"
#include "app/control_ids.h"
#include "app/ezgui/ezgui.h"
#include "app/main_events.h"
#include "app/startup.h"
#include "diag/debug_trace.h"
#include "ports/port_list.h"
#include "transfer/transfer_control.h"
#include "transfer/transfer_state.h"

namespace {

constexpr float ViewRow = 17.55f;

}  // namespace

void onMainFormLoaded() {
  loadRoutine();
  fillPortList();
  EZ_DEFACCEL(MainFormName, MainAccelerators);
}

void relayoutMainForm() {
  EZ_DELAYDRAWCLIENT(MainForm, 0);
  float width = 0;
  float height = 0;
  EZ_GETSIZE(MainForm, width, height, 0);
  EZ_RESIZE(MainForm, IdIncomingView, 1, ViewRow, width - 2, height - ViewRow - 2);
  EZ_RESIZE(MainForm, IdFileNameBox, 2.3f, FileBoxRow, width - 4, 1.75f);
  EZ_REDRAWFORM(MainForm);
}

void paintBackground(int eventValue, int& cancel) {
  float width = 0;
  float height = 0;
  const int dc = EZ_STARTERASEBG(eventValue, width, height);
  if (dc == 0) return;
  EZ_DCDRAWPICTURE(dc, BackgroundImage, 0, 0, width + 1, height + 1);
  EZ_ENDERASEBG(cancel);
}

// A transfer still running when the window closes is stopped first: the
// worker must not outlive the window it writes to, and the files are closed
// cleanly with every record in them.
void onMainFormGoingAway() {
  if (TransferRunning == 1) stopSequence();
  closeDebugTrace();
}
