// The keyboard in the GUI layer's windows over Win32, as the Linux build
// has it: Tab and Shift+Tab move through the controls, a disabled list
// neither takes the keyboard nor drops down, a message box gives the
// keyboard back to the control that had it, and a control disabled while
// it has the keyboard hands it on. Real key presses (SendInput) on a
// virtual display under Wine, through the layer's message loop; a timer
// ends a run whose keys never arrive.
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

constexpr int kChoose = 110;
constexpr int kAppend = 120;
constexpr int kPorts = 140;
constexpr int kFileBox = 170;
constexpr int kView = 200;
constexpr int kFocusPorts = 1113;  // as the program's Ctrl+P
constexpr int kMessage = 1120;
constexpr int kDisablePorts = 1121;
constexpr int kLook = 2001;
constexpr int kExit = 1116;
constexpr char kTable[] = "^P,1113|^M,1120|^D,1121|^Q,2001|^X,1116";

std::vector<std::string> controlEvents;  // "id code value" of the controls
std::vector<int> focusedAtLook;          // the focused control at each Ctrl+Q
std::function<void()> whenStarted;
std::function<void(int)> onCommand;
bool gaveUp = false;

int focusedControl() {
  const HWND focus = GetFocus();
  return focus ? GetDlgCtrlID(focus) : 0;
}

void CALLBACK startTyping(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(nullptr, timer);
  EZ_DEFACCEL("Main", kTable);
  if (whenStarted) whenStarted();
}

void events(std::string& form, int& id, int& code, int& value, int&) {
  if (form != "MAIN") return;
  if (id == 0 && code == EzStarted) {
    SetTimer(nullptr, 0, 1, startTyping);
    return;
  }
  if (id == 0) return;
  if (id < 1000) {
    if (code == EzOwnerDraw) return;
    controlEvents.push_back(std::to_string(id) + " " + std::to_string(code) + " " +
                            std::to_string(value));
    return;
  }
  if (code != EzClick) return;
  if (id == kLook) focusedAtLook.push_back(focusedControl());
  if (onCommand) onCommand(id);
  if (id == kExit) EZ_UNLOADFORM("MAIN");
}

void design(const std::string& form) {
  if (form != "MAIN") return;
  EZ_ODBUTTON(form, kChoose, "Choose", 2, 1, 20, 2, "T");
  EZ_RADIO(form, kAppend, "Append", 24, 1, 12, 1.5f, "");
  EZ_TEXT(form, kFileBox, "", 2, 4, 40, 1.5, "");
  EZ_COMBOBOX(form, kPorts, "COM 1|COM 2|COM 3", 2, 7, 20, 8, "");
  EZ_RICHTEXT2(form, kView, 2, 10, 60, 8, "ASV");
}

void startup(int) {
  EZ_FORM("MAIN", "", "Main", 0, 0, 80, 22, "");
}

void CALLBACK giveUp(HWND, UINT, UINT_PTR, DWORD) {
  gaveUp = true;
  EZ_UNLOADFORM("MAIN");
}

void run(std::function<void()> started, std::function<void(int)> command = nullptr) {
  controlEvents.clear();
  focusedAtLook.clear();
  gaveUp = false;
  whenStarted = std::move(started);
  onCommand = std::move(command);
  SetTimer(nullptr, 0, 15000, giveUp);
  char name[] = "test";
  char* argv[] = {name, nullptr};
  EZ_GUIRUN(1, argv, startup, events, design);
}

void press(WORD virtualKey, std::initializer_list<WORD> held = {}) {
  pressKey(virtualKey, held);
}
void type(const std::string& letters) {
  typeKeys(letters);
}

HWND control(int id) {
  EzwControl* c = ezwFindControl("MAIN", id);
  return c ? c->window : nullptr;
}

// The message box, once it is up, answered by Enter as a person would.
void CALLBACK answerTheBox(HWND, UINT, UINT_PTR timer, DWORD) {
  wchar_t kind[16] = {};
  const HWND front = GetForegroundWindow();
  GetClassNameW(front, kind, 16);
  if (std::wstring(kind) != L"#32770") return;
  KillTimer(nullptr, timer);
  press(VK_RETURN);
}

}  // namespace

