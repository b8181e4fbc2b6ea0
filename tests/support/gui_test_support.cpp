#include "support/gui_test_support.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDialogButtonBox>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QThread>
#include <QTimer>

#include <gtest/gtest.h>

bool waitUntil(const std::function<bool()>& done, int timeoutMs) {
  QDeadlineTimer deadline(timeoutMs);
  while (!done()) {
    if (deadline.hasExpired()) return done();
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    QThread::msleep(2);
  }
  return true;
}

void processEventsFor(int ms) {
  QDeadlineTimer deadline(ms);
  while (!deadline.hasExpired()) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    QThread::msleep(2);
  }
}

void clickWidget(QWidget* widget) {
  const QPointF local = QRectF(widget->rect()).center();
  const QPointF global = widget->mapToGlobal(local);
  QMouseEvent press(QEvent::MouseButtonPress, local, global, Qt::LeftButton, Qt::LeftButton,
                    Qt::NoModifier);
  QApplication::sendEvent(widget, &press);
  QMouseEvent release(QEvent::MouseButtonRelease, local, global, Qt::LeftButton, Qt::NoButton,
                      Qt::NoModifier);
  QApplication::sendEvent(widget, &release);
}

void pressKey(QWidget* widget, int key, Qt::KeyboardModifiers modifiers) {
  QString text;
  if (key >= Qt::Key_Space && key <= Qt::Key_AsciiTilde && !(modifiers & Qt::ControlModifier)) {
    text = QChar(key);
    if (!(modifiers & Qt::ShiftModifier)) text = text.toLower();
  }
  // As from the window system: first the question whether the key is a
  // shortcut, then the key itself.
  QKeyEvent override(QEvent::ShortcutOverride, key, modifiers, text);
  override.ignore();
  QApplication::sendEvent(widget, &override);
  // A popup that took the key as its shortcut has closed; the key press
  // then goes to another window, not to it.
  if (!widget->isVisible()) return;
  const QPointer<QWidget> target = widget;
  QKeyEvent down(QEvent::KeyPress, key, modifiers, text);
  QApplication::sendEvent(widget, &down);
  // The key may have closed the window it was typed into.
  if (!target) return;
  QKeyEvent up(QEvent::KeyRelease, key, modifiers, text);
  QApplication::sendEvent(widget, &up);
}

void typeText(QWidget* widget, const std::string& text) {
  for (const QChar c : QString::fromStdString(text)) {
    const int key = c.isLetter() ? c.toUpper().unicode() : c.unicode();
    QKeyEvent down(QEvent::KeyPress, key, Qt::NoModifier, QString(c));
    QApplication::sendEvent(widget, &down);
    QKeyEvent up(QEvent::KeyRelease, key, Qt::NoModifier, QString(c));
    QApplication::sendEvent(widget, &up);
  }
}

QWidget* keyboardTarget() {
  if (QWidget* popup = QApplication::activePopupWidget()) {
    return popup->focusWidget() ? popup->focusWidget() : popup;
  }
  if (QWidget* focused = QApplication::focusWidget()) return focused;
  if (QWidget* modal = QApplication::activeModalWidget()) return modal;
  return QApplication::activeWindow();
}

void typeKey(int key, Qt::KeyboardModifiers modifiers) {
  // Right after a window closed the window system may not yet have given
  // the keyboard to another; a user types once one has it.
  if (!keyboardTarget()) waitUntil([] { return keyboardTarget() != nullptr; }, 3000);
  QWidget* target = keyboardTarget();
  if (!target) {
    ADD_FAILURE() << "no window has the keyboard";
    return;
  }
  pressKey(target, key, modifiers);
}

void hoverForTooltip(QWidget* widget) {
  const QPoint local = widget->rect().center();
  QHelpEvent help(QEvent::ToolTip, local, widget->mapToGlobal(local));
  QApplication::sendEvent(widget, &help);
}

namespace {

constexpr int PollMs = 20;

std::vector<std::string> toStrings(const QStringList& list) {
  std::vector<std::string> out;
  for (const QString& s : list) out.push_back(s.toStdString());
  return out;
}

// Closes every open modal dialog: the watchdog's last resort.
void closeModalDialogs() {
  for (int guard = 0; guard < 10; ++guard) {
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal) return;
    if (auto* dialog = qobject_cast<QDialog*>(modal)) {
      dialog->reject();
    } else {
      modal->close();
    }
  }
}

