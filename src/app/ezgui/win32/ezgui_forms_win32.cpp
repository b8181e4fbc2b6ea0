// Forms over Win32: top-level windows addressed by name, their menu bar,
// and the form events (85 loading, 87 loaded, 86 started, 0 going away,
// clicks of menu items).
#include <vector>

#include "app/ezgui/win32/ezgui_win32_state.h"

namespace {

constexpr wchar_t kFormClass[] = L"MorvaneForm";
constexpr DWORD kFormStyle = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;

bool stillThere(int serial) {
  return ezwFindFormBySerial(serial) != nullptr;
}

// The user closing the window: event 0, whose cancel flag may keep it.
void closedByUser(EzwForm& form) {
  if (form.goingAway) return;
  const int serial = form.serial;
  const std::string key = ezKey(form.name);
  if (ezDeliver(serial, 0, EzFormGoingAway, 0) != 0 && stillThere(serial)) return;
  if (stillThere(serial)) ezUnloadForm(key, false);
}

// The program lays its controls out anew on these, as the window's size
// changes and when it comes back from a minimised or maximised state.
void reportSize(EzwForm& form, WPARAM kind) {
  const bool wasOut = form.minimisedOrMaximised;
  form.minimisedOrMaximised = kind == SIZE_MINIMIZED || kind == SIZE_MAXIMIZED;
  if (!form.reportsSizes) return;
  const int serial = form.serial;
  ezDeliver(serial, 0, EzSizeChanged, 0);
  if (wasOut && kind == SIZE_RESTORED && stillThere(serial)) {
    ezDeliver(serial, 0, EzSizeRestored, 0);
  }
}

LRESULT CALLBACK formProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  EzwForm* form = ezwFindFormByWindow(window);
  if (form) {
    switch (message) {
      case WM_CLOSE:
        closedByUser(*form);
        return 0;
      case WM_COMMAND:
        // A menu item: no notification code, no control window.
        if (HIWORD(wParam) == 0 && lParam == 0) {
          ezDeliver(form->serial, LOWORD(wParam), EzClick, 0);
          return 0;
        }
        if (lParam != 0 && ezwControlCommand(*form, LOWORD(wParam), HIWORD(wParam),
                                             reinterpret_cast<HWND>(lParam))) {
          return 0;
        }
        break;
      case WM_SIZE:
        ezwLayOutStatusBars(*form);
        ezwLayOutFilling(*form);
        reportSize(*form, wParam);
        break;
      case WM_SETCURSOR:
        if (ezwSetFormCursor(*form, reinterpret_cast<HWND>(wParam), LOWORD(lParam))) return TRUE;
        break;
      case WM_DRAWITEM: {
        const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        const auto control = form->controls.find(static_cast<int>(wParam));
        if (control == form->controls.end() || control->second.window != item->hwndItem) break;
        if (control->second.kind == EzKind::OwnerButton) ezwPaintOwnerButton(*form, *item);
        if (control->second.kind == EzKind::Picture) ezwPaintPicture(*form, control->second, *item);
        return TRUE;
      }
      case WM_NOTIFY:
        if (ezwTooltipNotify(*form, *reinterpret_cast<NMHDR*>(lParam))) return 0;
        break;
      case WM_MOUSEMOVE:
        ezwTooltipMouseMove(
            *form, POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))});
        break;
      case WM_CTLCOLORSTATIC:
      case WM_CTLCOLOREDIT:
      case WM_CTLCOLORLISTBOX:
        if (const LRESULT brush = ezwControlColours(*form, message, reinterpret_cast<HWND>(lParam),
                                                    reinterpret_cast<HDC>(wParam))) {
          return brush;
        }
        break;
      case WM_ACTIVATE:
        if (LOWORD(wParam) != WA_INACTIVE && !HIWORD(wParam)) {
          DefWindowProcW(window, message, wParam, lParam);
          ezwFormActivation(*form, wParam);
          return 0;
        }
        ezwFormActivation(*form, wParam);
        break;
      case WM_DPICHANGED:
        ezwDpiChanged(*form, LOWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
        return 0;
      case WM_SYSCOLORCHANGE:
      case WM_SETTINGCHANGE:
        ezwColoursChanged(*form, message, wParam, lParam);
        break;
      case WM_TIMER:
      case WM_DEVICECHANGE:
        if (ezwTickMessage(*form, message, wParam, lParam)) return TRUE;
        break;
      case EzwShowQuietly:
        if (!form->goingAway) ShowWindow(window, SW_SHOWNOACTIVATE);
        return 0;
      case WM_ERASEBKGND:
        ezwPaintBackground(*form, reinterpret_cast<HDC>(wParam));
        return 1;
      default:
        break;
    }
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

void registerFormClass() {
  WNDCLASSEXW info{};
  info.cbSize = sizeof info;
  if (GetClassInfoExW(GetModuleHandleW(nullptr), kFormClass, &info)) return;
  info.cbSize = sizeof info;
  info.style = CS_HREDRAW | CS_VREDRAW;
  info.lpfnWndProc = formProcedure;
  info.hInstance = GetModuleHandleW(nullptr);
  info.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  info.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  info.lpszClassName = kFormClass;
  RegisterClassExW(&info);
}

RECT frameOf(HWND window) {
  return ezwFrameOf(window);
}

HMENU takeMenu() {
  if (EzNext.menu.empty()) return nullptr;
  const HMENU bar = CreateMenu();
  for (const EzMenuItem& item : EzNext.menu) {
    AppendMenuW(bar, MF_STRING, static_cast<UINT_PTR>(item.command),
                ezwFromBytes(item.text).c_str());
  }
  EzNext.menu.clear();
  return bar;
}

