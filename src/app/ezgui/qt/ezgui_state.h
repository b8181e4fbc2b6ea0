// The GUI layer's backend over Qt Widgets: the hooks of ../ezgui_backend.h
// and the calls of the contract that are toolkit work. Its files, by what
// they handle: forms, menus and the form events (ezgui_forms), keys of the
// accelerator tables (ezgui_accel), controls (ezgui_controls), the
// rich-text view (ezgui_richtext), the status bar (ezgui_statusbar), fonts
// and colours (ezgui_style), owner drawing and the background
// (ezgui_paint), tooltips, dialogs, pictures/icons/cursors (ezgui_images),
// paths, the timer that carries out calls from another thread
// (ezgui_queue), the widget classes (ezgui_widgets), the message loop
// (ezgui_run) and the read-back for tests (ezgui_readback).
//
// The backend's own state: the routines it calls, the forms it knows by
// name with their widgets, and Qt's fonts, pictures and cursors. Every
// file of the backend reaches it through `EzLayer`; GUI thread only.
#pragma once

#include <QFont>
#include <QIcon>
#include <QPixmap>
#include <QPointer>
#include <QWidget>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/ezgui/ezgui.h"
#include "app/ezgui/ezgui_backend.h"
#include "app/ezgui/ezgui_units.h"
#include "app/ezgui/qt/ezgui_rtf.h"

class QTimer;
class QPainter;

struct EzControl : EzControlBase {
  QPointer<QWidget> widget;
  QFont font;
};

struct EzAccelerator {
  int key = 0;  // Qt key code
  Qt::KeyboardModifiers modifiers;
  int command = 0;
};

struct EzForm : EzFormBase {
  QPointer<QWidget> window;
  QPointer<QWidget> client;  // area below the menu bar; controls live here
  QPointer<QWidget> menuBar;
  std::map<int, EzControl> controls;
  std::vector<EzAccelerator> accelerators;
};

// What a paint handed to the event routine draws into.
struct EzSurface {
  QPainter* painter = nullptr;
};

struct EzLayerState {
  EzEventRoutine events = nullptr;
  EzDesignRoutine design = nullptr;
  EzRtfRenderer rtfRenderer = nullptr;  // kept across ezResetLayer

  EzFormRegistry<EzForm> forms;
  int nextFormSerial = 1;
  bool loopRunning = false;
  int deliveryDepth = 0;  // events being handled, nested ones counted
  bool endLoopWhenIdle = false;

  // The font of the next controls; none: the application font.
  std::optional<QFont> nextFont;

  std::map<int, QFont> fonts;

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

  std::unique_ptr<QTimer> drainTimer;
  std::unique_ptr<QObject> keyFilter;
  std::unique_ptr<QObject> tooltipFilter;
};

extern EzLayerState EzLayer;

EzForm* ezFindForm(const std::string& name);
EzForm* ezFindFormBySerial(int serial);
EzControl* ezFindControl(const std::string& form, int id);
// The widget of a control, cast to its class; nullptr when absent or another kind.
template <class W>
W* ezControlWidget(const std::string& form, int id) {
  EzControl* c = ezFindControl(form, id);
  return c ? dynamic_cast<W*>(c->widget.data()) : nullptr;
}

// ezDeliver (../ezgui_backend.h) is safe when the routine unloads the
// form: nothing of the form is touched afterwards.
int ezDeliver(int formSerial, int id, int code, int value);
// A rectangle in form units as pixels: edges are rounded, not sizes, so
// neighbours that touch in units touch in pixels.
QRect ezRectFromUnits(float x, float y, float width, float height);

// Texts: the data path's bytes are Latin-1; other texts are UTF-8 when they
// are valid UTF-8 and Latin-1 otherwise, so no byte string fails to show.
QString ezFromBytes(const std::string& text);
QString ezFromLatin1(const std::string& text);
std::string ezToBytes(const QString& text);
std::string ezToLatin1(const QString& text);

// Ends the message loop once no event is being handled any more, so that a
// handler still running (a stop showing its message) runs to its end.
void ezEndLoopWhenIdle();

// Makes the timer that carries out calls queued by another thread; the
// queue starts and stops it.
void ezEnsureDrainTimer();
// How often the GUI thread looks at the queue while calls come in: often
// enough that a status text appears without visible delay, seldom enough
// that many record lines arrive as one insert.
inline constexpr int EzDrainIntervalMs = 40;
// The drain timer's tick: carries out what is queued, and stops the timer
// once a tick finds nothing.
void ezDrainOnTimer();
// The timer that carries the queue out, for another thread to start when
// it queues a call; given by the GUI thread when it makes the timer.
void ezWatchQueueWith(QTimer* timer);
