// Helpers for tests that drive the real widgets offscreen: waiting with a
// deadline, user input, and answering the modal dialogs the program opens.
//
// A dialog is answered only once it is the active modal widget AND the
// active window (typing into it earlier goes astray when the machine is
// busy). Each answer has a watchdog: when the dialog is still open after
// the given time, it is closed and the test fails instead of hanging.
#pragma once

#include <QWidget>
#include <functional>
#include <memory>
#include <string>
#include <vector>

// Handles events until `done` holds or `timeoutMs` passed; returns done().
bool waitUntil(const std::function<bool()>& done, int timeoutMs = 5000);
// Handles events for about `ms` milliseconds.
void processEventsFor(int ms);

// User input delivered to a widget as the window system would.
void clickWidget(QWidget* widget);  // left button pressed and released in its middle
void pressKey(QWidget* widget, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
void typeText(QWidget* widget, const std::string& text);  // one key event per character
// The widget a key typed now reaches, as the window system decides it: an
// open popup, else the focused widget of the active window, else that window.
QWidget* keyboardTarget();
// A key typed by the user: it goes wherever the keyboard really is.
void typeKey(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
// Asks the widget for its tooltip as a hovering mouse would.
void hoverForTooltip(QWidget* widget);

// What the test saw of a dialog it answered.
struct DialogSeen {
  bool answered = false;  // found active and answered
  bool timedOut = false;  // never came, or the watchdog closed it
  std::string title;
  // Message box:
  std::string text;
  std::vector<std::string> buttons;
  bool hasIcon = false;
  bool applicationModal = false;
  bool hasOwner = false;
  // File dialog:
  bool qtOwnDialog = false;  // not the desktop's native one
  std::string directory;
  std::vector<std::string> nameFilters;
  std::string defaultSuffix;
  std::string proposedName;  // the file name field as the dialog opened
};
using DialogAnswer = std::shared_ptr<const DialogSeen>;

// Arm one of these, then make the call that opens the dialog.
DialogAnswer answerNextMessageBox(int watchdogMs = 5000);  // presses OK
// Types `path` into the file name field and presses the accept button;
// `first`, when given, acts on the dialog before that (picks a filter...).
DialogAnswer answerNextSaveDialog(const std::string& path, int watchdogMs = 5000,
                                  std::function<void(QWidget& dialog)> first = {});
DialogAnswer cancelNextSaveDialog(int watchdogMs = 5000);
// Presses the accept button with the name the dialog proposed, unchanged.
DialogAnswer acceptNextSaveDialog(int watchdogMs = 5000);
