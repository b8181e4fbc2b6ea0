// The Windows program's resources through the GUI layer over Win32, on a
// virtual display under Wine: the icon in the sizes the window draws it at,
// the background and the logo at their sizes and colours, the version
// information, the manifest's common controls, and the cursors the program
// sets while it is busy.
#include <windows.h>

#include <commctrl.h>

#include <cwctype>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/ezgui/ezgui.h"
#include "app/ezgui/win32/ezgui_win32_state.h"
#include "support/shown_form_win32.h"

namespace {

constexpr const char* Form = "MORVANE";
constexpr int FileBox = 170;
constexpr int Arrow = 1;
constexpr int Wait = 2;

std::function<void()> whenStarted;

void record(std::string& form, int& id, int& code, int&, int&) {
  if (form == Form && id == 0 && code == EzStarted && whenStarted) {
    showFormNow(Form);
    whenStarted();
    EZ_UNLOADFORM(Form);
  }
}

void design(const std::string& form) {
  EZ_TEXT(form, FileBox, "", 2, 9, 60, 1.5, "");
}

void startup(int) {
  EZ_FORM(Form, "", "Main", 0, 0, 122, 40, "");
}

void run(std::function<void()> check) {
  whenStarted = std::move(check);
  char name[] = "test";
  char* argv[] = {name, nullptr};
  EZ_GUIRUN(1, argv, startup, record, design);
}

SIZE bitmapSize(HBITMAP bitmap) {
  BITMAP info{};
  GetObjectW(bitmap, sizeof info, &info);
  return {info.bmWidth, info.bmHeight};
}

SIZE iconSize(HICON icon) {
  ICONINFO info{};
  if (!GetIconInfo(icon, &info)) return {0, 0};
  const SIZE size = bitmapSize(info.hbmColor ? info.hbmColor : info.hbmMask);
  if (info.hbmColor) DeleteObject(info.hbmColor);
  DeleteObject(info.hbmMask);
  return size;
}

COLORREF pixelOf(HBITMAP bitmap, int x, int y) {
  const HDC dc = CreateCompatibleDC(nullptr);
  const HGDIOBJ before = SelectObject(dc, bitmap);
  const COLORREF colour = GetPixel(dc, x, y);
  SelectObject(dc, before);
  DeleteDC(dc);
  return colour;
}

std::wstring versionText(const wchar_t* field) {
  wchar_t program[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, program, MAX_PATH);
  std::vector<char> block(GetFileVersionInfoSizeW(program, nullptr));
  if (block.empty() ||
      !GetFileVersionInfoW(program, 0, static_cast<DWORD>(block.size()), block.data())) {
    return L"<no version information>";
  }
  void* text = nullptr;
  UINT length = 0;
  const std::wstring path = std::wstring(L"\\StringFileInfo\\040904B0\\") + field;
  if (!VerQueryValueW(block.data(), path.c_str(), &text, &length)) return L"<none>";
  return static_cast<const wchar_t*>(text);
}

std::string narrowForMessage(const std::wstring& text) {
  std::string narrow;
  for (const wchar_t c : text) narrow += c < 128 ? static_cast<char>(c) : '?';
  return narrow;
}

// Puts the pointer over the middle of a window, as a person's hand would.
void pointAt(HWND window) {
  RECT area{};
  GetWindowRect(window, &area);
  SetCursorPos((area.left + area.right) / 2, (area.top + area.bottom) / 2);
}

}  // namespace

TEST(EzguiImagesWin32, TheIconInTheSizesTheWindowDrawsIt) {
  run([] {
    EXPECT_EQ(EZ_LOADICON("$NoSuchIcon"), 0);
    const int icon = EZ_LOADICON("$Prop1{T}");
    ASSERT_GT(icon, 0) << "the icon resource, in any letter case, its mark dropped";
    EZ_SETFORMICON("Morvane", icon);
    const HWND window = ezwFormWindow(Form);
    const auto big = reinterpret_cast<HICON>(SendMessageW(window, WM_GETICON, ICON_BIG, 0));
    const auto small = reinterpret_cast<HICON>(SendMessageW(window, WM_GETICON, ICON_SMALL, 0));
    ASSERT_NE(big, nullptr);
    ASSERT_NE(small, nullptr);
    EXPECT_EQ(iconSize(big).cx, GetSystemMetrics(SM_CXICON));
    EXPECT_EQ(iconSize(small).cx, GetSystemMetrics(SM_CXSMICON));
    EZ_SETFORMICON("Morvane", icon + 1);
    EXPECT_EQ(reinterpret_cast<HICON>(SendMessageW(window, WM_GETICON, ICON_BIG, 0)), big)
        << "an icon number never handed out changes nothing";
  });
}

