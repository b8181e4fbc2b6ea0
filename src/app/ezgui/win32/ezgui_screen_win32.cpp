// Where forms go on the screen: never past the work area of the monitor
// they are on (the taskbar left out), the debug form also off the main
// window's controls. The rule itself is the one the layer over Qt uses
// (ezgui_placement); here are the monitor, the frame and the controls.
#include <vector>

#include "app/ezgui/ezgui_placement.h"
#include "app/ezgui/win32/ezgui_win32_state.h"

namespace {

// Smallest debug window worth having beside the main window, in form
// units: a few lines of a few words.
constexpr float kUsefulWidth = 24;
constexpr float kUsefulHeight = 6;

EzBox boxOf(const RECT& r) {
  return EzBox{r.left, r.top, r.right - r.left, r.bottom - r.top};
}

EzBox workAreaNear(const EzBox& outer, DWORD fallback) {
  const RECT wanted{outer.x, outer.y, outer.right(), outer.bottom()};
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if (GetMonitorInfoW(MonitorFromRect(&wanted, fallback), &info)) return boxOf(info.rcWork);
  RECT area{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
  return boxOf(area);
}

EzFrame frameMargins(HWND window) {
  const RECT f = ezwFrameOf(window);
  return EzFrame{-f.left, -f.top, f.right, f.bottom};
}

// Where the window would go without the screen's say: the contract's
// place is that of the window without the frame.
EzBox wished(HWND window, float x, float y, float width, float height) {
  const EzFrame frame = frameMargins(window);
  return EzBox{ezPixelsX(x) - frame.left, ezPixelsY(y) - frame.top,
               ezPixelsX(width) + frame.left + frame.right,
               ezPixelsY(height) + frame.top + frame.bottom};
}

EzBox fitted(const EzBox& area, HWND window, const EzBox& wish) {
  const EzFrame frame = frameMargins(window);
  EzBox outer = ezFittedOuter(area, frame, wish.width - frame.left - frame.right,
                              wish.height - frame.top - frame.bottom);
  outer.x = wish.x;
  outer.y = wish.y;
  return outer;
}

void put(HWND window, const EzBox& outer) {
  SetWindowPos(window, nullptr, outer.x, outer.y, outer.width, outer.height,
               SWP_NOZORDER | SWP_NOACTIVATE);
}

EzwForm* shownMainForm() {
  EzwForm* main = ezwFindForm(EzForms.mainFormKey);
  return main && main->window && IsWindowVisible(main->window) ? main : nullptr;
}

// What of the main window another window must not cover: its title bar
// and menu bar, and every control shown.
std::vector<EzBox> mainControls(const EzwForm& main) {
  std::vector<EzBox> controls;
  RECT outer{}, client{};
  GetWindowRect(main.window, &outer);
  GetClientRect(main.window, &client);
  MapWindowPoints(main.window, nullptr, reinterpret_cast<POINT*>(&client), 2);
  if (client.top > outer.top)
    controls.push_back(boxOf(RECT{outer.left, outer.top, outer.right, client.top}));
  for (const auto& [id, control] : main.controls) {
    if (!control.window || !IsWindowVisible(control.window)) continue;
    RECT area{};
    GetWindowRect(control.window, &area);
    controls.push_back(boxOf(area));
  }
  return controls;
}

}  // namespace

void ezwPlaceOnScreen(HWND window, float x, float y, float width, float height) {
  const EzBox wish = wished(window, x, y, width, height);
  const EzBox area = workAreaNear(wish, MONITOR_DEFAULTTONEAREST);
  put(window, ezKeptInside(area, fitted(area, window, wish)));
}

void ezwPlaceCentred(HWND window, float width, float height) {
  const EzBox wish = wished(window, 0, 0, width, height);
  const EzBox area = workAreaNear(EzBox{0, 0, 1, 1}, MONITOR_DEFAULTTOPRIMARY);
  put(window, ezCentred(area, fitted(area, window, wish)));
}

void ezwPlaceClearOfMainForm(HWND window, float x, float y, float width, float height) {
  const EzwForm* main = shownMainForm();
  if (!main || main->window == window) {
    ezwPlaceOnScreen(window, x, y, width, height);
    return;
  }
  const EzBox wish = wished(window, x, y, width, height);
  RECT mainOuter{};
  GetWindowRect(main->window, &mainOuter);
  const EzBox area = workAreaNear(boxOf(mainOuter), MONITOR_DEFAULTTONEAREST);
  const EzFrame frame = frameMargins(window);
  const std::optional<EzBox> place =
      ezPlaceClearOf(area, boxOf(mainOuter), mainControls(*main), fitted(area, window, wish),
                     ezPixelsX(kUsefulWidth) + frame.left + frame.right,
                     ezPixelsY(kUsefulHeight) + frame.top + frame.bottom);
  if (!place) {
    ezwPlaceOnScreen(window, x, y, width, height);
    return;
  }
  put(window, *place);
}

RECT ezwFrameOf(HWND window) {
  RECT frame{0, 0, 0, 0};
  const auto style = static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE));
  const auto exStyle = static_cast<DWORD>(GetWindowLongPtrW(window, GWL_EXSTYLE));
  // The contract's size takes in the menu bar: only the frame is added.
  AdjustWindowRectEx(&frame, style, FALSE, exStyle);
  return frame;
}
