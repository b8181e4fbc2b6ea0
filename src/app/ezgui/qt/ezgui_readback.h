// Read-back of what a user sees, and the hooks that let a test stand where
// EZ_GUIRUN would. Nothing in the program itself calls these.
#pragma once

#include <string>
#include <vector>

#include "app/ezgui/ezgui.h"

class QWidget;

// Sets up the layer without running its message loop (the caller owns the
// QApplication): the event and design routines to call.
void ezInstallRoutines(EzEventRoutine events, EzDesignRoutine design);
// Unloads every form without events and forgets fonts, colours, pictures,
// cursors and queued calls. The routines and the rich-text renderer stay.
void ezResetLayer();

// The widget behind a form (id 0) or a control; nullptr when absent.
QWidget* ezWidget(const std::string& form, int id);

bool ezIsEnabled(const std::string& form, int id);
bool ezIsChecked(const std::string& form, int id);
bool ezIsVisible(const std::string& form, int id);
// The text a user reads: label, button, text box, combo box current text,
// the view's plain text, a form's caption.
std::string ezText(const std::string& form, int id);
std::vector<std::string> ezListItems(const std::string& form, int id);
int ezSelectedIndex(const std::string& form, int id);  // -1 when none
std::string ezStatusText(const std::string& form, int id, int part);
int ezStatusPartCount(const std::string& form, int id);
int ezRichTextLimit(const std::string& form, int id);
// The last tooltip text given by EZ_SETTOOLTIP.
std::string ezLastTooltip();
// Geometry in form units.
void ezGeometry(const std::string& form, int id, float& x, float& y, float& width, float& height);
// The cursor number last set for the application (0 when none).
int ezCurrentCursor();
// Whether the form's library thread was started and not closed.
bool ezThreadRunning(const std::string& form);
// Where "$NAME" pictures and icons are looked for (":/res" unless changed),
// so a test can offer files of its own.
void ezSetResourceFolder(const std::string& folder);
// Makes EZ_GETAPPPATHNAME (and so EZ_APPPATH) answer `path` as the program
// file, so a test can give the program a folder of its own. "" undoes it.
void ezSetProgramPath(const std::string& path);

// Delivers an event to the event routine exactly as a widget happening
// would, and returns the cancel flag the routine left.
int ezSendEvent(const std::string& form, int id, int code, int value);
// Carries out the calls queued by another thread (what EZ_DOEVENTS does on
// the GUI thread) and returns how many there were.
int ezDrainQueued();
// How many calls from another thread wait to be carried out.
int ezQueuedCount();
// Whether the timer that carries those calls out is running.
bool ezQueueTimerRunning();