EzwForm& makeForm(const std::string& name, const std::string& parent, const std::string& caption,
                  float x, float y, float width, float height, bool centred) {
  registerFormClass();
  auto [form, owner] = ezStartForm(EzWin.forms, EzWin.nextFormSerial, name, parent);
  form->menu = takeMenu();
  // An owned window stays above its owner and goes with it.
  form->window =
      CreateWindowExW(0, kFormClass, ezwFromBytes(caption).c_str(), kFormStyle, CW_USEDEFAULT,
                      CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner ? owner->window : nullptr,
                      form->menu, GetModuleHandleW(nullptr), nullptr);
  EzwForm& made = *form;
  EzWin.forms[ezKey(name)] = std::move(form);
  if (made.window) ezwTakeDpiOf(made.window);
  // A window larger than the screen or partly off it would hide controls
  // the user could then not reach.
  if (made.window && centred) ezwPlaceCentred(made.window, width, height);
  if (made.window && !centred) ezwPlaceOnScreen(made.window, x, y, width, height);
  return made;
}

void show(EzwForm& form) {
  if (!form.window) return;
  ShowWindow(form.window, SW_SHOWNORMAL);
  SetForegroundWindow(form.window);
}

}  // namespace

EzwForm& ezwMakeForm(const std::string& name, const std::string& parent, const std::string& caption,
                     float x, float y, float width, float height) {
  return makeForm(name, parent, caption, x, y, width, height, false);
}

void ezwShowForm(EzwForm& form) {
  show(form);
}

int ezBackendMakeForm(const std::string& name, const std::string& parent,
                      const std::string& caption, float x, float y, float width, float height,
                      bool centred) {
  return makeForm(name, parent, caption, x, y, width, height, centred).serial;
}

void ezBackendShowNewForm(int serial) {
  if (EzwForm* f = ezwFindFormBySerial(serial)) {
    show(*f);
    // The controls are laid out for the size the form has now it is shown.
    f->reportsSizes = true;
    ezDeliver(serial, 0, EzSizeChanged, 0);
  }
}

void ezUnloadForm(const std::string& key, bool announce) {
  auto it = EzWin.forms.find(key);
  if (it == EzWin.forms.end() || it->second->goingAway) return;
  EzwForm& form = *it->second;
  form.goingAway = true;
  const int serial = form.serial;

  // Owned windows go first, as each is gone before its owner.
  std::vector<std::string> owned;
  for (auto& [k, f] : EzWin.forms) {
    if (f->parentKey == key) owned.push_back(k);
  }
  for (const std::string& k : owned) ezUnloadForm(k, true);
  if (announce) ezDeliver(serial, 0, EzFormGoingAway, 0);

  it = EzWin.forms.find(key);
  if (it == EzWin.forms.end() || it->second->serial != serial) return;
  std::unique_ptr<EzwForm> gone = std::move(it->second);
  EzWin.forms.erase(it);
  // The window's menu goes with the window.
  if (gone->window) DestroyWindow(gone->window);
  if (key == EzForms.mainFormKey) {
    EzForms.mainFormKey.clear();
    if (EzWin.loopRunning) PostQuitMessage(0);
  }
}

void ezwUnloadAllSilently() {
  std::map<std::string, std::unique_ptr<EzwForm>> forms;
  forms.swap(EzWin.forms);
  EzForms.mainFormKey.clear();
  // Owned windows first: destroying an owner destroys them too.
  for (auto& [key, form] : forms) {
    if (!form->parentKey.empty() && form->window && IsWindow(form->window)) {
      DestroyWindow(form->window);
    }
  }
  for (auto& [key, form] : forms) {
    if (form->window && IsWindow(form->window)) DestroyWindow(form->window);
  }
}

void EZ_RESIZEFORM(const std::string& name, float x, float y, float width, float height,
                   float flag) {
  (void)flag;
  EzwForm* form = ezwFindForm(name);
  if (!form || !form->window) return;
  if (form->clearOfMain) {
    ezwPlaceClearOfMainForm(form->window, x, y, width, height);
  } else {
    ezwPlaceOnScreen(form->window, x, y, width, height);
  }
}

std::optional<EzBox> ezBackendFormPixels(const std::string& name, bool clientArea) {
  EzwForm* form = ezwFindForm(name);
  if (!form || !form->window) return std::nullopt;
  RECT area{};
  if (clientArea) {
    GetClientRect(form->window, &area);
    return EzBox{0, 0, area.right - area.left, area.bottom - area.top};
  }
  GetWindowRect(form->window, &area);
  const RECT frame = frameOf(form->window);
  return EzBox{area.left - frame.left, area.top - frame.top,
               area.right - area.left - (frame.right - frame.left),
               area.bottom - area.top - (frame.bottom - frame.top)};
}

void EZ_ENABLEMENUITEM(const std::string& name, int commandId, bool enabled) {
  EzwForm* form = ezOnGuiThread() ? ezwFindForm(name) : nullptr;
  if (!form || !form->menu) return;
  const UINT id = static_cast<UINT>(commandId);
  const UINT state = GetMenuState(form->menu, id, MF_BYCOMMAND);
  if (state == static_cast<UINT>(-1) || ((state & MF_GRAYED) == 0) == enabled) return;
  EnableMenuItem(form->menu, id, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
  // An item of the bar itself shows its new state only when the bar is drawn again.
  DrawMenuBar(form->window);
}
