// The GUI layer over Win32 at the DPI of the window's monitor, with the
// program's manifest linked in, under Wine. Wine takes the desktop's DPI
// from the registry when a program starts: the test sets 144 dpi (a
// laptop at 150 %) in the run's Wine prefix, runs itself as a second
// program under it and puts the registry back, as the prefix is the whole
// run's. The run's display is 1280 by 900, narrower than a laptop's 1366
// by 768 and taller: at 144 dpi the main form (122 by 40 units) is larger
// than either and is cut down to the work area. A change of monitor
// (WM_DPICHANGED), which Wine's one desktop never gives, is told to the
// window as the system tells it.
#include <windows.h>

#include <commctrl.h>

#include <functional>
#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "app/ezgui/ezgui.h"
#include "app/ezgui/win32/ezgui_win32_state.h"

namespace {

constexpr wchar_t kChildVariable[] = L"MORVANE_DPI_CHILD";
constexpr int kStatus = 260;
constexpr int kFileBox = 170;
constexpr int kView = 200;
constexpr float kViewRow = 17.55f;

std::function<void()> whenShown;

// Once the loop runs, the form shown and laid out for its size.
void CALLBACK shown(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(nullptr, timer);
  if (whenShown) whenShown();
  EZ_UNLOADFORM("MAIN");
}

// Lays the view and the file box out as the program does on a size event.
void events(std::string& form, int& id, int& code, int&, int&) {
  if (form != "MAIN" || id != 0) return;
  if (code == EzSizeChanged) {
    float width = 0, height = 0;
    EZ_GETSIZE("Main", width, height, 0);
    EZ_RESIZE("Main", kView, 1, kViewRow, width - 2, height - kViewRow - 2);
    EZ_RESIZE("Main", kFileBox, 2.3f, 7.6f, width - 4, 1.75f);
  }
  if (code == EzStarted) SetTimer(nullptr, 0, 1, shown);
}

// The main window's farthest controls, where the program puts them.
void design(const std::string& form) {
  EZ_LABEL(form, 100, "Path and name of the file", 3.625f, 6, 86.5f, 1.5f, "IL");
  EZ_ODBUTTON(form, 160, "Stop", 89.5f, 13.95f, 13.75f, 2, "T");
  EZ_TEXT(form, kFileBox, "", 2.375f, 7.6f, 117.375f, 1.75f, "EST");
  EZ_RICHTEXT2(form, kView, 0.625f, 18, 120.375f, 24, "ASV");
  EZ_STATUSBAR(form, kStatus, "", "");
}

void startup(int) {
  EZ_FORM("MAIN", "", "Main", 0, 0, 122, 40, "");
}

void runForm(std::function<void()> check) {
  whenShown = std::move(check);
  char name[] = "test";
  char* argv[] = {name, nullptr};
  EZ_GUIRUN(1, argv, startup, events, design);
}

HWND control(int id) {
  EzwControl* c = ezwFindControl("MAIN", id);
  return c ? c->window : nullptr;
}

// The control's place in the form's client area.
RECT placeOf(HWND window) {
  RECT r{};
  GetWindowRect(window, &r);
  MapWindowPoints(nullptr, ezwFormWindow("MAIN"), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

LONG fontHeightOf(HWND window) {
  LOGFONTW face{};
  GetObjectW(reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0)), sizeof face, &face);
  return face.lfHeight < 0 ? -face.lfHeight : face.lfHeight;
}

// Every control inside the form's client area, and the form inside the
// work area of its monitor.
void expectAllInside() {
  const HWND form = ezwFormWindow("MAIN");
  RECT client{};
  GetClientRect(form, &client);
  for (int id : {100, 160, kFileBox, kView, kStatus}) {
    const RECT r = placeOf(control(id));
    EXPECT_TRUE(r.left >= 0 && r.top >= 0 && r.right <= client.right && r.bottom <= client.bottom)
        << "control " << id << " at " << r.left << "," << r.top << "-" << r.right << "," << r.bottom
        << " of " << client.right << "x" << client.bottom;
    EXPECT_GT(r.bottom - r.top, 0) << "control " << id;
  }
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  GetMonitorInfoW(MonitorFromWindow(form, MONITOR_DEFAULTTONEAREST), &monitor);
  RECT outer{};
  GetWindowRect(form, &outer);
  EXPECT_TRUE(outer.left >= monitor.rcWork.left && outer.top >= monitor.rcWork.top &&
              outer.right <= monitor.rcWork.right && outer.bottom <= monitor.rcWork.bottom);
}

// The desktop's DPI in the registry for the life of the object.
class DesktopDpi {
 public:
  explicit DesktopDpi(DWORD dpi) {
    RegCreateKeyExW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", 0, nullptr, 0, KEY_ALL_ACCESS,
                    nullptr, &key_, nullptr);
    DWORD size = sizeof saved_;
    had_ = RegQueryValueExW(key_, L"LogPixels", nullptr, nullptr, reinterpret_cast<BYTE*>(&saved_),
                            &size) == ERROR_SUCCESS;
    RegSetValueExW(key_, L"LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi),
                   sizeof dpi);
  }
  ~DesktopDpi() {
    if (had_) {
      RegSetValueExW(key_, L"LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&saved_),
                     sizeof saved_);
    } else {
      RegDeleteValueW(key_, L"LogPixels");
    }
    RegCloseKey(key_);
  }
  DesktopDpi(const DesktopDpi&) = delete;
  DesktopDpi& operator=(const DesktopDpi&) = delete;

