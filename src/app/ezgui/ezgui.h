// The GUI library the program is written against: forms and controls
// addressed by name and number, events delivered to one event routine.
// The layer holds none of the program's logic. What is the same on every
// platform lives beside this header in app/ezgui (the forms' and controls'
// program-side state, placement, elision, the worker-call queue, units,
// colours, drawing records, keys, the view's limit); it reaches the toolkit
// through the hooks of ezgui_backend.h, which one backend folder
// implements: app/ezgui/qt over Qt Widgets, app/ezgui/win32 over Win32.
//
// Conventions of every call:
// - A form is addressed by its name in any letter case; events report the
//   name exactly as the form was created.
// - A control is addressed by form name and numeric identifier.
// - Positions and sizes are floats in form units (see ezgui_units.h for the
//   rule that maps them to pixels).
// - Fonts and colours are numbers; -1 is the layer's default.
// - Property strings are accepted as they stand; letters the layer does not
//   act on are ignored.
// - A call naming a form or control that does not exist does nothing and
//   returns an empty or zero result.
//
// Thread rule: every call must be made on the GUI thread, except
// EZ_SETSBTEXT, EZ_SETRICHSEL, EZ_SETRICHTEXT, EZ_SCROLLTO and EZ_DOEVENTS,
// which may also be made from one other thread (the receive worker). Such
// calls are queued in order and carried out on the GUI thread; the caller
// never waits for the GUI thread. EZ_DOEVENTS on the GUI thread first
// carries out everything queued, then handles pending window messages.
#pragma once

#include <string>

// ---- Routines the program hands to the layer --------------------------------

using EzStartupRoutine = void (*)(int unused);
using EzDesignRoutine = void (*)(const std::string& formName);
// form name as created, control identifier (0 = the form), event code, event
// value, cancel flag. The routine may write the cancel flag.
using EzEventRoutine = void (*)(std::string& formName, int& controlId, int& eventCode,
                                int& eventValue, int& cancel);

// Runs the program: creates the application (or uses the one that exists),
// calls the start-up routine once, then handles window messages until the
// main window (the first form EZ_FORM created without a parent) is unloaded
// or closed and every event being handled then has been handled to its end
// (a handler may still show a message box). Returns the exit code.
int EZ_GUIRUN(int argc, char** argv, EzStartupRoutine startup, EzEventRoutine events,
              EzDesignRoutine design);

// ---- Event codes ------------------------------------------------------------

enum EzEventCode : int {
  EzFormGoingAway = 0,
  EzClick = 1,
  EzTextEdited = 4,
  EzSelectionChanged = 6,
  // Value 0: the control's tooltip; over a combo box's dropped-down list,
  // the item's 0-based number plus one: that item's.
  EzTooltipWanted = 8,
  // The form's tick (EZ_SETTICKS); on Windows also at once when the system
  // reports a serial port arriving or going.
  EzTick = 50,
  EzLoading = 85,
  EzStarted = 86,
  EzLoaded = 87,
  EzSubclassMessage = 99,
  EzSizeChanged = 102,
  EzSizeChanging = 110,
  EzSizeRestored = 112,
  EzListDropsDown = 108,
  EzOwnerDraw = 300,
  EzEraseBackground = 320,
};

// ---- Global settings ---------------------------------------------------------

void EZ_DEFIMAGEFOLDER(const std::string& folder);
// The layer always reports the events it has; these five change nothing.
void EZ_ALLOWCOMMANDEVENTS(int on);
void EZ_ALLOWNOTIFYEVENTS(int on);
void EZ_ALLOWKEYEVENTS(int on);
void EZ_ALLOWMOUSEMOVEEVENTS(int on);
void EZ_ALLOWCURSOREVENTS(int on);
// Mode 2: the next form or control created reports event 85 while loading.
void EZ_ALLOWLOADINGEVENT(int mode);
// Accepted; the layer reports no event 99 (window messages of a subclassed
// control), which leaves every control its normal behaviour.
void EZ_SUBCLASS(int mode);

// ---- Fonts and colours --------------------------------------------------------

void EZ_DEFFONT(int number, const std::string& face, float points, const std::string& props);
// Colour `number` := system colour `systemIndex` (Windows indices: 4 menu,
// 5 window, 15 button face, 24 tooltip background).
void EZ_DEFSYSTEMCOLOR(int number, int systemIndex);
// Colour `number` := 0x00BBGGRR.
void EZ_DEFCOLORL(int number, int bgr);
// Foreground and background colour for the next forms and controls.
void EZ_COLOR(int foreground, int background);
// Font for the next controls: a numbered font, or one by face and size.
void EZ_USEFONT(int number);
void EZ_USEIFONT(const std::string& face, float points, const std::string& props);

// ---- Forms ----------------------------------------------------------------------

