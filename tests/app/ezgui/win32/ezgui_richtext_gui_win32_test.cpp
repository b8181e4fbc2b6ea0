// The rich-text view of the GUI layer over Win32 (RichEdit 4.1), on a
// virtual display under Wine: replacing and inserting at the selection,
// the text limit that drops the oldest lines, bytes shown one for one,
// scrolling only when asked, and rich-text documents read by the control.
#include <windows.h>

#include <richedit.h>

#include <functional>
#include <string>

#include <gtest/gtest.h>

#include "app/ezgui/ezgui.h"
#include "app/ezgui/win32/ezgui_win32_state.h"

namespace {

constexpr const char* Form = "Morvane";
constexpr int kView = 200;

std::function<void()> whenStarted;

void events(std::string& form, int& id, int& code, int&, int&) {
  if (form == "MORVANE" && id == 0 && code == EzStarted) {
    if (whenStarted) whenStarted();
    EZ_UNLOADFORM("MORVANE");
  }
}

void design(const std::string& form) {
  if (form != "MORVANE") return;
  EZ_RICHTEXT2(form, kView, 0.625f, 1, 60, 12, "ASV");
  EZ_SETRICHTEXT(form, kView, "", 0, 0);
}

void startup(int) {
  EZ_FORM("MORVANE", "", "Main", 0, 0, 122, 40, "");
}

void run(std::function<void()> check) {
  whenStarted = std::move(check);
  char name[] = "test";
  char* argv[] = {name, nullptr};
  EZ_GUIRUN(1, argv, startup, events, design);
}

HWND view() {
  EzwControl* c = ezwFindControl(Form, kView);
  return c ? c->window : nullptr;
}

void append(const std::string& line) {
  EZ_SETRICHSEL(Form, kView, -1, -1);
  EZ_SETRICHTEXT(Form, kView, line, 0, 1);
}

std::string numberedLines(int from, int to) {
  std::string s;
  for (int i = from; i <= to; ++i) s += "record " + std::to_string(i) + "\n";
  return s;
}

int firstVisibleLine() {
  return static_cast<int>(SendMessageW(view(), EM_GETFIRSTVISIBLELINE, 0, 0));
}

}  // namespace

TEST(EzguiRichTextWin32, ReplaceAndInsertAtTheSelection) {
  run([] {
    ASSERT_NE(view(), nullptr);
    wchar_t windowClass[64] = {};
    GetClassNameW(view(), windowClass, 64);
    EXPECT_EQ(lstrcmpiW(windowClass, MSFTEDIT_CLASS), 0);
    EXPECT_TRUE(GetWindowLongW(view(), GWL_STYLE) & ES_READONLY);

    EXPECT_EQ(EZ_GETTEXT(Form, kView), "");
    EZ_SETRICHTEXT(Form, kView, "alpha\nomega\n", 0, 0);
    EXPECT_EQ(EZ_GETTEXT(Form, kView), "alpha\nomega\n");
    append("tail\n");
    EXPECT_EQ(EZ_GETTEXT(Form, kView), "alpha\nomega\ntail\n");

    EZ_SETRICHSEL(Form, kView, 6, 6);
    EZ_SETRICHTEXT(Form, kView, "beta\n", 0, 1);
    EXPECT_EQ(EZ_GETTEXT(Form, kView), "alpha\nbeta\nomega\ntail\n");

    EZ_SETRICHSEL(Form, kView, 0, 5);  // a selection is replaced by the insert
    EZ_SETRICHTEXT(Form, kView, "ALPHA", 0, 1);
    EXPECT_EQ(EZ_GETTEXT(Form, kView), "ALPHA\nbeta\nomega\ntail\n");

    EZ_SETRICHSEL(Form, kView, 5000, 5000);  // past the end: at the end
    EZ_SETRICHTEXT(Form, kView, "!", 0, 1);
    EXPECT_EQ(EZ_GETTEXT(Form, kView), "ALPHA\nbeta\nomega\ntail\n!");

    // A plain text that looks like a document is shown as it stands.
    EZ_SETTEXT(Form, kView, "{\\rtf1 not a document}");
    EXPECT_EQ(EZ_GETTEXT(Form, kView), "{\\rtf1 not a document}");
    EZ_CLEAR(Form, kView);
    EXPECT_EQ(EZ_GETTEXT(Form, kView), "");
  });
}

