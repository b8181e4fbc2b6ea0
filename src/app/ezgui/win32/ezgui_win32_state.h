// The GUI layer's backend over Win32: the hooks of ../ezgui_backend.h and
// the calls of the contract that are toolkit work, for the Windows build;
// the rules and the program-side state are the layer's (../ezgui_*.h).
//
// Files, by what they handle: the layer's state and event delivery
// (ezgui_state_win32), forms and their window procedure
// (ezgui_forms_win32), controls and their notifications
// (ezgui_controls_win32), the status bar (ezgui_statusbar_win32), the
// line height of form units (ezgui_units_win32), the message loop
// (ezgui_run_win32) and paths (ezgui_paths_win32); the rich-text view
// (ezgui_richtext_win32), accelerator keys (ezgui_accel_win32),
// owner-drawn buttons (ezgui_odbutton_win32), painting handed to the
// program (ezgui_paint_win32), system colours (ezgui_colours_win32),
// the queue's window (ezgui_queue_win32), tooltips
// (ezgui_tooltips_win32), picture controls (ezgui_picture_win32),
// numbered fonts (ezgui_fonts_win32), controls' colours
// (ezgui_ctlcolour_win32), delayed drawing (ezgui_redraw_win32), the
// debug form (ezgui_debugform_win32), where forms go on the screen
// (ezgui_screen_win32), status texts fitted to their parts
// (ezgui_sbfit_win32) and the status bar's own colours
// (ezgui_sbpaint_win32), system libraries from the system folder
// (ezgui_syslibs_win32), the keyboard (ezgui_keyboard_win32) and High
// Contrast (ezgui_contrast_win32), the DPI drawn for (ezgui_dpi_win32).
//
// Everything here is the GUI thread's. Windows are addressed by name in any
// letter case, as the contract asks; the registry key is the lower-case name.
#pragma once

#include <windows.h>

#include <atomic>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/ezgui/ezgui.h"
#include "app/ezgui/ezgui_backend.h"
#include "app/ezgui/ezgui_queue.h"
#include "app/ezgui/ezgui_units.h"

// ---- Rich view, accelerators, owner drawing, tooltips ----
// One key of a form's accelerator table.
struct EzwAccelerator {
  UINT key = 0;  // virtual key
  bool control = false;
  bool shift = false;
  bool alt = false;
  int command = 0;
};

// What a paint handed to the event routine draws into.
struct EzSurface {
  HDC dc = nullptr;
};

struct EzwControl : EzControlBase {
  HWND window = nullptr;
  std::vector<int> partPercentages;    // status bar
  std::vector<std::string> partTexts;  // status bar: each part's whole text
  HWND partTips = nullptr;             // status bar: the tooltips of cut texts
  // ---- Owner-drawn buttons, pictures ----
  std::string picture;   // the picture a picture control shows, by reference
  bool tooltip = false;  // EZ_ADDTOOLTIP registered it
  // Where the program placed it, in form units, to place it anew when the
  // units change with the DPI.
  bool placed = false;
  float x = 0, y = 0, width = 0, height = 0;
};

struct EzwForm : EzFormBase {
  HWND window = nullptr;
  HMENU menu = nullptr;
  std::map<int, EzwControl> controls;
  // Size events are reported once the form is shown; a form left minimised
  // or maximised reports its restoring too.
  bool reportsSizes = false;
  bool minimisedOrMaximised = false;
  // ---- Rich view, accelerators, owner drawing, tooltips ----
  std::vector<EzwAccelerator> accelerators;
  HWND tooltips = nullptr;   // the form's tooltip control, made with its first tool
  int tooltipStandIn = 0;    // the disabled control the form's own tool stands for
  HWND lastFocus = nullptr;  // the control that had the keyboard when the form went behind
};

struct EzwLayerState {
  EzEventRoutine events = nullptr;
  EzDesignRoutine design = nullptr;

  EzFormRegistry<EzwForm> forms;
  int nextFormSerial = 1;
  bool loopRunning = false;
  // Read by the receive worker to tell whether it must queue its calls.
  std::atomic<DWORD> guiThread{0};

  // The face controls show their text in: the one form units come from.
  HFONT controlFont = nullptr;
  // The DPI units and fonts are made for (ezgui_dpi_win32); 0 before the
  // first form, the desktop's then.
  UINT dpi = 0;
  // The layer itself is changing a text: no "edited" event for it.
  bool settingText = false;

  // ---- Rich view, accelerators, owner drawing, tooltips ----
  HMODULE richEditLibrary = nullptr;  // MSFTEDIT.DLL, loaded with the first view
  // The answer to the tooltip request being delivered, and the text the
  // tooltip control shows (it keeps a pointer to it).
  bool tooltipAnswered = false;
  std::string tooltipAnswer;
  std::wstring tooltipShown;
  // Numbered fonts, the font of the next controls (nullptr: the layer's
  // own), and every font made, which the layer deletes at the end.
  std::map<int, HFONT> fonts;
  HFONT nextFont = nullptr;
  std::vector<HFONT> madeFonts;
  // Brushes of the controls' own background colours, one a colour, deleted
  // with the fonts.
  std::map<COLORREF, HBRUSH> brushes;
};

