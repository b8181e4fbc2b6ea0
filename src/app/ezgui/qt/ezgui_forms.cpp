#include "app/ezgui/qt/ezgui_forms.h"

#include <QApplication>
#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <utility>
#include <vector>

#include "app/ezgui/qt/ezgui_screen.h"
#include "app/ezgui/qt/ezgui_state.h"
#include "app/ezgui/qt/ezgui_style.h"
#include "app/ezgui/qt/ezgui_widgets.h"

namespace {

void fillClientBackground(EzForm& form) {
  const QColor bg = ezColour(form.background);
  if (!bg.isValid()) return;
  QPalette p = form.client->palette();
  p.setColor(QPalette::Window, bg);
  form.client->setPalette(p);
}

void addMenuBar(EzForm& form) {
  if (EzNext.menu.empty()) return;
  auto* bar = new QMenuBar(form.window);
  for (const EzMenuItem& item : EzNext.menu) {
    QAction* action = bar->addAction(ezFromBytes(item.text));
    action->setData(item.command);
    const int serial = form.serial;
    const int command = item.command;
    QObject::connect(action, &QAction::triggered,
                     [serial, command] { ezDeliver(serial, command, EzClick, 0); });
  }
  EzNext.menu.clear();
  form.menuBar = bar;
}

// The window, its client area and its registry entry; nothing shown yet.
// Its first place and size fit the screen: a window larger than the screen
// or partly off it would hide controls the user cannot then reach.
EzForm& makeForm(const std::string& name, const std::string& parent, const std::string& caption,
                 float x, float y, float width, float height, bool centred) {
  ezInstallHooks();
  auto [form, owner] = ezStartForm(EzLayer.forms, EzLayer.nextFormSerial, name, parent);

  auto* window = new EzFormWindow(form->serial, owner ? owner->window.data() : nullptr);
  window->setWindowTitle(ezFromBytes(caption));
  form->window = window;
  form->client = new EzClient(form->serial, window);
  fillClientBackground(*form);
  addMenuBar(*form);
  const QSize size(ezPixelsX(width), ezPixelsY(height));
  if (centred) {
    ezPlaceCentred(window, size);
  } else {
    ezPlaceOnScreen(window, QPoint(ezPixelsX(x), ezPixelsY(y)), size);
  }
  window->layOut();

  EzForm& made = *form;
  EzLayer.forms[ezKey(name)] = std::move(form);
  return made;
}

void show(EzForm& form) {
  form.window->show();
  // The offscreen platform has no stacking order and says so on every raise.
  if (QGuiApplication::platformName() != QLatin1String("offscreen")) form.window->raise();
  form.window->activateWindow();
}

// Some window systems (the offscreen one among them) activate every window
// they show, whatever it asks for. Until the user next presses a key or a
// mouse button, an activation of the window just shown is taken for theirs
// and the keyboard goes back to the window that had it.
class KeyboardStaysPut : public QObject {
 public:
  KeyboardStaysPut(QWidget* shown, QWidget* had) : QObject(shown), shown_(shown), had_(had) {
    QCoreApplication::instance()->installEventFilter(this);
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    const QEvent::Type type = event->type();
    if (type == QEvent::MouseButtonPress || type == QEvent::KeyPress) {
      deleteLater();
    } else if (type == QEvent::WindowActivate && watched == shown_) {
      if (had_) had_->activateWindow();
      deleteLater();
    }
    return false;
  }

 private:
  QPointer<QWidget> shown_;
  QPointer<QWidget> had_;
};

// A trace window that took the keyboard or came up over the main window
// would leave the user typing into it, with none of the main window's keys:
// it shows beside or behind, never active. It shows once the caller has had
// the chance to place it, so it never appears in one place and jumps.
void showWithoutActivating(EzForm& form) {
  form.window->setAttribute(Qt::WA_ShowWithoutActivating);
  const int serial = form.serial;
  QMetaObject::invokeMethod(
      form.window,
      [serial] {
        EzForm* f = ezFindFormBySerial(serial);
        if (!f || !f->window || f->goingAway) return;
        QWidget* had = QApplication::activeWindow();
        if (had && had != f->window) new KeyboardStaysPut(f->window, had);
        f->window->show();
      },
      Qt::QueuedConnection);
}

}  // namespace

void ezInstallHooks() {
  ezEnsureDrainTimer();
  if (!EzLayer.keyFilter && QCoreApplication::instance()) {
    EzLayer.keyFilter.reset(ezMakeKeyFilter());
    QCoreApplication::instance()->installEventFilter(EzLayer.keyFilter.get());
  }
}

int ezBackendMakeForm(const std::string& name, const std::string& parent,
                      const std::string& caption, float x, float y, float width, float height,
                      bool centred) {
  return makeForm(name, parent, caption, x, y, width, height, centred).serial;
}

void ezBackendDesign(const std::string& name) {
  if (EzLayer.design) EzLayer.design(name);
}

void ezBackendShowNewForm(int serial) {
  if (EzForm* f = ezFindFormBySerial(serial)) show(*f);
}

