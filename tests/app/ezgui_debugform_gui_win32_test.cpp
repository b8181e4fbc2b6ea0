// The debug form of the GUI layer over Win32 and the holding back of
// drawing while a form is laid out anew, on a virtual display under Wine.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/ezgui/ezgui.h"
#include "app/ezgui/win32/ezgui_win32_state.h"

namespace {

constexpr const char* Form = "MORVANE";

std::vector<std::string> seen;  // events, "FORM id code"
std::function<void()> whenStarted;

void record(std::string& form, int& id, int& code, int& value, int& cancel) {
  seen.push_back(form + " " + std::to_string(id) + " " + std::to_string(code));
  if (form == Form && id == 0 && code == EzStarted && whenStarted) {
    whenStarted();
    EZ_UNLOADFORM(Form);
  }
  // The background, painted the way the program paints it.
  if (code == EzEraseBackground) {
    float width = 0, height = 0;
    if (EZ_STARTERASEBG(value, width, height) != 0) EZ_ENDERASEBG(cancel);
  }
}

void startup(int) {
  EZ_FORM(Form, "", "Main", 0, 0, 122, 40, "");
}

void run(std::function<void()> check) {
  seen.clear();
  whenStarted = std::move(check);
  char name[] = "test";
  char* argv[] = {name, nullptr};
  EZ_GUIRUN(1, argv, startup, record, nullptr);
}

int count(const std::string& event) {
  int n = 0;
  for (const std::string& s : seen) n += s == event ? 1 : 0;
  return n;
}

// Events of the debug form other than the painting of its background,
// which every form hands to the program.
int debugFormEvents() {
  int n = 0;
  for (const std::string& s : seen) {
    n += s.rfind("Debug1 ", 0) == 0 && s != "Debug1 0 320" ? 1 : 0;
  }
  return n;
}

// Paints what is waiting to be painted, as the message loop would.
void paintNow(HWND window) {
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
  UpdateWindow(window);
  EZ_DOEVENTS(1);
}

}  // namespace

TEST(EzguiDebugFormWin32, ATextOverTheWholeFormWithNoEvents) {
  run([] {
    EZ_DEBUGFORM("Debug1");
    EXPECT_EQ(debugFormEvents(), 0) << "the debug form reports nothing";
    EXPECT_EQ(EZ_ISFORM("debug1", "E"), 1);
    const HWND window = ezwFormWindow("Debug1");
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(IsWindowVisible(window));
    wchar_t caption[64] = {};
    GetWindowTextW(window, caption, 64);
    EXPECT_STREQ(caption, L"Debug1");

    EzwControl* text = ezwFindControl("Debug1", 100);
    ASSERT_NE(text, nullptr);
    const auto style = static_cast<DWORD>(GetWindowLongPtrW(text->window, GWL_STYLE));
    EXPECT_TRUE(style & ES_MULTILINE);
    EXPECT_TRUE(style & ES_READONLY);

    // Longer than an edit holds by default, in "\r\n" lines as the trace
    // writes them.
    std::string lines;
    for (int i = 0; i < 3000; ++i) lines += "Dropping " + std::to_string(i) + "\r\n";
    EZ_SETTEXT("Debug1", 100, lines);
    EXPECT_EQ(EZ_GETTEXT("Debug1", 100), lines);
    EZ_SCROLLTO("Debug1", 100, 1, 0);
    EXPECT_GT(SendMessageW(text->window, EM_GETFIRSTVISIBLELINE, 0, 0), 2900);

    // The text follows the form's size.
    EZ_RESIZEFORM("Debug1", 0, 0, 60, 20, -1);
    RECT client{}, shown{};
    GetClientRect(window, &client);
    GetWindowRect(text->window, &shown);
    EXPECT_EQ(shown.right - shown.left, client.right);
    EXPECT_EQ(shown.bottom - shown.top, client.bottom);
    EXPECT_EQ(debugFormEvents(), 0);
  });
}

TEST(EzguiDebugFormWin32, NothingIsDrawnBetweenDelayAndRedraw) {
  run([] {
    const HWND window = ezwFormWindow(Form);
    const std::string erased = std::string(Form) + " 0 320";
    paintNow(window);
    const int atStart = count(erased);
    EXPECT_GT(atStart, 0) << "the background is painted through the program";

    EZ_DELAYDRAWCLIENT(Form, 0);
    EZ_RESIZEFORM(Form, 0, 0, 100, 30, -1);
    paintNow(window);
    EXPECT_EQ(count(erased), atStart) << "drawn while held back";

    EZ_REDRAWFORM(Form);
    EZ_DOEVENTS(1);
    UpdateWindow(window);
    EXPECT_GT(count(erased), atStart) << "not drawn again once released";
    EXPECT_TRUE(IsWindowVisible(window));
  });
}
