// Accelerator tables of the GUI layer over Win32, on a virtual display
// under Wine: real key presses (SendInput) go wherever the keyboard is and
// through the layer's message loop. Each run ends by Ctrl+X, itself an
// accelerator; a timer ends a run whose keys never arrive.
#include <windows.h>

#include <cctype>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/keys_win32.h"

#include "app/ezgui/ezgui.h"
#include "app/ezgui/win32/ezgui_win32_state.h"

namespace {

constexpr int kPorts = 140;
constexpr int kFileBox = 170;
constexpr int kOtherBox = 10;
constexpr int kExit = 1116;
constexpr char kTable[] = "F1,1111|^F,1112|^P,1113|^Z,1115|^X,1116|+%B,1118";

// Command events, "FORM id", in order.
std::vector<std::string> commands;
std::function<void()> whenStarted;
std::function<void(const std::string&, int)> onCommand;
bool gaveUp = false;

// The keys go in once the loop runs, the main window shown and given the
// keyboard as the layer does after its start event.
void CALLBACK startTyping(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(nullptr, timer);
  if (whenStarted) whenStarted();
}

void events(std::string& form, int& id, int& code, int&, int&) {
  if (form == "MAIN" && id == 0 && code == EzStarted) {
    SetTimer(nullptr, 0, 1, startTyping);
    return;
  }
  if (id < 1000 || code != EzClick) return;
  commands.push_back(form + " " + std::to_string(id));
  if (onCommand) onCommand(form, id);
  if (form == "MAIN" && id == kExit) EZ_UNLOADFORM("MAIN");
}

void design(const std::string& form) {
  if (form == "MAIN") {
    EZ_COMBOBOX(form, kPorts, "COM 1|COM 2|COM 3", 2, 2, 20, 8, "");
    EZ_TEXT(form, kFileBox, "", 2, 6, 40, 1.5, "");
  } else if (form == "OTHER") {
    EZ_TEXT(form, kOtherBox, "", 2, 2, 40, 1.5, "");
  }
}

void startup(int) {
  EZ_FORM("MAIN", "", "Main", 0, 0, 80, 20, "");
}

void CALLBACK giveUp(HWND, UINT, UINT_PTR, DWORD) {
  gaveUp = true;
  EZ_UNLOADFORM("MAIN");
}

void run(std::function<void()> started, std::function<void(const std::string&, int)> command) {
  commands.clear();
  gaveUp = false;
  whenStarted = [started] {
    EZ_DEFACCEL("Main", kTable);
    started();
  };
  onCommand = std::move(command);
  SetTimer(nullptr, 0, 10000, giveUp);
  char name[] = "test";
  char* argv[] = {name, nullptr};
  EZ_GUIRUN(1, argv, startup, events, design);
}

void key(WORD virtualKey, bool up) {
  sendKey(virtualKey, up);
}
void press(WORD virtualKey, std::initializer_list<WORD> held = {}) {
  pressKey(virtualKey, held);
}
void type(const std::string& letters) {
  typeKeys(letters);
}

HWND control(const std::string& form, int id) {
  EzwControl* c = ezwFindControl(form, id);
  return c ? c->window : nullptr;
}

}  // namespace

TEST(EzguiAccelWin32, KeysOfTheFormWinOverTheFocusedControlAndAHeldKeyGivesOne) {
  std::string boxAtCtrlZ;
  std::string boxAtExit;
  run(
      [] {
        EZ_SETFOCUS("Main", kFileBox);
        type("ab");
        press('Z', {VK_CONTROL});
        press(VK_F1);
        press('F', {VK_CONTROL, VK_SHIFT});  // not in the table: no command
        key(VK_F1, false);                   // F1 held: the keyboard repeats it
        key(VK_F1, false);
        key(VK_F1, false);
        key(VK_F1, true);
        press('B', {VK_SHIFT, VK_MENU});
        press('X', {VK_CONTROL});
      },
      [&](const std::string&, int id) {
        if (id == 1115) boxAtCtrlZ = EZ_GETTEXT("Main", kFileBox);
        // With the box's text selected, Ctrl+X must not cut it.
        if (id == 1118) SendMessageW(control("MAIN", kFileBox), EM_SETSEL, 0, -1);
        if (id == kExit) boxAtExit = EZ_GETTEXT("Main", kFileBox);
      });
  EXPECT_FALSE(gaveUp) << "the keys did not all arrive";
  const std::vector<std::string> expected = {"MAIN 1115", "MAIN 1111", "MAIN 1111", "MAIN 1118",
                                             "MAIN 1116"};
  EXPECT_EQ(commands, expected);
  EXPECT_EQ(boxAtCtrlZ, "ab") << "Ctrl+Z is the form's, not the box's undo";
  EXPECT_EQ(boxAtExit, "ab") << "Ctrl+X is the form's, not the box's cut";
}