template <class Dialog>
Dialog* activeDialog() {
  auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
  if (!dialog || !dialog->isVisible() || QApplication::activeWindow() != dialog) return nullptr;
  return dialog;
}

QAbstractButton* buttonWithRole(QDialog* dialog, QDialogButtonBox::ButtonRole role) {
  for (auto* box : dialog->findChildren<QDialogButtonBox*>()) {
    for (QAbstractButton* b : box->buttons()) {
      if (box->buttonRole(b) == role) return b;
    }
  }
  return nullptr;
}

// Polls until `tryAnswer` reports it answered, or the watchdog runs out.
std::shared_ptr<DialogSeen> arm(int watchdogMs, std::function<bool(DialogSeen&)> tryAnswer) {
  auto seen = std::make_shared<DialogSeen>();
  auto* timer = new QTimer(QCoreApplication::instance());
  auto clock = std::make_shared<QElapsedTimer>();
  clock->start();
  QObject::connect(timer, &QTimer::timeout, timer, [=] {
    if (tryAnswer(*seen)) {
      seen->answered = true;
      timer->deleteLater();
      timer->stop();
      return;
    }
    if (clock->elapsed() < watchdogMs) return;
    seen->timedOut = true;
    timer->stop();
    timer->deleteLater();
    if (QApplication::activeModalWidget()) {
      ADD_FAILURE() << "a dialog stayed open unanswered for " << watchdogMs << " ms; closed";
      closeModalDialogs();
    }
  });
  timer->start(PollMs);
  return seen;
}

void noteFileDialog(QFileDialog& dialog, DialogSeen& seen) {
  seen.title = dialog.windowTitle().toStdString();
  seen.qtOwnDialog = dialog.testOption(QFileDialog::DontUseNativeDialog);
  seen.directory = dialog.directory().absolutePath().toStdString();
  seen.nameFilters = toStrings(dialog.nameFilters());
  seen.defaultSuffix = dialog.defaultSuffix().toStdString();
  if (auto* name = dialog.findChild<QLineEdit*>("fileNameEdit")) {
    seen.proposedName = name->text().toStdString();
  }
}

}  // namespace

DialogAnswer answerNextMessageBox(int watchdogMs) {
  return arm(watchdogMs, [](DialogSeen& seen) {
    QMessageBox* box = activeDialog<QMessageBox>();
    if (!box) return false;
    seen.title = box->windowTitle().toStdString();
    seen.text = box->text().toStdString();
    for (QAbstractButton* b : box->buttons()) seen.buttons.push_back(b->text().toStdString());
    seen.hasIcon = box->icon() != QMessageBox::NoIcon;
    seen.applicationModal = box->windowModality() == Qt::ApplicationModal;
    seen.hasOwner = box->parentWidget() != nullptr;
    QAbstractButton* ok = box->button(QMessageBox::Ok);
    if (!ok) return false;
    ok->click();
    return true;
  });
}

DialogAnswer answerNextSaveDialog(const std::string& path, int watchdogMs,
                                  std::function<void(QWidget& dialog)> first) {
  return arm(watchdogMs, [path, first](DialogSeen& seen) {
    QFileDialog* dialog = activeDialog<QFileDialog>();
    if (!dialog) return false;
    auto* name = dialog->findChild<QLineEdit*>("fileNameEdit");
    QAbstractButton* accept = buttonWithRole(dialog, QDialogButtonBox::AcceptRole);
    if (!name || !accept) return false;
    noteFileDialog(*dialog, seen);
    if (first) first(*dialog);
    name->setFocus();
    name->selectAll();
    typeText(name, path);
    accept->click();
    return true;
  });
}

DialogAnswer cancelNextSaveDialog(int watchdogMs) {
  return arm(watchdogMs, [](DialogSeen& seen) {
    QFileDialog* dialog = activeDialog<QFileDialog>();
    if (!dialog) return false;
    QAbstractButton* cancel = buttonWithRole(dialog, QDialogButtonBox::RejectRole);
    if (!cancel) return false;
    noteFileDialog(*dialog, seen);
    cancel->click();
    return true;
  });
}

DialogAnswer acceptNextSaveDialog(int watchdogMs) {
  return arm(watchdogMs, [](DialogSeen& seen) {
    QFileDialog* dialog = activeDialog<QFileDialog>();
    if (!dialog) return false;
    QAbstractButton* accept = buttonWithRole(dialog, QDialogButtonBox::AcceptRole);
    if (!accept || !accept->isEnabled()) return false;
    noteFileDialog(*dialog, seen);
    accept->click();
    return true;
  });
}