void EZ_DEBUGFORM(const std::string& name) {
  if (!ezOnGuiThread()) return;
  EzForm& form = makeForm(name, "", name, 0, 0, 90, 35, false);
  form.clearOfMain = true;
  ezPlaceClearOfMainForm(form.window, form.window->pos(), form.window->size());
  auto* text = new QPlainTextEdit(form.client);
  text->setReadOnly(true);
  text->setUndoRedoEnabled(false);
  text->setLineWrapMode(QPlainTextEdit::NoWrap);
  ezTagWidget(text, form.serial, 100);
  EzControl control;
  control.id = 100;
  control.kind = EzKind::MultiLine;
  control.widget = text;
  control.fillsClient = true;
  form.controls[100] = control;
  static_cast<EzClient*>(form.client.data())->layOutExtras();
  showWithoutActivating(form);
}

namespace {

// The second half of an unload, for a form already marked as going away:
// the forms it owns, its event 0 when asked for, then the form itself.
void finishUnload(const std::string& key, int serial, bool announce) {
  // Owned windows go first, as each is gone before its owner.
  std::vector<std::string> owned;
  for (auto& [k, f] : EzLayer.forms) {
    if (f->parentKey == key) owned.push_back(k);
  }
  for (const std::string& k : owned) ezUnloadForm(k, true);
  if (announce) ezDeliver(serial, 0, EzFormGoingAway, 0);

  auto it = EzLayer.forms.find(key);
  if (it == EzLayer.forms.end() || it->second->serial != serial) return;
  std::unique_ptr<EzForm> gone = std::move(it->second);
  EzLayer.forms.erase(it);
  if (gone->window) {
    gone->window->hide();
    // Later, not now: the window may be in the middle of one of its own events.
    gone->window->deleteLater();
  }
  if (key == EzForms.mainFormKey) {
    EzForms.mainFormKey.clear();
    ezEndLoopWhenIdle();
  }
}

}  // namespace

// The form counts as going away from before its event 0 on: whatever that
// event's handler lets happen meanwhile (a stop processing window events,
// another close, Ctrl+X) finds it going and does not unload it a second time.
bool ezFormClosedByUser(int serial) {
  EzForm* form = ezFindFormBySerial(serial);
  if (!form) return true;
  if (form->goingAway) return false;
  const std::string key = ezKey(form->name);
  form->goingAway = true;
  const int cancel = ezDeliver(serial, 0, EzFormGoingAway, 0);
  form = ezFindFormBySerial(serial);
  if (!form) return true;
  if (cancel != 0) {
    form->goingAway = false;
    return false;
  }
  finishUnload(key, serial, false);
  return true;
}

void ezUnloadForm(const std::string& key, bool announce) {
  auto it = EzLayer.forms.find(key);
  if (it == EzLayer.forms.end() || it->second->goingAway) return;
  it->second->goingAway = true;
  finishUnload(key, it->second->serial, announce);
}

void ezUnloadAllSilently() {
  // Moved out rather than swapped: GCC 12's optimiser takes the swap with a
  // local map for a dangling pointer and, with warnings as errors, fails
  // the optimised build.
  std::map<std::string, std::unique_ptr<EzForm>> forms = std::exchange(EzLayer.forms, {});
  EzForms.mainFormKey.clear();
  // An owner takes its owned windows with it; the guarded pointers of those
  // are then empty.
  for (auto& [key, form] : forms) {
    if (form->window) delete form->window.data();
  }
}

void EZ_RESIZEFORM(const std::string& name, float x, float y, float width, float height,
                   float flag) {
  (void)flag;
  EzForm* form = ezFindForm(name);
  if (!form || !form->window) return;
  const QPoint corner(ezPixelsX(x), ezPixelsY(y));
  const QSize size(ezPixelsX(width), ezPixelsY(height));
  if (form->clearOfMain) {
    ezPlaceClearOfMainForm(form->window, corner, size);
  } else {
    ezPlaceOnScreen(form->window, corner, size);
  }
}

std::optional<EzBox> ezBackendFormPixels(const std::string& name, bool clientArea) {
  EzForm* form = ezFindForm(name);
  if (!form || !form->window) return std::nullopt;
  if (clientArea) return EzBox{0, 0, form->client->width(), form->client->height()};
  const QWidget& w = *form->window;
  return EzBox{w.x(), w.y(), w.width(), w.height()};
}

void EZ_DELAYDRAWCLIENT(const std::string& name, int mode) {
  (void)mode;
  EzForm* form = ezFindForm(name);
  if (form && form->client) form->client->setUpdatesEnabled(false);
}

void EZ_REDRAWFORM(const std::string& name) {
  EzForm* form = ezFindForm(name);
  if (!form || !form->window) return;
  form->client->setUpdatesEnabled(true);
  form->window->update();
  form->client->update();
}

void EZ_SETFORMICON(const std::string& name, int icon) {
  EzForm* form = ezFindForm(name);
  if (!form || !form->window || icon < 1 || icon > static_cast<int>(EzLayer.icons.size())) return;
  form->window->setWindowIcon(EzLayer.icons[static_cast<size_t>(icon - 1)]);
}

void EZ_ENABLEMENUITEM(const std::string& name, int commandId, bool enabled) {
  EzForm* form = ezOnGuiThread() ? ezFindForm(name) : nullptr;
  if (!form || !form->menuBar) return;
  for (QAction* action : form->menuBar->actions()) {
    if (action->data().toInt() == commandId) action->setEnabled(enabled);
  }
}
