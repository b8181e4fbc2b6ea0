// Form handling shared by the files of the layer.
#pragma once

#include <string>

class QObject;

// The user asked to close the form's window: event 0, and unless the event
// routine cancels, the form is unloaded. Returns whether it went away.
bool ezFormClosedByUser(int serial);
// Unloads a form and the forms it owns; `announce` delivers event 0 first.
void ezUnloadForm(const std::string& key, bool announce);
// Unloads every form without events.
void ezUnloadAllSilently();
// Makes sure the layer's application-wide hooks (accelerator keys, the
// timer that carries out queued calls) are in place.
void ezInstallHooks();
// The accelerator keys of a form's window; installed once on the application.
QObject* ezMakeKeyFilter();
