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
  const std::string key = ezwKey(form.name);
  if (ezwDeliver(serial, 0, EzFormGoingAway, 0) != 0 && stillThere(serial)) return;
  if (stillThere(serial)) ezwUnloadForm(key, false);
}

// The program lays its controls out anew on these, as the window's size
// changes and when it comes back from a minimised or maximised state.
void reportSize(EzwForm& form, WPARAM kind) {
  const bool wasOut = form.minimisedOrMaximised;
  form.minimisedOrMaximised = kind == SIZE_MINIMIZED || kind == SIZE_MAXIMIZED;
  if (!form.reportsSizes) return;
  const int serial = form.serial;
  ezwDeliver(serial, 0, EzSizeChanged, 0);
  if (wasOut && kind == SIZE_RESTORED && stillThere(serial)) {
    ezwDeliver(serial, 0, EzSizeRestored, 0);
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
          ezwDeliver(form->serial, LOWORD(wParam), EzClick, 0);
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
        if (control->second.kind == EzwKind::OwnerButton) ezwPaintOwnerButton(*form, *item);
        if (control->second.kind == EzwKind::Picture)
          ezwPaintPicture(*form, control->second, *item);
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
  if (EzWin.nextMenu.empty()) return nullptr;
  const HMENU bar = CreateMenu();
  for (const EzwMenuItem& item : EzWin.nextMenu) {
    AppendMenuW(bar, MF_STRING, static_cast<UINT_PTR>(item.command),
                ezwFromBytes(item.text).c_str());
  }
  EzWin.nextMenu.clear();
  return bar;
}

EzwForm& makeForm(const std::string& name, const std::string& parent, const std::string& caption,
                  float x, float y, float width, float height, bool centred) {
  registerFormClass();
  const std::string key = ezwKey(name);
  if (ezwFindForm(name)) ezwUnloadForm(key, true);

  auto form = std::make_unique<EzwForm>();
  form->name = name;
  form->serial = EzWin.nextFormSerial++;
  EzwForm* owner = parent.empty() ? nullptr : ezwFindForm(parent);
  if (owner) form->parentKey = ezwKey(owner->name);
  form->foreground = EzWin.foreground;
  form->background = EzWin.background;
  form->menu = takeMenu();
  // An owned window stays above its owner and goes with it.
  form->window =
      CreateWindowExW(0, kFormClass, ezwFromBytes(caption).c_str(), kFormStyle, CW_USEDEFAULT,
                      CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner ? owner->window : nullptr,
                      form->menu, GetModuleHandleW(nullptr), nullptr);
  EzwForm& made = *form;
  EzWin.forms[key] = std::move(form);
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

void EZ_FORM(const std::string& name, const std::string& parent, const std::string& caption,
             float x, float y, float width, float height, const std::string& props) {
  if (!ezwOnGuiThread()) return;
  const bool announceLoading = EzWin.loadingEventNext;
  EzWin.loadingEventNext = false;
  const bool centred = props.find('C') != std::string::npos;
  EzwForm& form = makeForm(name, parent, caption, x, y, width, height, centred);
  const int serial = form.serial;
  if (parent.empty() && EzWin.mainFormKey.empty()) EzWin.mainFormKey = ezwKey(name);

  // Any step may unload the form again (the event routine is free to), so
  // each one looks it up afresh.
  if (announceLoading) ezwDeliver(serial, 0, EzLoading, 0);
  const std::string asCreated = form.name;
  if (stillThere(serial) && EzWin.design) EzWin.design(asCreated);
  if (stillThere(serial)) ezwDeliver(serial, 0, EzLoaded, 0);
  // Shown after its start event, so a place given there is where it appears.
  if (stillThere(serial)) ezwDeliver(serial, 0, EzStarted, 0);
  if (EzwForm* f = ezwFindFormBySerial(serial)) {
    show(*f);
    // The controls are laid out for the size the form has now it is shown.
    f->reportsSizes = true;
    ezwDeliver(serial, 0, EzSizeChanged, 0);
  }
}

void ezwUnloadForm(const std::string& key, bool announce) {
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
  for (const std::string& k : owned) ezwUnloadForm(k, true);
  if (announce) ezwDeliver(serial, 0, EzFormGoingAway, 0);

  it = EzWin.forms.find(key);
  if (it == EzWin.forms.end() || it->second->serial != serial) return;
  std::unique_ptr<EzwForm> gone = std::move(it->second);
  EzWin.forms.erase(it);
  // The window's menu goes with the window.
  if (gone->window) DestroyWindow(gone->window);
  if (key == EzWin.mainFormKey) {
    EzWin.mainFormKey.clear();
    if (EzWin.loopRunning) PostQuitMessage(0);
  }
}

void ezwUnloadAllSilently() {
  std::map<std::string, std::unique_ptr<EzwForm>> forms;
  forms.swap(EzWin.forms);
  EzWin.mainFormKey.clear();
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

void EZ_UNLOADFORM(const std::string& name) {
  if (!ezwOnGuiThread()) return;
  ezwUnloadForm(ezwKey(name), true);
}

int EZ_ISFORM(const std::string& name, const std::string& props) {
  (void)props;
  EzwForm* form = ezwFindForm(name);
  return form && !form->goingAway ? 1 : 0;
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

void EZ_GETSIZE(const std::string& name, float& width, float& height, int mode) {
  width = 0;
  height = 0;
  EzwForm* form = ezwFindForm(name);
  if (!form || !form->window) return;
  RECT area{};
  if (mode == 0) {
    GetClientRect(form->window, &area);
  } else {
    GetWindowRect(form->window, &area);
    const RECT frame = frameOf(form->window);
    area.right -= frame.right - frame.left;
    area.bottom -= frame.bottom - frame.top;
  }
  width = ezwUnitsX(area.right - area.left);
  height = ezwUnitsY(area.bottom - area.top);
}

void EZ_GETPOS(const std::string& name, float& x, float& y, int mode) {
  (void)mode;
  x = 0;
  y = 0;
  EzwForm* form = ezwFindForm(name);
  if (!form || !form->window) return;
  RECT area{};
  GetWindowRect(form->window, &area);
  const RECT frame = frameOf(form->window);
  x = ezwUnitsX(area.left - frame.left);
  y = ezwUnitsY(area.top - frame.top);
}

// The form's library thread carries no work of the program, so it is a mark
// that it was started, not a thread of the operating system.
void EZ_STARTTHREAD(const std::string& name, int threadNumber, int value) {
  (void)threadNumber;
  (void)value;
  if (EzwForm* form = ezwFindForm(name)) form->threadRunning = true;
}

void EZ_CLOSETHREAD(const std::string& name, int threadNumber) {
  (void)threadNumber;
  if (EzwForm* form = ezwFindForm(name)) form->threadRunning = false;
}

void EZ_DEFMAINMENU(int commandId, const std::string& text, const std::string& props) {
  (void)props;
  EzWin.nextMenu.push_back(EzwMenuItem{commandId, text});
}

void EZ_ALLOWLOADINGEVENT(int mode) {
  EzWin.loadingEventNext = mode == 2;
}

void EZ_SUBCLASS(int mode) {
  EzWin.subclassMode = mode;
}

// The layer reports the events it has; these switches change nothing.
void EZ_ALLOWCOMMANDEVENTS(int) {}
void EZ_ALLOWNOTIFYEVENTS(int) {}
void EZ_ALLOWKEYEVENTS(int) {}
void EZ_ALLOWMOUSEMOVEEVENTS(int) {}
void EZ_ALLOWCURSOREVENTS(int) {}
