// The hooks the shared part of the GUI layer calls, private to the layer.
// Each backend folder implements every one over its toolkit: qt/ (Qt
// Widgets) and win32/ (Win32); the build takes one of them. Where the two
// platforms really differ, the difference is one of these hooks.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "app/ezgui/ezgui_colours.h"
#include "app/ezgui/ezgui_drawing.h"
#include "app/ezgui/ezgui_keys.h"
#include "app/ezgui/ezgui_state.h"

// ---- Threads and events ----
// Whether the caller is the GUI thread (true before the loop knows it).
bool ezOnGuiThread();
// Delivers one event to the event routine for the form of that serial
// number; returns the cancel flag the routine left (0 without the form).
int ezDeliver(int formSerial, int id, int code, int value);
// A form the program creates (EZ_FORM): its window made, not yet shown;
// gives its serial.
int ezBackendMakeForm(const std::string& name, const std::string& parent,
                      const std::string& caption, float x, float y, float width, float height,
                      bool centred);
// Calls the design routine, if there is one, with the form's name.
void ezBackendDesign(const std::string& name);
// Shows the form made by ezBackendMakeForm, if it is still there.
void ezBackendShowNewForm(int serial);
// The form of that serial number; nullptr once it is gone.
EzFormBase* ezBackendFormWithSerial(int serial);
// Where a form is, in pixels: its window as the program places it (the
// window system's frame not counted), or its client area (x and y 0);
// none without the form.
std::optional<EzBox> ezBackendFormPixels(const std::string& name, bool clientArea);
// The form by name in any letter case; nullptr when there is none.
EzFormBase* ezBackendForm(const std::string& name);
// The control of a form; nullptr when there is none.
EzControlBase* ezBackendControl(const std::string& form, int id);
// Whether the user may use the control now (it is enabled).
bool ezBackendIsEnabled(const std::string& form, int id);
// Drops the list of a combo box down, with its event 108.
void ezBackendDropDown(const std::string& form, int id);
// Starts the form's tick timer at `periodMs`, or stops it (0); the form
// exists and is not going away.
void ezBackendSetTicks(EzFormBase& form, int periodMs);
// Unloads the form by registry key, its owned forms first; `announce`
// reports its event 0. Ends the message loop when the main form goes.
void ezUnloadForm(const std::string& key, bool announce);

// The program-side part of a form about to be made under `name`, one of
// that name unloaded first; its owner is the form named `parent`, if any.
template <class Form>
struct EzNewForm {
  std::unique_ptr<Form> form;
  Form* owner = nullptr;
};

template <class Form>
EzNewForm<Form> ezStartForm(const EzFormRegistry<Form>& forms, int& nextSerial,
                            const std::string& name, const std::string& parent) {
  if (ezFormNamed(forms, name)) ezUnloadForm(ezKey(name), true);
  EzNewForm<Form> made{std::make_unique<Form>(),
                       parent.empty() ? nullptr : ezFormNamed(forms, parent)};
  made.form->name = name;
  made.form->serial = nextSerial++;
  if (made.owner) made.form->parentKey = ezKey(made.owner->name);
  made.form->foreground = EzNext.foreground;
  made.form->background = EzNext.background;
  return made;
}

// ---- Calls from another thread ----
// Called, under the queue's lock, for a call queued while no wake-up is on
// its way: starts one (the GUI thread then drains the queue) and says
// whether it did. False before the backend can wake the GUI thread: the
// calls then wait for the GUI thread's own.
bool ezBackendWakeForQueue();
// EZ_DOEVENTS on the GUI thread, after the queue: pending window messages.
void ezBackendHandleMessages();
// What the queued calls do, carried out on the GUI thread.
void ezDoStatusText(const std::string& form, int id, int part, const std::string& text);
void ezDoRichSelection(const std::string& form, int id, int start, int end);
void ezDoRichText(const std::string& form, int id, const std::string& text, int a, int b);
void ezDoScrollTo(const std::string& form, int id, int mode, int value);

// ---- Units, colours, keys ----
// The line height in pixels of the application's face at 10 points.
int ezBackendLineHeight();
// A Windows system colour index (4 menu, 5 window, 15 button face, 24
// tooltip background...) as the desktop shows it.
EzRgb ezBackendSystemColour(int systemIndex);
// The form's accelerator keys, replacing those it had.
void ezBackendSetAccelerators(const std::string& form, const std::vector<EzKeySpec>& keys);

// ---- Drawing handed to the program ----
// A plain 3-D button (ezButtonColours) for the owner-drawn control `id` of
// the form, in `face` (none: the toolkit's button face) with `font`
// (EzControlFont: the button's own); false when there is no such button.
bool ezBackendDrawButton(EzSurface& surface, EzBox area, const std::string& form, int id,
                         EzButtonState state, std::optional<EzRgb> face, int font);
// Image handle `image` stretched over `target` (pixels); nothing when the
// handle is not one.
void ezBackendDrawImage(EzSurface& surface, int image, EzBox target);

// ---- Dialogs ----
// The save dialog of EZ_SAVEFILE, on the GUI thread.
std::string ezBackendSaveFile(const std::string& form, const std::string& title,
                              const std::string& folder, const std::string& fileName,
                              const std::string& filter, const std::string& extension);