extern EzwLayerState EzWin;

EzwForm* ezwFindForm(const std::string& name);
EzwForm* ezwFindFormBySerial(int serial);
EzwForm* ezwFindFormByWindow(HWND window);
// ezDeliver (../ezgui_backend.h) is safe when the routine unloads the
// form: nothing of the form is touched afterwards.

// Texts given to the layer are UTF-8 when they are valid UTF-8 and Latin-1
// otherwise, so no byte string fails to show.
std::wstring ezwFromBytes(const std::string& text);

EzwControl* ezwFindControl(const std::string& form, int id);
// The control notifications a form's window receives (WM_COMMAND from a
// control); true when it was one of ours.
bool ezwControlCommand(EzwForm& form, int id, int notification, HWND control);
// Shows each status part's text as its part holds it, the middle of a
// longer one given to an ellipsis and the whole as a tooltip
// (ezgui_sbfit_win32); ezwStatusText reads a part's whole text back.
void ezwFitStatusParts(EzwControl& bar, HWND form);
// The bar drawn in fixed light colours, not the desktop's (ezgui_sbpaint_win32).
void ezwPaintStatusBarItself(HWND bar);
std::string ezwStatusText(const std::string& form, int id, int part);
// Keeps the status bar at the bottom of a form whose size changed.
void ezwLayOutStatusBars(EzwForm& form);
// The font of the layer's controls, made on first use.
HFONT ezwControlFont();

// Unloads the form by key, its owned forms first; `announce` reports its
// event 0. Ends the message loop when the main form goes.
void ezUnloadForm(const std::string& key, bool announce);
// Drops every form without events (end of EZ_GUIRUN).
void ezwUnloadAllSilently();

// ---- Rich view, accelerators, owner drawing, tooltips ----
// A child control of the form in form units; replaces one of the same id.
HWND ezwAddControl(const std::string& form, int id, EzKind kind, const wchar_t* windowClass,
                   DWORD style, const std::string& text, float x, float y, float width,
                   float height, DWORD exStyle = 0);
// A key message of the message loop that is a form's accelerator: the
// form's command event is delivered (once for a held key) and the message
// goes no further. False for every other message.
bool ezwTranslateAccelerator(const MSG& message);
// Colour `number` of the layer's palette or as the program defined it;
// CLR_INVALID for none (-1, the default) (ezgui_colours_win32).
COLORREF ezwColour(int number);
COLORREF ezwColourRef(EzRgb colour);
// A WM_CTLCOLOR* message to a form: the control's text and background in
// its own colours. The brush to return, or 0 to leave it to the system
// (ezgui_ctlcolour_win32).
LRESULT ezwControlColours(EzwForm& form, UINT message, HWND control, HDC dc);
// A form without its events (the debug form's), and showing it
// (ezgui_forms_win32).
EzwForm& ezwMakeForm(const std::string& name, const std::string& parent, const std::string& caption,
                     float x, float y, float width, float height);
void ezwShowForm(EzwForm& form);
// The debug form's text (ezgui_debugform_win32): kept as written, shown
// with the line ends the control needs; and kept over the whole client.
void ezwSetMultiLineText(EzwControl& control, const std::string& text);
void ezwLayOutFilling(EzwForm& form);
// Font `number` as defined or built in; the layer's own for any other
// (ezgui_fonts_win32). ezwForgetFonts deletes them all.
HFONT ezwFont(int number);
void ezwForgetFonts();
// Paints handed to the event routine (ezgui_paint_win32): an owner-drawn
// button's WM_DRAWITEM and a form's WM_ERASEBKGND.
void ezwPaintOwnerButton(EzwForm& form, const DRAWITEMSTRUCT& item);
void ezwPaintBackground(EzwForm& form, HDC dc);
// A picture control's WM_DRAWITEM: its picture stretched over it.
void ezwPaintPicture(const EzwForm& form, const EzwControl& control, const DRAWITEMSTRUCT& item);
// A WM_NOTIFY to a form: a tooltip asking for its text is answered by the
// event routine (event 8). True when it was such a request.
bool ezwTooltipNotify(EzwForm& form, NMHDR& header);
// The mouse moved on the form itself (over no control, or a disabled one).
void ezwTooltipMouseMove(EzwForm& form, POINT at);
// The items of a combo box's dropped-down list as a tool of `tooltips`
// (ezgui_listtips_win32); and, for a tool window that is such a list, the
// combo box and the item under the mouse plus one (0: none).
void ezwAddListItemTips(EzwForm& form, const EzwControl& combo, HWND tooltips);
bool ezwListItemUnderMouse(const EzwForm& form, HWND window, int& id, int& value);
// The form's tick timer and the system's news of serial ports
// (ezgui_ticks_win32): event EzTick while its ticks run. True when the
// message was one of them.
bool ezwTickMessage(EzwForm& form, UINT message, WPARAM wParam, LPARAM lParam);
// The view's text as bytes, one per character (Latin-1), "\n" ending lines.
std::string ezwRichViewText(HWND view);

