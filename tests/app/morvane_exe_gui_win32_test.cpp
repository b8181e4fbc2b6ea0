// The program itself, morvane.exe, under Wine on the test session's
// virtual display: it starts in a folder of its own with an instrument on
// a COM port, shows its main window with the port in its list, and ends
// cleanly when the window is closed; with the keyboard a person uses, it
// writes the summary of the file chosen in its save dialog.
#include <windows.h>

#include <chrono>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "support/keys_win32.h"
#include "support/pty_line_win32.h"

namespace {

constexpr int kPort = 47;
constexpr wchar_t kCaption[] = L"Morvane Data Transfer Utility";
constexpr auto kPatience = std::chrono::seconds(20);

std::wstring wide(const std::string& text) {
  return std::wstring(text.begin(), text.end());
}

// A folder of its own for the program, which keeps its settings and its
// raw log beside itself.
std::wstring programFolder() {
  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  const std::wstring folder =
      std::wstring(temp) + L"morvane-exe-test-" + std::to_wstring(GetCurrentProcessId());
  CreateDirectoryW(folder.c_str(), nullptr);
  return folder;
}

struct Running {
  PROCESS_INFORMATION process{};
  ~Running() {
    if (!process.hProcess) return;
    // A program that did not end when asked is ended here, not left over.
    if (WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT)
      TerminateProcess(process.hProcess, 99);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }
};

bool start(const std::wstring& exe, const std::wstring& folder, Running& running) {
  STARTUPINFOW info{};
  info.cb = sizeof info;
  std::wstring command = L"\"" + exe + L"\"";
  return CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder.c_str(), &info, &running.process) != 0;
}

struct Found {
  DWORD processId = 0;
  HWND window = nullptr;
};

BOOL CALLBACK findMainWindow(HWND window, LPARAM param) {
  auto* found = reinterpret_cast<Found*>(param);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  wchar_t caption[128] = {};
  GetWindowTextW(window, caption, 128);
  if (owner == found->processId && IsWindowVisible(window) && std::wstring(caption) == kCaption) {
    found->window = window;
    return FALSE;
  }
  return TRUE;
}

HWND waitForMainWindow(DWORD processId, HANDLE process) {
  const auto until = std::chrono::steady_clock::now() + kPatience;
  while (std::chrono::steady_clock::now() < until) {
    Found found{processId, nullptr};
    EnumWindows(findMainWindow, reinterpret_cast<LPARAM>(&found));
    if (found.window) return found.window;
    if (WaitForSingleObject(process, 100) == WAIT_OBJECT_0) return nullptr;
  }
  return nullptr;
}

BOOL CALLBACK collectChild(HWND child, LPARAM param) {
  reinterpret_cast<std::vector<HWND>*>(param)->push_back(child);
  return TRUE;
}

std::wstring className(HWND window) {
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  return name;
}

