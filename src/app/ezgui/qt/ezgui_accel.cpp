// Accelerator keys over Qt (the tables are read by ../ezgui_keys.cpp). They
// win over the focused control's own use of a key, so they are caught in an
// application event filter before any widget sees them, not as QShortcuts.
#include <QCoreApplication>
#include <QKeyEvent>
#include <QWidget>

#include "app/ezgui/qt/ezgui_forms.h"
#include "app/ezgui/qt/ezgui_state.h"
#include "app/ezgui/qt/ezgui_widgets.h"

namespace {

constexpr Qt::KeyboardModifiers Significant =
    Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier | Qt::MetaModifier;

int qtKey(const EzKeySpec& key) {
  switch (key.name) {
    case EzKeyName::Character:
      return key.character;  // Qt's letter and digit keys are their upper-case characters
    case EzKeyName::Function:
      return Qt::Key_F1 + key.function - 1;
    case EzKeyName::Delete:
      return Qt::Key_Delete;
    case EzKeyName::Insert:
      return Qt::Key_Insert;
    case EzKeyName::Home:
      return Qt::Key_Home;
    case EzKeyName::End:
      return Qt::Key_End;
    case EzKeyName::PageUp:
      return Qt::Key_PageUp;
    case EzKeyName::PageDown:
      return Qt::Key_PageDown;
    case EzKeyName::Escape:
      return Qt::Key_Escape;
    case EzKeyName::Tab:
      return Qt::Key_Tab;
    case EzKeyName::Enter:
      return Qt::Key_Return;
    case EzKeyName::Space:
      return Qt::Key_Space;
    case EzKeyName::Up:
      return Qt::Key_Up;
    case EzKeyName::Down:
      return Qt::Key_Down;
    case EzKeyName::Left:
      return Qt::Key_Left;
    case EzKeyName::Right:
      return Qt::Key_Right;
    case EzKeyName::Backspace:
      return Qt::Key_Backspace;
  }
  return 0;
}

Qt::KeyboardModifiers qtModifiers(const EzKeySpec& key) {
  Qt::KeyboardModifiers mods;
  if (key.control) mods |= Qt::ControlModifier;
  if (key.shift) mods |= Qt::ShiftModifier;
  if (key.alt) mods |= Qt::AltModifier;
  return mods;
}

const EzAccelerator* match(const EzForm& form, const QKeyEvent& key) {
  const Qt::KeyboardModifiers mods = key.modifiers() & Significant;
  for (const EzAccelerator& a : form.accelerators) {
    if (a.key == key.key() && a.modifiers == mods) return &a;
  }
  return nullptr;
}

// The form whose window a key was typed in: the form's own window, or a
// pop-up that one of its controls opened (the port list's drop-down). A
// dialog or another top-level window is not the form's, even when the form
// owns it: there Ctrl+X cuts and Ctrl+Z undoes.
EzForm* formTypedIn(QWidget* widget) {
  for (QWidget* w = widget; w; w = w->parentWidget()) {
    if (auto* window = dynamic_cast<EzFormWindow*>(w)) return ezFindFormBySerial(window->serial());
    if (w->isWindow() && w->windowType() != Qt::Popup) return nullptr;
  }
  return nullptr;
}

class KeyFilter : public QObject {
 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    const QEvent::Type type = event->type();
    if (type != QEvent::KeyPress && type != QEvent::ShortcutOverride) return false;
    EzForm* form = formTypedIn(qobject_cast<QWidget*>(watched));
    if (!form) return false;
    const int serial = form->serial;
    auto* key = static_cast<QKeyEvent*>(event);
    const EzAccelerator* a = match(*form, *key);
    if (!a) return false;
    key->accept();
    // A held key gives one command, not a stream of them.
    if (type == QEvent::KeyPress && !key->isAutoRepeat()) ezDeliver(serial, a->command, EzClick, 0);
    return true;
  }
};

}  // namespace

QObject* ezMakeKeyFilter() {
  return new KeyFilter;
}

void ezBackendSetAccelerators(const std::string& name, const std::vector<EzKeySpec>& keys) {
  EzForm* form = ezFindForm(name);
  if (!form) return;
  ezInstallHooks();
  form->accelerators.clear();
  for (const EzKeySpec& key : keys) {
    form->accelerators.push_back(EzAccelerator{qtKey(key), qtModifiers(key), key.command});
  }
}
