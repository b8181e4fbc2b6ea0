// Accelerator tables. A table's keys belong to the form's window and win
// over the focused control's own use of a key (Ctrl+Z and Ctrl+X in a text
// box are commands of the form, not undo and cut), so they are caught in an
// application event filter before any widget sees them, not as QShortcuts.
#include <QCoreApplication>
#include <QKeyEvent>
#include <QKeySequence>
#include <QStringList>
#include <QWidget>

#include "app/ezgui/ezgui_forms.h"
#include "app/ezgui/ezgui_state.h"
#include "app/ezgui/ezgui_widgets.h"

namespace {

constexpr Qt::KeyboardModifiers Significant =
    Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier | Qt::MetaModifier;

// "F1", "^F" (Ctrl), "+F" (Shift), "%F" (Alt), prefixes combined in any order.
bool parseKey(const QString& text, EzAccelerator& into) {
  Qt::KeyboardModifiers mods;
  int i = 0;
  for (; i < text.size() - 1; ++i) {
    const QChar c = text[i];
    if (c == '^') {
      mods |= Qt::ControlModifier;
    } else if (c == '+') {
      mods |= Qt::ShiftModifier;
    } else if (c == '%') {
      mods |= Qt::AltModifier;
    } else {
      break;
    }
  }
  const QKeySequence seq =
      QKeySequence::fromString(text.mid(i).trimmed().toUpper(), QKeySequence::PortableText);
  if (seq.isEmpty() || seq.count() != 1) return false;
  const QKeyCombination combo = seq[0];
  into.key = combo.key();
  into.modifiers = mods | combo.keyboardModifiers();
  return into.key != 0 && into.key != Qt::Key_unknown;
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

void EZ_DEFACCEL(const std::string& name, const std::string& table) {
  EzForm* form = ezFindForm(name);
  if (!form) return;
  ezInstallHooks();
  form->accelerators.clear();
  for (const QString& entry : ezFromBytes(table).split('|', Qt::SkipEmptyParts)) {
    const qsizetype comma = entry.lastIndexOf(',');
    if (comma <= 0) continue;
    EzAccelerator a;
    bool numeric = false;
    a.command = entry.mid(comma + 1).trimmed().toInt(&numeric);
    if (numeric && parseKey(entry.left(comma).trimmed(), a)) form->accelerators.push_back(a);
  }
}
