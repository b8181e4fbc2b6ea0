// The save dialog and the message box of the GUI layer over Win32, on a
// virtual display under Wine. Each dialog is the real one, found from
// another thread and answered with key presses that go wherever the
// keyboard is, as a person's would.
#include <windows.h>

#include <commctrl.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "support/keys_win32.h"

#include "app/ezgui/ezgui.h"
#include "app/ezgui/win32/ezgui_win32_state.h"
#include "app/win32_text.h"

namespace {

constexpr const char* Form = "MORVANE";
constexpr int Bar = 260;
constexpr const char* Filter = "Comma Separated Values|*.csv|Text Files|*.txt|All Files|*.*";
// Dialog items as both Windows and Wine number them.
constexpr int kBoxText = 0xFFFF;
constexpr int kFileTypes = 0x470;

std::function<void()> whenStarted;
DWORD guiThread = 0;

void record(std::string& form, int& id, int& code, int&, int&) {
  if (form == Form && id == 0 && code == EzStarted && whenStarted) {
    whenStarted();
    EZ_UNLOADFORM(Form);
  }
}

void design(const std::string& form) {
  EZ_STATUSBAR(form, Bar, "", "");
}

void startup(int) {
  EZ_FORM(Form, "", "Main", 0, 0, 122, 40, "");
}

void run(std::function<void()> check) {
  guiThread = GetCurrentThreadId();
  whenStarted = std::move(check);
  char name[] = "test";
  char* argv[] = {name, nullptr};
  EZ_GUIRUN(1, argv, startup, record, design);
}

std::wstring titleOf(HWND window) {
  wchar_t title[256] = {};
  GetWindowTextW(window, title, 256);
  return title;
}

struct DialogSearch {
  std::wstring title;
  bool anyTitle = false;
  HWND except = nullptr;
  HWND found = nullptr;
};

BOOL CALLBACK lookAt(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<DialogSearch*>(data);
  wchar_t kind[64] = {};
  GetClassNameW(window, kind, 64);
  if (std::wstring(kind) == L"#32770" && IsWindowVisible(window) && window != search->except &&
      (search->anyTitle || titleOf(window) == search->title)) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

// The GUI thread's dialog with this title, once it is up; nullptr when none
// comes within `waitMs`.
HWND dialogTitled(const std::wstring& title, int waitMs = 20000) {
  for (int waited = 0; waited <= waitMs; waited += 20) {
    DialogSearch search{title};
    EnumThreadWindows(guiThread, lookAt, reinterpret_cast<LPARAM>(&search));
    if (search.found) return search.found;
    Sleep(20);
  }
  return nullptr;
}

void press(WORD key) {
  pressKey(key);
}
void type(const std::wstring& text) {
  typeText(text);
}

std::wstring statusPart(HWND bar, int index) {
  wchar_t shown[128] = {};
  SendMessageW(bar, SB_GETTEXTW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(shown));
  return shown;
}

// A folder of its own for each test, as Windows writes it (with "\").
std::string freshFolder(const std::wstring& name) {
  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  wchar_t full[MAX_PATH] = {};
  GetLongPathNameW(temp, full, MAX_PATH);
  const std::wstring folder =
      std::wstring(full) + name + L"-" + std::to_wstring(GetCurrentProcessId());
  CreateDirectoryW(folder.c_str(), nullptr);
  return narrow(folder) + "\\";
}

}  // namespace

TEST(EzguiDialogsWin32, TheMessageBoxHasOnlyOkNoIconAndHoldsTheWholeProgram) {
  std::wstring text;
  bool ok = false, cancel = false, icon = true, formEnabled = true, inFront = false;
  run([&] {
    std::thread user([&] {
      const HWND box = dialogTitled(L"");
      ASSERT_NE(box, nullptr) << "no message box came up";
      wchar_t shown[256] = {};
      GetDlgItemTextW(box, kBoxText, shown, 256);
      text = shown;
      ok = GetDlgItem(box, IDOK) != nullptr;
      cancel = GetDlgItem(box, IDCANCEL) != nullptr;
      // The icon's place is item 0x14 on Windows and 0x440 under Wine.
      icon = SendDlgItemMessageW(box, 0x14, STM_GETICON, 0, 0) != 0 ||
             SendDlgItemMessageW(box, 0x440, STM_GETICON, 0, 0) != 0;
      formEnabled = IsWindowEnabled(ezwFormWindow(Form)) != FALSE;
      // (Wine keeps the box out of the topmost band that Windows puts it in.)
      inFront = GetForegroundWindow() == box;
      press(VK_RETURN);
    });
    EZ_MSGBOX("An error occured while opening file:\rC:/Messungen/Flu\xc3\x9f.csv");
    user.join();
    EXPECT_TRUE(IsWindowEnabled(ezwFormWindow(Form))) << "the window is given back";
  });
  EXPECT_EQ(text, L"An error occured while opening file:\r\nC:/Messungen/Flu\u00df.csv");
  EXPECT_TRUE(ok);
  EXPECT_FALSE(cancel);
  EXPECT_FALSE(icon);
  EXPECT_FALSE(formEnabled) << "the box is modal to the program";
  EXPECT_TRUE(inFront);
}

TEST(EzguiDialogsWin32, TheWorkersTextsKeepComingWhileAMessageBoxIsUp) {
  std::atomic<bool> shownDuringBox{false};
  run([&] {
    const HWND bar = ezwFindControl(Form, Bar)->window;
    std::thread worker([&] {
      if (!dialogTitled(L"")) return;
      EZ_SETSBTEXT(Form, Bar, 1, "Receiving data . 1", "P");
      for (int waited = 0; waited < 10000 && !shownDuringBox; waited += 20) {
        shownDuringBox = statusPart(bar, 0) == L"Receiving data . 1";
        Sleep(20);
      }
      press(VK_RETURN);
    });
    EZ_MSGBOX("Failed to start communications!");
    worker.join();
  });
  EXPECT_TRUE(shownDuringBox) << "the queue waited for the box to close";
}

TEST(EzguiDialogsWin32, ATypedNameGetsTheFiltersExtensionInTheGivenFolder) {
  const std::string folder = freshFolder(L"morvane typed");
  std::string chosen;
  std::wstring firstType;
  LRESULT types = 0;
  HWND owner = nullptr;
  run([&] {
    std::thread user([&] {
      const HWND dialog = dialogTitled(L"Select Data File");
      ASSERT_NE(dialog, nullptr) << "no save dialog came up";
      owner = GetWindow(dialog, GW_OWNER);
      const HWND list = GetDlgItem(dialog, kFileTypes);
      types = SendMessageW(list, CB_GETCOUNT, 0, 0);
      wchar_t item[128] = {};
      SendMessageW(list, CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(item));
      firstType = item;
      type(L"Flu\u00df run");
      press(VK_RETURN);
    });
    chosen = EZ_SAVEFILE(Form, "Select Data File", folder, "", Filter, "csv", "Z");
    user.join();
    EXPECT_EQ(owner, ezwFormWindow(Form));
  });
  EXPECT_EQ(chosen, folder + "Flu\xc3\x9f run.csv");
  EXPECT_EQ(types, 3);
  EXPECT_EQ(firstType, L"Comma Separated Values");
}

TEST(EzguiDialogsWin32, AnExistingFileIsTakenWithoutAsking) {
  const std::string folder = freshFolder(L"morvane existing");
  const std::string existing = folder + "old.csv";
  CloseHandle(CreateFileW(widen(existing).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                          FILE_ATTRIBUTE_NORMAL, nullptr));
  std::string chosen;
  bool asked = false;
  run([&] {
    std::thread user([&] {
      const HWND dialog = dialogTitled(L"Select Data File");
      ASSERT_NE(dialog, nullptr) << "no save dialog came up";
      press(VK_RETURN);
      // A "replace it?" question would be a second dialog of the thread.
      for (int waited = 0; waited < 1500 && IsWindow(dialog); waited += 20) {
        DialogSearch question{L"", true, dialog};
        EnumThreadWindows(guiThread, lookAt, reinterpret_cast<LPARAM>(&question));
        if (question.found) {
          asked = true;
          PostMessageW(question.found, WM_COMMAND, IDYES, 0);
        }
        Sleep(20);
      }
    });
    chosen = EZ_SAVEFILE(Form, "Select Data File", folder, existing, Filter, "csv", "Z");
    user.join();
  });
  EXPECT_EQ(chosen, existing);
  EXPECT_FALSE(asked);
}

TEST(EzguiDialogsWin32, EscapeCancelsWithAnEmptyPath) {
  const std::string folder = freshFolder(L"morvane cancel");
  std::string chosen = "not called";
  run([&] {
    std::thread user([&] {
      ASSERT_NE(dialogTitled(L"Select Data File"), nullptr) << "no save dialog came up";
      type(L"never");
      press(VK_ESCAPE);
    });
    chosen = EZ_SAVEFILE(Form, "Select Data File", folder, "", Filter, "csv", "Z");
    user.join();
  });
  EXPECT_EQ(chosen, "");
}