TEST(EzguiImagesWin32, TheBackgroundAndTheLogoAtTheirSizesAndColours) {
  run([] {
    EXPECT_EQ(EZ_LOADPICTURE("$NoSuchPicture"), "");
    EXPECT_EQ(EZ_IMAGEHANDLE("$NoSuchPicture"), 0);
    const std::string background = EZ_LOADPICTURE("$BG2");
    const std::string logo = EZ_LOADPICTURE("$morvane1");
    ASSERT_EQ(background, "$BG2");
    ASSERT_EQ(logo, "$morvane1");
    const int handle = EZ_IMAGEHANDLE(background);
    EXPECT_GT(handle, 0);
    EXPECT_EQ(EZ_IMAGEHANDLE(background), handle) << "one handle a picture";
    EXPECT_NE(EZ_IMAGEHANDLE(logo), handle);
    EXPECT_EQ(ezwImageBitmap(handle), ezwPictureBitmap(background));

    const SIZE backgroundSize = bitmapSize(ezwPictureBitmap(background));
    EXPECT_EQ(backgroundSize.cx, 1008);
    EXPECT_EQ(backgroundSize.cy, 756);
    const SIZE logoSize = bitmapSize(ezwPictureBitmap(logo));
    EXPECT_EQ(logoSize.cx, 439);
    EXPECT_EQ(logoSize.cy, 76);
    // The corners of the PNG files, as ImageMagick reads them: the bitmaps
    // are made from them without a change of colour.
    EXPECT_EQ(pixelOf(ezwPictureBitmap(background), 0, 0), RGB(0x4C, 0x67, 0x67));
    EXPECT_EQ(pixelOf(ezwPictureBitmap(logo), 0, 0), RGB(0x2C, 0x4C, 0x50));
  });
}

TEST(EzguiImagesWin32, VersionInformationAndTheCommonControlsOfTheManifest) {
  EXPECT_EQ(versionText(L"ProductName"), L"Morvane Data Transfer Utility");
  EXPECT_EQ(versionText(L"FileVersion"), L"1.0");
  EXPECT_EQ(versionText(L"OriginalFilename"), L"morvane.exe");
  // The manifest asks for version 6 of the common controls, whose look the
  // status bar and the lists take.
  InitCommonControls();
  const HMODULE controls = GetModuleHandleW(L"comctl32.dll");
  ASSERT_NE(controls, nullptr);
  // They are the side-by-side assembly of that version, not the system's
  // own older ones (whose version number Wine gives for both).
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(controls, path, MAX_PATH);
  std::wstring loaded = path;
  for (wchar_t& c : loaded) c = static_cast<wchar_t>(std::towlower(c));
  EXPECT_NE(loaded.find(L"\\winsxs\\"), std::wstring::npos) << narrowForMessage(loaded);
  EXPECT_NE(loaded.find(L"microsoft.windows.common-controls_6595b64144ccf1df_6.0."),
            std::wstring::npos)
      << narrowForMessage(loaded);
}

TEST(EzguiImagesWin32, TheWaitCursorWhileBusyAndEachWindowsOwnAfterwards) {
  run([] {
    const HCURSOR wait = LoadCursorW(nullptr, IDC_WAIT);
    const HCURSOR beam = LoadCursorW(nullptr, IDC_IBEAM);
    EZ_LOADCURSOR(Arrow, "#A");
    EZ_LOADCURSOR(Wait, "#w");
    const HWND box = ezwFindControl(Form, FileBox)->window;
    pointAt(box);
    EZ_DOEVENTS(1);

    EZ_SETCURSOR("", Wait);
    EXPECT_EQ(GetCursor(), wait) << "shown at once, before any message is handled";
    EZ_DOEVENTS(1);
    SendMessageW(box, WM_SETCURSOR, reinterpret_cast<WPARAM>(box),
                 MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(GetCursor(), wait) << "the text box asks its form first";

    EZ_SETCURSOR("", Arrow);
    EXPECT_EQ(GetCursor(), beam) << "the text box shows its own again";

    // A form's own cursor is the form's, not its controls'.
    EZ_SETCURSOR("Morvane", Wait);
    EXPECT_EQ(GetCursor(), beam);
    EZ_SETCURSOR("", 99);
    EXPECT_EQ(GetCursor(), beam) << "a number not loaded is ignored";
  });
}
