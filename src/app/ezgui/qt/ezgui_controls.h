// Control creation shared by the files of the layer.
#pragma once

#include <QWidget>
#include <string>

#include "app/ezgui/qt/ezgui_state.h"

// The client area a new control of `form` goes into; nullptr when the form
// does not exist (the control is then not made).
QWidget* ezControlParent(const std::string& form);
// Registers a control made on the client of `form`: geometry in units, the
// current font and colours, and event 85 when loading events were asked
// for. A control of the same identifier is replaced.
EzControl* ezAddControl(const std::string& form, int id, EzKind kind, QWidget* widget, float x,
                        float y, float width, float height);
// Foreground and background of a control, by its kind.
void ezApplyColours(EzControl& control);
// The text a control shows, as EZ_GETTEXT gives it.
std::string ezControlText(const EzControl& control);