// The items of the main window's port list.
std::vector<std::wstring> portListItems(HWND mainWindow) {
  std::vector<HWND> children;
  EnumChildWindows(mainWindow, collectChild, reinterpret_cast<LPARAM>(&children));
  std::vector<std::wstring> items;
  for (HWND child : children) {
    if (_wcsicmp(className(child).c_str(), L"ComboBox") != 0) continue;
    const auto count = SendMessageW(child, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
      wchar_t text[64] = {};
      if (SendMessageW(child, CB_GETLBTEXTLEN, i, 0) < 63)
        SendMessageW(child, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
      items.emplace_back(text);
    }
  }
  return items;
}

// The program in a folder of its own, its main window up.
HWND startInFolder(const std::wstring& folder, Running& running) {
  const std::wstring exe = folder + L"\\morvane.exe";
  if (!CopyFileW(wide(MORVANE_EXE).c_str(), exe.c_str(), FALSE)) return nullptr;
  if (!start(exe, folder, running)) return nullptr;
  return waitForMainWindow(running.process.dwProcessId, running.process.hProcess);
}

struct Dialog {
  DWORD processId = 0;
  HWND window = nullptr;
};

BOOL CALLBACK findDialog(HWND window, LPARAM param) {
  auto* found = reinterpret_cast<Dialog*>(param);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  wchar_t caption[64] = {};
  GetWindowTextW(window, caption, 64);
  if (owner == found->processId && IsWindowVisible(window) &&
      std::wstring(caption) == L"Select Data File") {
    found->window = window;
    return FALSE;
  }
  return TRUE;
}

HWND waitForSaveDialog(DWORD processId) {
  const auto until = std::chrono::steady_clock::now() + kPatience;
  while (std::chrono::steady_clock::now() < until) {
    Dialog found{processId, nullptr};
    EnumWindows(findDialog, reinterpret_cast<LPARAM>(&found));
    if (found.window) return found.window;
    Sleep(50);
  }
  return nullptr;
}

std::string contentOf(const std::wstring& path) {
  std::ifstream in(path.c_str(), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace

TEST(MorvaneExeWin32, ComesUpWithThePortListedAndEndsCleanlyWhenClosed) {
  std::string why;
  if (!PtyLine::available(why)) GTEST_SKIP() << why;
  PtyLine instrument(kPort);

  const std::wstring folder = programFolder();
  const std::wstring exe = folder + L"\\morvane.exe";
  Running running;
  const HWND window = startInFolder(folder, running);
  ASSERT_NE(window, nullptr) << "no main window within the time";
  std::vector<HWND> children;
  EnumChildWindows(window, collectChild, reinterpret_cast<LPARAM>(&children));
  EXPECT_GE(children.size(), 10u) << "the main window's controls";

  const std::wstring expected = L"COM " + std::to_wstring(kPort);
  bool listed = false;
  for (const std::wstring& item : portListItems(window)) listed = listed || item == expected;
  EXPECT_TRUE(listed) << "COM " << kPort << " is in the port list";

  PostMessageW(window, WM_CLOSE, 0, 0);
  ASSERT_EQ(WaitForSingleObject(running.process.hProcess,
                                static_cast<DWORD>(std::chrono::milliseconds(kPatience).count())),
            WAIT_OBJECT_0)
      << "the program did not end when its window was closed";
  DWORD code = 1;
  GetExitCodeProcess(running.process.hProcess, &code);
  EXPECT_EQ(code, 0u);

  DeleteFileW(exe.c_str());
  DeleteFileW((folder + L"\\MorvTran.ini").c_str());
  DeleteFileW((folder + L"\\Raw.txt").c_str());
  RemoveDirectoryW(folder.c_str());
}

TEST(MorvaneExeWin32, CtrlDWritesTheSummaryOfTheFileChosenInTheSaveDialog) {
  std::string why;
  if (!PtyLine::available(why)) GTEST_SKIP() << why;
  PtyLine instrument(kPort);
  const std::wstring folder = programFolder();
  const std::wstring csv = folder + L"\\river.csv";
  const std::wstring report = folder + L"\\river.summary.html";
  std::ofstream(csv.c_str(), std::ios::binary)
      << "\rXSec,Date,Time,Station,Depth,Velocity,Angle,Units\r"
         "2,12/01/26,10:15:00,0.0,0.00,0.00,0,Feet\n"
         "2,12/01/26,10:16:00,2.0,1.50,0.80,0,Feet\n"
         "2,12/01/26,10:17:00,4.0,0.00,0.00,0,Feet\n";
  // The report is opened through the shell; here no browser comes up.
  SetEnvironmentVariableW(L"WINEDLLOVERRIDES", L"winebrowser.exe=d");
  Running running;
  const HWND window = startInFolder(folder, running);
  SetEnvironmentVariableW(L"WINEDLLOVERRIDES", nullptr);
  ASSERT_NE(window, nullptr) << "no main window within the time";
  SetForegroundWindow(window);

  pressKey('F', {VK_CONTROL});
  ASSERT_NE(waitForSaveDialog(running.process.dwProcessId), nullptr) << "Ctrl+F";
  typeText(csv);
  pressKey(VK_RETURN);
  pressKey('D', {VK_CONTROL});
  const auto until = std::chrono::steady_clock::now() + kPatience;
  while (GetFileAttributesW(report.c_str()) == INVALID_FILE_ATTRIBUTES &&
         std::chrono::steady_clock::now() < until) {
    Sleep(50);
  }
  // q = 2 wide x 1.5 deep x 0.8 = 2.4.
  EXPECT_NE(contentOf(report).find("<b>2.400 ft\u00b3/s</b>"), std::string::npos)
      << "the report of river.csv";

  PostMessageW(window, WM_CLOSE, 0, 0);
  EXPECT_EQ(WaitForSingleObject(running.process.hProcess, 20000), WAIT_OBJECT_0);
  for (const wchar_t* name :
       {L"morvane.exe", L"MorvTran.ini", L"Raw.txt", L"river.csv", L"river.summary.html"}) {
    DeleteFileW((folder + L"\\" + name).c_str());
  }
  RemoveDirectoryW(folder.c_str());
}