TEST(EzguiKeyboardWin32, TabAndShiftTabMoveThroughTheControlsAndEnterIsNoCommand) {
  run([] {
    EZ_SETFOCUS("Main", kChoose);
    press(VK_DOWN);  // no option button's click from a button
    press('Q', {VK_CONTROL});
    press(VK_TAB);
    press(VK_TAB);
    press('Q', {VK_CONTROL});
    press(VK_TAB);
    press('Q', {VK_CONTROL});
    press(VK_TAB);
    press('Q', {VK_CONTROL});
    press(VK_TAB, {VK_SHIFT});
    press(VK_TAB, {VK_SHIFT});
    press('Q', {VK_CONTROL});
    press(VK_RETURN);
    press(VK_ESCAPE);
    type("ab");
    press('X', {VK_CONTROL});
  });
  EXPECT_FALSE(gaveUp) << "the keys did not all arrive";
  const std::vector<int> expected = {kChoose, kFileBox, kPorts, kView, kFileBox};
  EXPECT_EQ(focusedAtLook, expected);
  const std::vector<std::string> edits = {"170 4 0", "170 4 0"};
  EXPECT_EQ(controlEvents, edits) << "an arrow, Enter or Escape gave an event";
}

TEST(EzguiKeyboardWin32, CtrlPLeavesADisabledListAloneAndItsPickUnchanged) {
  bool droppedAtLook = true;
  int pickAtLook = -2;
  run(
      [] {
        EZ_SELECTITEM("Main", kPorts, 0);
        EZ_SETFOCUS("Main", kFileBox);
        EZ_DISABLEC("Main", kPorts);
        press('P', {VK_CONTROL});
        press(VK_DOWN);
        press(VK_F4);
        press(VK_DOWN);
        press(VK_RETURN);
        press('Q', {VK_CONTROL});
        press('X', {VK_CONTROL});
      },
      [&](int id) {
        if (id == kFocusPorts) {
          // What the program's Ctrl+P does.
          EZ_SETFOCUS("Main", kPorts);
          EZ_SENDMESSAGE("Main", kPorts, CB_SHOWDROPDOWN, 1, 0);
        }
        if (id == kLook) {
          droppedAtLook = SendMessageW(control(kPorts), CB_GETDROPPEDSTATE, 0, 0) != 0;
          pickAtLook = static_cast<int>(SendMessageW(control(kPorts), CB_GETCURSEL, 0, 0));
        }
      });
  EXPECT_FALSE(gaveUp) << "the keys did not all arrive";
  EXPECT_FALSE(droppedAtLook);
  EXPECT_EQ(pickAtLook, 0);
  EXPECT_EQ(focusedAtLook, std::vector<int>{kFileBox});
  EXPECT_TRUE(controlEvents.empty()) << controlEvents.front();
}

TEST(EzguiKeyboardWin32, AfterAMessageBoxTheKeyboardIsBackInTheControlThatHadIt) {
  std::string boxAtLook = "?";
  run(
      [] {
        EZ_SETFOCUS("Main", kFileBox);
        type("ab");
        press('M', {VK_CONTROL});
      },
      [&](int id) {
        if (id == kMessage) {
          SetTimer(nullptr, 0, 50, answerTheBox);
          EZ_MSGBOX("Something to read");
          type("cd");
          press('Q', {VK_CONTROL});
          press('X', {VK_CONTROL});
        }
        if (id == kLook) boxAtLook = EZ_GETTEXT("Main", kFileBox);
      });
  EXPECT_FALSE(gaveUp) << "the keys did not all arrive";
  EXPECT_EQ(focusedAtLook, std::vector<int>{kFileBox});
  EXPECT_EQ(boxAtLook, "abcd");
}

TEST(EzguiKeyboardWin32, ADisabledControlHandsTheKeyboardToTheNextOne) {
  run(
      [] {
        EZ_SETFOCUS("Main", kFileBox);
        press('P', {VK_CONTROL});  // the list takes the keyboard
        press(VK_ESCAPE);          // and closes again
        press('D', {VK_CONTROL});  // the list is disabled, as a transfer starts
        press('Q', {VK_CONTROL});
        press('X', {VK_CONTROL});
      },
      [&](int id) {
        if (id == kFocusPorts) {
          EZ_SETFOCUS("Main", kPorts);
          EZ_SENDMESSAGE("Main", kPorts, CB_SHOWDROPDOWN, 1, 0);
        }
        if (id == kDisablePorts) EZ_DISABLEC("Main", kPorts);
      });
  EXPECT_FALSE(gaveUp) << "the keys did not all arrive";
  EXPECT_EQ(focusedAtLook, std::vector<int>{kView});
}
