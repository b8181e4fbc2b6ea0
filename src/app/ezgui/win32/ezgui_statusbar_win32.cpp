// The status bar over the common controls' own: parts as percentages of
// the form's width, numbered from 1 at the left. The receive worker's
// status texts reach it through the worker-call queue.
// commctrl.h needs the types of windows.h, which the layer's state brings.
#include "app/ezgui/win32/ezgui_win32_state.h"

#include <commctrl.h>

#include <cstdlib>
#include <vector>

namespace {

HWND barOf(const std::string& form, int id) {
  EzwControl* control = ezOnGuiThread() ? ezwFindControl(form, id) : nullptr;
  return control && control->kind == EzKind::StatusBar ? control->window : nullptr;
}

// The right edge of each part in pixels; the last part runs to the end.
void applyParts(HWND bar, const std::vector<int>& percentages) {
  if (percentages.empty()) return;
  RECT area{};
  GetClientRect(bar, &area);
  std::vector<int> edges;
  int sum = 0;
  for (size_t i = 0; i < percentages.size(); ++i) {
    sum += percentages[i];
    edges.push_back(i + 1 == percentages.size() ? -1 : MulDiv(area.right, sum, 100));
  }
  SendMessageW(bar, SB_SETPARTS, edges.size(), reinterpret_cast<LPARAM>(edges.data()));
}

}  // namespace

void EZ_STATUSBAR(const std::string& form, int id, const std::string& caption,
                  const std::string& props) {
  (void)props;
  if (!ezOnGuiThread()) return;
  EzwForm* f = ezwFindForm(form);
  if (!f || !f->window || f->goingAway) return;
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES};
  InitCommonControlsEx(&controls);
  if (auto old = f->controls.find(id); old != f->controls.end()) {
    DestroyWindow(old->second.window);
    f->controls.erase(old);
  }
  const HWND bar =
      CreateWindowExW(0, STATUSCLASSNAMEW, ezwFromBytes(caption).c_str(), WS_CHILD | WS_VISIBLE, 0,
                      0, 0, 0, f->window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                      GetModuleHandleW(nullptr), nullptr);
  if (!bar) return;
  SendMessageW(bar, WM_SETFONT, reinterpret_cast<WPARAM>(ezwControlFont()), FALSE);
  ezwPaintStatusBarItself(bar);
  EzwControl control;
  control.id = id;
  control.kind = EzKind::StatusBar;
  control.window = bar;
  control.partTexts = {caption};
  f->controls[id] = control;
}

void EZ_SETSBPARTS(const std::string& form, int id, int count, const std::string& widths) {
  const HWND bar = barOf(form, id);
  if (!bar || count < 1) return;
  std::vector<int> percentages;
  size_t start = 0;
  for (int i = 0; i < count; ++i) {
    int width = 0;
    if (start <= widths.size()) {
      const size_t end = widths.find('|', start);
      const std::string given = widths.substr(start, end == std::string::npos ? end : end - start);
      width = std::atoi(given.c_str());
      start = end == std::string::npos ? widths.size() + 1 : end + 1;
    }
    percentages.push_back(width > 0 ? width : 100 / count);
  }
  EzwControl& control = *ezwFindControl(form, id);
  control.partPercentages = percentages;
  control.partTexts.resize(percentages.size());
  applyParts(bar, percentages);
  ezwFitStatusParts(control, GetParent(bar));
}

void ezDoStatusText(const std::string& form, int id, int part, const std::string& text) {
  const HWND bar = barOf(form, id);
  if (!bar || part < 1) return;
  EzwControl& control = *ezwFindControl(form, id);
  const auto index = static_cast<size_t>(part - 1);
  if (control.partTexts.size() <= index) control.partTexts.resize(index + 1);
  control.partTexts[index] = text;
  ezwFitStatusParts(control, GetParent(bar));
}

void ezwLayOutStatusBars(EzwForm& form) {
  for (auto& [id, control] : form.controls) {
    if (control.kind != EzKind::StatusBar) continue;
    // The bar places itself at the bottom when told of a new size.
    SendMessageW(control.window, WM_SIZE, 0, 0);
    applyParts(control.window, control.partPercentages);
    ezwFitStatusParts(control, form.window);
  }
}
