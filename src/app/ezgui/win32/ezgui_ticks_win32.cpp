// The form's ticks: a window timer of the form's own, and the system's
// news of a serial port arriving or gone, which needs no waiting for the
// next tick (a COM port's arrival is told to every top-level window).
#include "app/ezgui/win32/ezgui_win32_state.h"

#include <dbt.h>

namespace {

constexpr UINT_PTR kTickTimer = 0x7E1C;

bool serialPortCameOrWent(WPARAM change, LPARAM detail) {
  if (change != DBT_DEVICEARRIVAL && change != DBT_DEVICEREMOVECOMPLETE) return false;
  const auto* header = reinterpret_cast<const DEV_BROADCAST_HDR*>(detail);
  return header && header->dbch_devicetype == DBT_DEVTYP_PORT;
}

}  // namespace

void ezBackendSetTicks(EzFormBase& base, int periodMs) {
  EzwForm* form = ezwFindForm(base.name);
  if (!form || !form->window) return;
  if (periodMs > 0) {
    SetTimer(form->window, kTickTimer, static_cast<UINT>(periodMs), nullptr);
  } else {
    KillTimer(form->window, kTickTimer);
  }
}

bool ezwTickMessage(EzwForm& form, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_TIMER && wParam != kTickTimer) return false;
  if (message == WM_DEVICECHANGE && !serialPortCameOrWent(wParam, lParam)) return false;
  if (form.tickPeriodMs > 0 && !form.goingAway) ezDeliver(form.serial, 0, EzTick, 0);
  return true;
}