TEST(EzguiRichTextWin32, LimitDropsTheOldestLinesSoTheNewestStay) {
  run([] {
    EZ_SETRICHTEXTLEN(Form, kView, 100);
    for (int i = 1; i <= 40; ++i) append("record " + std::to_string(i) + "\n");
    const std::string text = EZ_GETTEXT(Form, kView);
    EXPECT_LE(text.size(), 100u);
    EXPECT_GT(text.size(), 80u) << "only as much dropped as needed";
    EXPECT_EQ(text.substr(text.size() - 10), "record 40\n");
    EXPECT_EQ(text.rfind("record ", 0), 0u) << "whole lines dropped, none cut: " << text;

    // The same with everything in one insert, and with a replacement.
    EZ_SETRICHTEXT(Form, kView, "", 0, 0);
    append(numberedLines(1, 40));
    EXPECT_EQ(EZ_GETTEXT(Form, kView), text);
    EZ_SETRICHTEXT(Form, kView, numberedLines(1, 40), 0, 0);
    EXPECT_EQ(EZ_GETTEXT(Form, kView), text);

    // An insert before the end: only lines before the insert point are old.
    EZ_SETRICHTEXTLEN(Form, kView, 0);
    EZ_SETRICHTEXT(Form, kView, numberedLines(1, 5), 0, 0);
    EZ_SETRICHTEXTLEN(Form, kView, 45);
    EZ_SETRICHSEL(Form, kView, 9, 9);  // after "record 1\n"
    EZ_SETRICHTEXT(Form, kView, "inserted\n", 0, 1);
    EXPECT_EQ(EZ_GETTEXT(Form, kView), "inserted\n" + numberedLines(2, 5));

    // A last line longer than the limit: its end is kept.
    EZ_SETRICHTEXTLEN(Form, kView, 3);
    EZ_SETRICHTEXT(Form, kView, "abcdefgh", 0, 0);
    EXPECT_EQ(EZ_GETTEXT(Form, kView), "fgh");
  });
}

TEST(EzguiRichTextWin32, EveryByteShowsAsOneCharacter) {
  run([] {
    std::string all;
    for (int b = 1; b < 256; ++b) {
      if (b != '\n' && b != '\r') all += static_cast<char>(b);
    }
    append(all);
    EXPECT_EQ(EZ_GETTEXT(Form, kView), all);
    GETTEXTLENGTHEX measure{GTL_NUMCHARS | GTL_PRECISE, 1200};
    EXPECT_EQ(SendMessageW(view(), EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&measure), 0),
              static_cast<LRESULT>(all.size()));

    EZ_SETRICHTEXT(Form, kView, "Feet\x85 12.5 \xb0", 0, 0);
    EXPECT_EQ(EZ_GETTEXT(Form, kView), "Feet\x85 12.5 \xb0");
    wchar_t shown[32] = {};
    TEXTRANGEW range{{0, 12}, shown};
    SendMessageW(view(), EM_GETTEXTRANGE, 0, reinterpret_cast<LPARAM>(&range));
    EXPECT_EQ(shown[4], 0x85);
    EXPECT_EQ(shown[11], 0xb0);
  });
}

TEST(EzguiRichTextWin32, ScrollsOnlyWhenAsked) {
  run([] {
    EZ_RESIZE(Form, kView, 1, 1, 40, 6);
    for (int i = 1; i <= 200; ++i) append("record " + std::to_string(i) + "\n");
    EXPECT_EQ(firstVisibleLine(), 0) << "appending does not move the view";
    EZ_SCROLLTO(Form, kView, 1, -2);
    const int atEnd = firstVisibleLine();
    EXPECT_GT(atEnd, 150);
    // The last record is in sight.
    RECT area{};
    GetClientRect(view(), &area);
    POINTL last{};
    SendMessageW(view(), EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&last),
                 static_cast<LPARAM>(EZ_GETTEXT(Form, kView).size() - 2));
    EXPECT_GE(last.y, 0);
    EXPECT_LT(last.y, area.bottom);

    EZ_SETRICHSEL(Form, kView, 0, 0);
    EXPECT_EQ(firstVisibleLine(), atEnd) << "moving the selection does not scroll";
    append("record 201\n");
    EXPECT_EQ(firstVisibleLine(), atEnd);
    EZ_SCROLLTO(Form, kView, 0, 0);
    EXPECT_EQ(firstVisibleLine(), 0);
  });
}

TEST(EzguiRichTextWin32, DocumentsAreReadByTheControlAndFontsSet) {
  run([] {
    EZ_SETRICHTEXTLEN(Form, kView, 20);
    const std::string rtf =
        "{\\rtf1\\ansi{\\fonttbl\\f0\\fswiss Arial;}\\f0\\fs24 {\\b Help} for the "
        "user\\par Second line with more than twenty characters\\par}";
    EZ_SETRICHTEXT(Form, kView, rtf, 1, 0);
    const std::string text = EZ_GETTEXT(Form, kView);
    EXPECT_EQ(text.rfind("Help for the user\nSecond line with more", 0), 0u) << text;
    EXPECT_EQ(text.find("rtf"), std::string::npos) << "the markup is read, not shown";
    // The markup took effect: the first word is bold, the rest is not.
    CHARFORMAT2W format{};
    format.cbSize = sizeof format;
    EZ_SETRICHSEL(Form, kView, 0, 4);
    SendMessageW(view(), EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
    EXPECT_TRUE(format.dwEffects & CFE_BOLD);
    EZ_SETRICHSEL(Form, kView, 5, 8);
    SendMessageW(view(), EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
    EXPECT_FALSE(format.dwEffects & CFE_BOLD);

    EZ_SETRICHTEXT(Form, kView, "", 0, 0);
    EZ_SETRICHFONT(Form, kView, "Tahoma", 10, "F", "", 0, 0);
    append("in the view's font\n");
    EZ_SETRICHSEL(Form, kView, 0, 5);
    format = CHARFORMAT2W{};
    format.cbSize = sizeof format;
    SendMessageW(view(), EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
    EXPECT_STREQ(format.szFaceName, L"Tahoma");
    EXPECT_EQ(format.yHeight, 200);
  });
}