// The menu bar of the next form created: one item with its command identifier.
void EZ_DEFMAINMENU(int commandId, const std::string& text, const std::string& props);
// A menu bar item greyed out (the user cannot choose it) or given back.
void EZ_ENABLEMENUITEM(const std::string& form, int commandId, bool enabled);
// parent "" = none; a form with a parent is a window of its own, kept above
// its owner and unloaded with it. In this order: event 85 (when
// EZ_ALLOWLOADINGEVENT(2) came before), the design routine with the name,
// event 87 (controls exist), event 86, the window shown (where event 86
// placed it). Creating a form under a name that exists unloads that one
// first (with its event 0). Size and position are those of the window
// (menu bar included, the window system's frame not), fitted into the
// screen's work area: a form larger than the area gets the area's size,
// and one partly off it moves in. props "C": in the middle of the work
// area, whatever x and y say.
void EZ_FORM(const std::string& name, const std::string& parent, const std::string& caption,
             float x, float y, float width, float height, const std::string& props);
// Reports event 0, after the forms it owns went away, then the form is gone.
// The user closing the window does the same unless the event routine sets
// the cancel flag for that event 0. From before its event 0 the form is
// going away: EZ_ISFORM gives 0 and a further close or unload does nothing.
void EZ_UNLOADFORM(const std::string& name);
// props "E": 1 when the form exists, else 0.
int EZ_ISFORM(const std::string& name, const std::string& props);
// A form with one multi-line read-only text control, identifier 100. It
// shows at the next pass of the message loop (after the caller placed it),
// without taking the keyboard and covering none of the main window's
// controls: beside the main window where the screen has room, else between
// its controls, made smaller when it must.
void EZ_DEBUGFORM(const std::string& name);
// Fitted into the screen's work area as EZ_FORM; a debug form also keeps
// off the main window's controls, x and y being the place it would have.
void EZ_RESIZEFORM(const std::string& name, float x, float y, float width, float height,
                   float flag);
// mode 0: client area; other modes: whole window.
void EZ_GETSIZE(const std::string& name, float& width, float& height, int mode);
void EZ_GETPOS(const std::string& name, float& x, float& y, int mode);
void EZ_DELAYDRAWCLIENT(const std::string& name, int mode);
void EZ_REDRAWFORM(const std::string& name);
void EZ_SETFORMICON(const std::string& name, int icon);
// Ticks of the form: event EzTick (control 0) every `periodMs` on the GUI
// thread, and at once for each serial port the system reports arriving or
// gone where it reports them (Windows); 0 stops them. They end with the form.
void EZ_SETTICKS(const std::string& name, int periodMs);
void EZ_STARTTHREAD(const std::string& name, int threadNumber, int value);
void EZ_CLOSETHREAD(const std::string& name, int threadNumber);
// Accelerator table: "F1,1111|^F,1112"; "^" is Ctrl, "+" Shift, "%" Alt.
// Each key arrives as an event of the form (code 1) with the command
// identifier as control identifier. The keys win over the focused
// control's own use of them; a held key gives one event. They are keys of
// the form's own window and of the pop-ups its controls open (a list's
// drop-down), never of a dialog or of another form's window.
void EZ_DEFACCEL(const std::string& name, const std::string& table);

// ---- Controls ---------------------------------------------------------------------

void EZ_LABEL(const std::string& form, int id, const std::string& text, float x, float y,
              float width, float height, const std::string& props);
// Owner-drawn button: reports event 300 with a drawing record as event value.
void EZ_ODBUTTON(const std::string& form, int id, const std::string& text, float x, float y,
                 float width, float height, const std::string& props);
void EZ_RADIO(const std::string& form, int id, const std::string& text, float x, float y,
              float width, float height, const std::string& props);
// items joined by "|".
void EZ_COMBOBOX(const std::string& form, int id, const std::string& items, float x, float y,
                 float width, float height, const std::string& props);
void EZ_TEXT(const std::string& form, int id, const std::string& text, float x, float y,
             float width, float height, const std::string& props);
void EZ_RICHTEXT2(const std::string& form, int id, float x, float y, float width, float height,
                  const std::string& props);
void EZ_RICHTEXT(const std::string& form, int id, float x, float y, float width, float height,
                 const std::string& props);
// picture: a reference from EZ_LOADPICTURE.
void EZ_PICTURE(const std::string& form, int id, const std::string& picture, float x, float y,
                float width, float height, const std::string& props);
void EZ_STATUSBAR(const std::string& form, int id, const std::string& caption,
                  const std::string& props);