TEST(EzguiAccelWin32, NotInAnotherWindowOfTheProgramButInTheListsDropDown) {
  std::string otherBox = "?";
  bool droppedAtF1 = false;
  run(
      [] {
        // A window of its own, owned by the main window (as the help window is).
        EZ_FORM("OTHER", "MAIN", "Other", 10, 10, 50, 10, "");
        EZ_DEFACCEL("Other", "^Q,2001");
        EZ_SETFOCUS("Other", kOtherBox);
        type("ab");
        press('Z', {VK_CONTROL});  // the box's undo here
        press(VK_F1);              // no key of the main window here
        press('Q', {VK_CONTROL});
      },
      [&](const std::string& form, int id) {
        if (form == "OTHER" && id == 2001) {
          otherBox = EZ_GETTEXT("Other", kOtherBox);
          EZ_UNLOADFORM("Other");
          // The user opens the port list as Ctrl+P does and presses keys there.
          EZ_SETFOCUS("Main", kPorts);
          EZ_SENDMESSAGE("Main", kPorts, CB_SHOWDROPDOWN, 1, 0);
          press(VK_F1);
          press('X', {VK_CONTROL});
        }
        if (form == "MAIN" && id == 1111) {
          droppedAtF1 = SendMessageW(control("MAIN", kPorts), CB_GETDROPPEDSTATE, 0, 0) != 0;
        }
      });
  EXPECT_FALSE(gaveUp) << "the keys did not all arrive";
  const std::vector<std::string> expected = {"OTHER 2001", "MAIN 1111", "MAIN 1116"};
  EXPECT_EQ(commands, expected);
  EXPECT_EQ(otherBox, "") << "Ctrl+Z undid the typing in the other window";
  EXPECT_TRUE(droppedAtF1);
}

TEST(EzguiAccelWin32, TablesTakeOnlyTheEntriesTheyUnderstand) {
  run(
      [] {
        EZ_DEFACCEL("Main", "F1,1111|^,1112|^Q,x|,1113|^%F24,1120|^ home ,1121|^X,1116|junk");
        press(VK_F24, {VK_CONTROL, VK_MENU});
        press(VK_HOME, {VK_CONTROL});
        press('Q', {VK_CONTROL});
        press(VK_F1);
        press('X', {VK_CONTROL});
      },
      nullptr);
  EXPECT_FALSE(gaveUp) << "the keys did not all arrive";
  const std::vector<std::string> expected = {"MAIN 1120", "MAIN 1121", "MAIN 1111", "MAIN 1116"};
  EXPECT_EQ(commands, expected);
}

namespace {

// A dialog of the program's own, without a caption, owned by the main
// window, with one text box that has the keyboard.
HWND openDialog() {
  const HWND dialog =
      CreateWindowExW(0, L"#32770", L"", WS_POPUP | WS_BORDER | WS_VISIBLE, 40, 40, 300, 80,
                      ezwFormWindow("MAIN"), nullptr, GetModuleHandleW(nullptr), nullptr);
  const HWND box = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE | WS_BORDER, 10, 10, 200,
                                   24, dialog, nullptr, GetModuleHandleW(nullptr), nullptr);
  SetForegroundWindow(dialog);
  SetFocus(box);
  return box;
}

}  // namespace

TEST(EzguiAccelWin32, NotInADialogEvenOneWithoutACaption) {
  std::wstring boxAfter = L"?";
  run(
      [&] {
        const HWND box = openDialog();
        type("ab");
        press('Z', {VK_CONTROL});  // the box's undo here
        press(VK_F1);              // no key of the main window here
        for (int waited = 0; waited < 1500; waited += 20) {
          EZ_DOEVENTS(0);
          Sleep(20);
        }
        wchar_t text[16] = {};
        GetWindowTextW(box, text, 16);
        boxAfter = text;
        DestroyWindow(GetParent(box));
        EZ_SETFOCUS("Main", kFileBox);
        press('X', {VK_CONTROL});
      },
      nullptr);
  EXPECT_FALSE(gaveUp) << "the keys did not all arrive";
  EXPECT_EQ(boxAfter, L"") << "Ctrl+Z undid the typing in the dialog";
  EXPECT_EQ(commands, std::vector<std::string>{"MAIN 1116"});
}