// Where forms go (ezgui_screen_win32): place and size as the contract
// gives them (the window without its frame), fitted into the monitor's
// work area; in the middle of the primary monitor's; or also off the main
// window's controls (the debug form). ezwFrameOf: what the window system
// adds around the window (negative left and top).
void ezwPlaceOnScreen(HWND window, float x, float y, float width, float height);
void ezwPlaceCentred(HWND window, float width, float height);
void ezwPlaceClearOfMainForm(HWND window, float x, float y, float width, float height);
RECT ezwFrameOf(HWND window);
// Posted to a form's window: show it now, without taking the keyboard.
inline constexpr UINT EzwShowQuietly = WM_APP + 40;

// The keyboard (ezgui_keyboard_win32): a key message of the loop that
// moves through a form's controls (Tab, Shift+Tab, arrows), handled; a
// form's WM_ACTIVATE, which keeps and gives back its focused control; and
// the keyboard handed on from a control about to be disabled.
bool ezwDialogKey(MSG& message);
void ezwFormActivation(EzwForm& form, WPARAM state);
void ezwHandFocusOn(HWND control);

// The DPI units and fonts are made for (ezgui_dpi_win32); the first form's
// monitor's taken when it is made; a form's WM_DPICHANGED.
UINT ezwDpi();
void ezwTakeDpiOf(HWND window);
void ezwDpiChanged(EzwForm& form, UINT dpi, const RECT& suggested);

// A High Contrast theme is on (ezgui_contrast_win32): the layer then
// paints in the system's colours. The query is the system's, or a test's.
// ezwColoursChanged: a form's WM_SYSCOLORCHANGE or WM_SETTINGCHANGE.
bool ezwHighContrast();
extern bool (*ezwHighContrastQuery)();
void ezwColoursChanged(EzwForm& form, UINT message, WPARAM wParam, LPARAM lParam);

// System libraries from the system folder only (ezgui_syslibs_win32): the
// search order of the whole program, set at start, and one library by name.
void ezwSearchSystemFolderOnly();
HMODULE ezwSystemLibrary(const wchar_t* name);

// For tests: the window of a form, nullptr when there is none.
HWND ezwFormWindow(const std::string& name);

// ---- Calls from another thread, dialogs, pictures (ezgui_queue_win32,
// ezgui_dialogs_win32, ezgui_images_win32) ----

// The queue's window, through which other threads wake the GUI thread;
// made by EZ_GUIRUN, closed (with what is still queued) when it ends.
void ezwOpenQueue();
void ezwCloseQueue();

// Pictures, icons and cursors, by the numbers and references the layer
// hands out; the layer owns every handle here and frees them when
// EZ_GUIRUN ends.
struct EzwFormIcon {
  HICON big = nullptr;    // the size of the title bar and the task switcher
  HICON small = nullptr;  // the size of the window's corner
};
struct EzwPictureState {
  std::string imageFolder;
  std::map<std::string, HBITMAP> pictures;  // by the reference EZ_LOADPICTURE gave
  std::vector<HBITMAP> images;              // EZ_IMAGEHANDLE n is images[n - 1]
  std::map<std::string, int> imageHandles;
  std::vector<EzwFormIcon> icons;   // EZ_LOADICON n is icons[n - 1]
  std::map<int, HCURSOR> cursors;   // by the program's number
  std::vector<HCURSOR> ownCursors;  // those loaded from files, to be freed
  // Shown over every form; nullptr lets each window show its own.
  HCURSOR programCursor = nullptr;
  std::map<int, HCURSOR> formCursors;  // by form serial, over the form itself
};
extern EzwPictureState EzwPictures;
// The bitmap of a picture reference or of an image handle; nullptr when
// there is none. The layer keeps owning it.
HBITMAP ezwPictureBitmap(const std::string& picture);
HBITMAP ezwImageBitmap(int handle);
// A form's WM_SETCURSOR: true when the layer set a cursor of the
// program's own for the window under the pointer.
bool ezwSetFormCursor(const EzwForm& form, HWND under, UINT hitTest);
void ezwForgetPictures();
// The file `name` names in the image folder (any letter case, with or
// without its extension); "" when there is none.
std::wstring ezwImageFile(const std::wstring& name);