void EZ_ENABLEC(const std::string& form, int id);
void EZ_DISABLEC(const std::string& form, int id);
void EZ_SETTEXT(const std::string& form, int id, const std::string& text);
std::string EZ_GETTEXT(const std::string& form, int id);
void EZ_SETCHECK(const std::string& form, int id, int checked);
void EZ_CLEAR(const std::string& form, int id);
void EZ_ADDITEMS(const std::string& form, int id, const std::string& items);
// index 0-based, -1 selects nothing.
void EZ_SELECTITEM(const std::string& form, int id, int index);
void EZ_SETFOCUS(const std::string& form, int id);
// Only CB_SHOWDROPDOWN (335) with wparam 1 is acted on: the list drops down
// (with its event 108), unless it is disabled.
int EZ_SENDMESSAGE(const std::string& form, int id, int message, int wparam, int lparam);
void EZ_RESIZE(const std::string& form, int id, float x, float y, float width, float height);
// mode 1 (any value): scroll so that the end of the text is visible; other
// modes: to the top. Appending and moving the selection never scroll.
void EZ_SCROLLTO(const std::string& form, int id, int mode, int value);

// ---- Status bar ---------------------------------------------------------------------

// widths as percentages joined by "|", e.g. "50|25|25".
void EZ_SETSBPARTS(const std::string& form, int id, int count, const std::string& widths);
// part numbered from 1 at the left.
void EZ_SETSBTEXT(const std::string& form, int id, int part, const std::string& text,
                  const std::string& props);

// ---- Rich-text view --------------------------------------------------------------------

// (1, 0) loads a rich-text document; (0, 0) replaces the text; (0, 1) inserts
// at the selection. Plain text is taken as bytes, shown as Latin-1.
// When the text would pass the view's limit, the oldest lines are dropped.
void EZ_SETRICHTEXT(const std::string& form, int id, const std::string& text, int a, int b);
// (-1, -1): the end of the text.
void EZ_SETRICHSEL(const std::string& form, int id, int start, int end);
void EZ_SETRICHTEXTLEN(const std::string& form, int id, int limit);
void EZ_SETRICHFONT(const std::string& form, int id, const std::string& face, float points,
                    const std::string& props, const std::string& extra, int a, int b);

// ---- Tooltips --------------------------------------------------------------------------

void EZ_ADDTOOLTIP(const std::string& form, int id);
void EZ_SETTOOLTIP(const std::string& text);
void EZ_DEFTOOLTIPPROP(int a, int b, const std::string& props);

// ---- Owner drawing and background --------------------------------------------------------

// Draws the owner-drawn button of the drawing record in palette colour `colour`.
void EZ_DRAW3DBUTTON(const std::string& form, int id, int drawRecord, int colour, int style,
                     int font);
// The font to draw owner-drawn buttons with: EzControlFont, which
// EZ_DRAW3DBUTTON takes as "the button's own font" (numbers >= 0 and -1
// name fonts as everywhere else).
inline constexpr int EzControlFont = -2;
int EZ_ODIFONT();
// Returns a drawing context (0: nothing to paint) and the area's size.
int EZ_STARTERASEBG(int eventValue, float& width, float& height);
void EZ_DCDRAWPICTURE(int dc, int image, float x1, float y1, float x2, float y2);
void EZ_ENDERASEBG(int& cancel);

// ---- Pictures, icons, cursors ---------------------------------------------------------------

// "$NAME" takes the embedded resource NAME; other names are files in the
// image folder. "{T}" joined on means "with transparency". Returns a
// reference usable by EZ_PICTURE; "" when nothing could be loaded.
std::string EZ_LOADPICTURE(const std::string& name);
int EZ_IMAGEHANDLE(const std::string& picture);
// Returns an icon handle, 0 when nothing could be loaded.
int EZ_LOADICON(const std::string& name);
// Names: "#A" arrow, "#W" wait.
void EZ_LOADCURSOR(int number, const std::string& name);
// form "" = the whole application. A number not loaded is ignored.
void EZ_SETCURSOR(const std::string& form, int number);

// ---- Dialogs ------------------------------------------------------------------------------------

// filter "Name|*.ext|Name|*.ext". Returns the chosen full path, "" when cancelled.
std::string EZ_SAVEFILE(const std::string& form, const std::string& title,
                        const std::string& folder, const std::string& fileName,
                        const std::string& filter, const std::string& extension,
                        const std::string& props);
// A message box with only OK, no icon, no owner window and no caption of the
// program's own, modal to the program and raised to the foreground. Returns
// once the user pressed OK.
void EZ_MSGBOX(const std::string& text);

// ---- Message handling and paths ---------------------------------------------

void EZ_DOEVENTS(int n);
// The program's folder, ending in the platform's separator ("/", on
// Windows "\").
std::string EZ_APPPATH();
// The program file's full path.
std::string EZ_GETAPPPATHNAME();
// The folder part of a path, ending in the platform's separator.
std::string EZ_GETPATHTEXT(const std::string& path);