 private:
  HKEY key_ = nullptr;
  DWORD saved_ = 0;
  bool had_ = false;
};

// This test program again, only the named test, under the registry as it
// is now; its exit code (the test's result), none when it did not end.
std::optional<DWORD> runChild(const std::string& test) {
  wchar_t self[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring line =
      L"\"" + std::wstring(self) + L"\" --gtest_filter=" + std::wstring(test.begin(), test.end());
  SetEnvironmentVariableW(kChildVariable, L"1");
  STARTUPINFOW start{};
  start.cb = sizeof start;
  PROCESS_INFORMATION child{};
  const bool started = CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                      nullptr, &start, &child);
  SetEnvironmentVariableW(kChildVariable, nullptr);
  if (!started) return std::nullopt;
  const bool ended = WaitForSingleObject(child.hProcess, 40000) == WAIT_OBJECT_0;
  DWORD code = 1;
  if (ended) GetExitCodeProcess(child.hProcess, &code);
  if (!ended) TerminateProcess(child.hProcess, 2);
  CloseHandle(child.hThread);
  CloseHandle(child.hProcess);
  if (!ended) return std::nullopt;
  return code;
}

// A setting of the program's manifest as the system reads it when the
// program starts (the call is Windows 7's, looked up by name).
std::wstring manifestSetting(const wchar_t* space, const wchar_t* name) {
  using Query =
      BOOL(WINAPI*)(DWORD, HANDLE, const wchar_t*, const wchar_t*, wchar_t*, SIZE_T, SIZE_T*);
  const auto query = reinterpret_cast<Query>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "QueryActCtxSettingsW")));
  wchar_t value[128] = {};
  SIZE_T written = 0;
  if (!query || !query(0, nullptr, space, name, value, 128, &written)) return L"";
  return value;
}

bool inChild() {
  return GetEnvironmentVariableW(kChildVariable, nullptr, 0) > 0;
}

}  // namespace

// Without it the system draws the window at 96 dpi and stretches it as a
// picture (Wine draws every program at the desktop's DPI regardless).
TEST(EzguiDpiWin32, TheProgramAsksToBeDrawnForTheDpiOfEachMonitor) {
  const std::wstring perMonitor =
      manifestSetting(L"http://schemas.microsoft.com/SMI/2016/WindowsSettings", L"dpiAwareness");
  EXPECT_EQ(perMonitor.substr(0, perMonitor.find(L',')), L"PerMonitorV2");
  // What Windows 8.1 and the first Windows 10 read instead.
  EXPECT_EQ(manifestSetting(L"http://schemas.microsoft.com/SMI/2005/WindowsSettings", L"dpiAware"),
            L"true/pm");
}

TEST(EzguiDpiWin32, At144DpiTheWholeWindowFitsAndItsTextIsLarger) {
  if (!inChild()) {
    std::optional<DWORD> result;
    {
      const DesktopDpi laptop(144);
      result = runChild("EzguiDpiWin32.At144DpiTheWholeWindowFitsAndItsTextIsLarger");
    }
    ASSERT_TRUE(result.has_value()) << "the program at 144 dpi did not end";
    EXPECT_EQ(*result, 0u) << "its checks failed (above)";
    return;
  }
  runForm([] {
    const HDC screen = GetDC(nullptr);
    const int desktopDpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    ASSERT_EQ(desktopDpi, 144) << "Wine did not take the desktop's DPI";
    expectAllInside();
    // 10 points at 144 dpi are 20 pixels; the status bar's text too.
    EXPECT_EQ(fontHeightOf(control(kFileBox)), 20);
    EXPECT_EQ(fontHeightOf(control(kStatus)), 20);
    EXPECT_GE(ezUnits().down, 20.0);
  });
}

TEST(EzguiDpiWin32, MovedToAMonitorOfAnotherDpiTheWindowTakesItsPlaceAndSizes) {
  runForm([] {
    const HWND form = ezwFormWindow("MAIN");
    const LONG fontBefore = fontHeightOf(control(kFileBox));
    const RECT stopBefore = placeOf(control(160));
    RECT outer{};
    GetWindowRect(form, &outer);
    // The system's suggestion: the same place, a quarter larger.
    RECT suggested{outer.left, outer.top, outer.left + (outer.right - outer.left) * 5 / 4,
                   outer.top + (outer.bottom - outer.top) * 5 / 4};
    const HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY) * 5 / 4;
    ReleaseDC(nullptr, screen);
    SendMessageW(form, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
    RECT now{};
    GetWindowRect(form, &now);
    EXPECT_EQ(now.right - now.left, suggested.right - suggested.left);
    EXPECT_EQ(now.bottom - now.top, suggested.bottom - suggested.top);
    EXPECT_NEAR(fontHeightOf(control(kFileBox)), fontBefore * 1.25, 1);
    // Units follow the measured line height: near a quarter more.
    const RECT stop = placeOf(control(160));
    EXPECT_NEAR(stop.left, stopBefore.left * 1.25, stopBefore.left * 0.05);
    EXPECT_NEAR(stop.right - stop.left, (stopBefore.right - stopBefore.left) * 1.25,
                (stopBefore.right - stopBefore.left) * 0.05);
    expectAllInside();
  });
}
