// The files of the layer, by what they handle: forms, menus and the form
// events (ezgui_forms), accelerator keys (ezgui_accel), controls
// (ezgui_controls), the rich-text view (ezgui_richtext), the status bar
// (ezgui_statusbar), fonts and colours (ezgui_style), owner drawing and the
// background (ezgui_paint), tooltips, dialogs, pictures/icons/cursors
// (ezgui_images), paths, calls from another thread (ezgui_queue), the
// widget classes (ezgui_widgets), the message loop (ezgui_run) and the
// read-back for tests (ezgui_readback).
//
// The GUI layer's own state: the routines it calls, the forms it knows by
// name, and the settings that apply to the next forms and controls. Every
// file of the layer reaches it through `EzLayer`; GUI thread only (the one
// exception, the queue of calls from another thread, lives in
// ezgui_queue.h with its own lock).
#pragma once

#include <QFont>
#include <QIcon>
#include <QPixmap>
#include <QPointer>
#include <QWidget>
#include <array>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/ezgui/ezgui.h"
#include "app/ezgui/ezgui_rtf.h"
#include "app/ezgui/ezgui_units.h"

class QTimer;
class QPainter;

enum class EzKind {
  Label,
  OwnerButton,
  Radio,
  ComboBox,
  TextBox,
  MultiLine,
  RichView,
  Picture,
  StatusBar,
};

struct EzControl {
  int id = 0;
  EzKind kind = EzKind::Label;
  QPointer<QWidget> widget;
  int foreground = -1;
  int background = -1;
  QFont font;
  // Multi-line text as the program last wrote it, line ends included, so
  // that reading it back gives exactly those bytes.
  std::string programText;
  int richLimit = 0;         // 0: no limit
  bool fillsClient = false;  // follows the size of the form (debug form text)
  bool transparent = false;  // a label drawn over the form's background
};

struct EzAccelerator {
  int key = 0;  // Qt key code
  Qt::KeyboardModifiers modifiers;
  int command = 0;
};

struct EzMenuItem {
  int command = 0;
  std::string text;
};

struct EzForm {
  std::string name;       // as created; events report it
  std::string parentKey;  // lower-case name of the owner form, "" for none
  int serial = 0;         // tells a form from a later one of the same name
  QPointer<QWidget> window;
  QPointer<QWidget> client;  // area below the menu bar; controls live here
  QPointer<QWidget> menuBar;
  int foreground = -1;
  int background = -1;
  std::map<int, EzControl> controls;
  std::vector<EzAccelerator> accelerators;
  bool threadRunning = false;
  bool goingAway = false;
  bool clearOfMain = false;  // a debug form: placed off the main window's controls
};

// A paint in progress handed to the event routine: owner draw (300) or
// background erase (320). The event value is the record number.
struct EzDrawRecord {
  bool active = false;
  bool erase = false;
  bool done = false;  // the routine drew it
  std::string formKey;
  int controlId = 0;
  QPainter* painter = nullptr;
  QRect rect;
  bool pressed = false;
  bool disabled = false;
  bool focused = false;
};

inline constexpr int EzDrawRecordCount = 16;

struct EzLayerState {
  EzEventRoutine events = nullptr;
  EzDesignRoutine design = nullptr;
  EzRtfRenderer rtfRenderer = nullptr;  // kept across ezResetLayer

  std::map<std::string, std::unique_ptr<EzForm>> forms;  // by lower-case name
  std::string mainFormKey;                               // first form created without a parent
  int nextFormSerial = 1;
  bool loopRunning = false;
  int deliveryDepth = 0;  // events being handled, nested ones counted
  bool endLoopWhenIdle = false;

  // Settings for the next forms and controls.
  int foreground = -1;
  int background = -1;
  std::optional<QFont> nextFont;  // none: the application font
  bool loadingEventNext = false;
  int subclassMode = 0;
  std::vector<EzMenuItem> nextMenu;

  std::map<int, QFont> fonts;
  std::map<int, QColor> colours;

  std::string imageFolder;
  std::string resourceFolder = ":/res";
  // The program file as tests present it; "" means the running executable.
  std::string programPath;
  std::map<std::string, QPixmap> pictures;  // by reference
  std::vector<QPixmap> images;              // image handle n is images[n - 1]
  std::map<std::string, int> imageHandles;  // by picture reference
  std::vector<QIcon> icons;                 // icon handle n is icons[n - 1]
  std::map<int, QCursor> cursors;
  int currentCursor = 0;

  std::string tooltipAnswer;
  bool tooltipAnswered = false;
  std::string lastTooltip;

  std::array<EzDrawRecord, EzDrawRecordCount> drawRecords;
  int currentErase = 0;

  EzUnitSize units;
  bool unitsKnown = false;

  std::unique_ptr<QTimer> drainTimer;
  std::unique_ptr<QObject> keyFilter;
  std::unique_ptr<QObject> tooltipFilter;
};

extern EzLayerState EzLayer;

std::string ezKey(const std::string& name);  // the registry key: lower case
EzForm* ezFindForm(const std::string& name);
EzForm* ezFindFormBySerial(int serial);
EzControl* ezFindControl(const std::string& form, int id);
// The widget of a control, cast to its class; nullptr when absent or another kind.
template <class W>
W* ezControlWidget(const std::string& form, int id) {
  EzControl* c = ezFindControl(form, id);
  return c ? dynamic_cast<W*>(c->widget.data()) : nullptr;
}

// Delivers one event to the event routine under the form's name as created;
// returns the cancel flag the routine left. Safe when the routine unloads
// the form: nothing of the form is touched afterwards.
int ezDeliver(int formSerial, int id, int code, int value);

// Texts: the data path's bytes are Latin-1; other texts are UTF-8 when they
// are valid UTF-8 and Latin-1 otherwise, so no byte string fails to show.
QString ezFromBytes(const std::string& text);
QString ezFromLatin1(const std::string& text);
std::string ezToBytes(const QString& text);
std::string ezToLatin1(const QString& text);

// Ends the message loop once no event is being handled any more, so that a
// handler still running (a stop showing its message) runs to its end.
void ezEndLoopWhenIdle();

bool ezOnGuiThread();
// Makes the timer that carries out calls queued by another thread; the
// queue starts and stops it.
void ezEnsureDrainTimer();
