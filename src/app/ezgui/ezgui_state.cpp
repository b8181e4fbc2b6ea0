#include "app/ezgui/ezgui_state.h"

#include <algorithm>
#include <cctype>

#include "app/ezgui/ezgui_backend.h"
#include "app/ezgui/ezgui_units.h"

EzNextSettings EzNext;
EzProgramForms EzForms;

std::string ezKey(const std::string& name) {
  std::string key = name;
  std::transform(key.begin(), key.end(), key.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return key;
}

int ezCallEventRoutine(EzEventRoutine routine, const EzFormBase& form, int id, int code,
                       int value) {
  if (!routine) return 0;
  std::string name = form.name;
  int control = id;
  int event = code;
  int eventValue = value;
  int cancel = 0;
  routine(name, control, event, eventValue, cancel);
  return cancel;
}

// ---- Settings of the next forms and the form's marks --------------------------

void EZ_COLOR(int foreground, int background) {
  EzNext.foreground = foreground;
  EzNext.background = background;
}

void EZ_DEFMAINMENU(int commandId, const std::string& text, const std::string& props) {
  (void)props;
  EzNext.menu.push_back(EzMenuItem{commandId, text});
}

void EZ_ALLOWLOADINGEVENT(int mode) {
  EzNext.loadingEventNext = mode == 2;
}

void EZ_SUBCLASS(int mode) {
  EzNext.subclassMode = mode;
}

// The layer reports the events it has; these switches change nothing.
void EZ_ALLOWCOMMANDEVENTS(int) {}
void EZ_ALLOWNOTIFYEVENTS(int) {}
void EZ_ALLOWKEYEVENTS(int) {}
void EZ_ALLOWMOUSEMOVEEVENTS(int) {}
void EZ_ALLOWCURSOREVENTS(int) {}

void EZ_SETTICKS(const std::string& name, int periodMs) {
  EzFormBase* form = ezOnGuiThread() ? ezBackendForm(name) : nullptr;
  if (!form || form->goingAway) return;
  form->tickPeriodMs = periodMs > 0 ? periodMs : 0;
  ezBackendSetTicks(*form, form->tickPeriodMs);
}

// The form's library thread carries no work of the program, so it is a mark
// that it was started, not a thread of the operating system.
void EZ_STARTTHREAD(const std::string& name, int threadNumber, int value) {
  (void)threadNumber;
  (void)value;
  if (EzFormBase* form = ezBackendForm(name)) form->threadRunning = true;
}

void EZ_CLOSETHREAD(const std::string& name, int threadNumber) {
  (void)threadNumber;
  if (EzFormBase* form = ezBackendForm(name)) form->threadRunning = false;
}

// ---- Forms and controls by name -------------------------------------------------

void EZ_FORM(const std::string& name, const std::string& parent, const std::string& caption,
             float x, float y, float width, float height, const std::string& props) {
  if (!ezOnGuiThread()) return;
  const bool announceLoading = EzNext.loadingEventNext;
  EzNext.loadingEventNext = false;
  const bool centred = props.find('C') != std::string::npos;
  const int serial = ezBackendMakeForm(name, parent, caption, x, y, width, height, centred);
  if (parent.empty() && EzForms.mainFormKey.empty()) EzForms.mainFormKey = ezKey(name);
  // Any step may unload the form again (the event routine is free to), so
  // each one looks it up afresh.
  const auto stillThere = [serial] { return ezBackendFormWithSerial(serial) != nullptr; };
  if (announceLoading) ezDeliver(serial, 0, EzLoading, 0);
  if (stillThere()) ezBackendDesign(name);
  if (stillThere()) ezDeliver(serial, 0, EzLoaded, 0);
  // Shown after its start event, so a place given there is where it appears.
  if (stillThere()) ezDeliver(serial, 0, EzStarted, 0);
  ezBackendShowNewForm(serial);
}

// mode 0: the client area; other modes: the whole window.
void EZ_GETSIZE(const std::string& name, float& width, float& height, int mode) {
  const std::optional<EzBox> box = ezBackendFormPixels(name, mode == 0);
  width = box ? ezUnitsX(box->width) : 0;
  height = box ? ezUnitsY(box->height) : 0;
}

void EZ_GETPOS(const std::string& name, float& x, float& y, int mode) {
  (void)mode;
  const std::optional<EzBox> box = ezBackendFormPixels(name, false);
  x = box ? ezUnitsX(box->x) : 0;
  y = box ? ezUnitsY(box->y) : 0;
}

void EZ_UNLOADFORM(const std::string& name) {
  if (!ezOnGuiThread()) return;
  ezUnloadForm(ezKey(name), true);
}

int EZ_ISFORM(const std::string& name, const std::string& props) {
  (void)props;
  const EzFormBase* form = ezBackendForm(name);
  return form && !form->goingAway ? 1 : 0;
}

void EZ_SETRICHTEXTLEN(const std::string& form, int id, int limit) {
  if (!ezOnGuiThread()) return;
  EzControlBase* view = ezBackendControl(form, id);
  if (view && view->kind == EzKind::RichView) view->richLimit = std::max(0, limit);
}

// A list the user may not use does not drop down for the program either.
int EZ_SENDMESSAGE(const std::string& form, int id, int message, int wparam, int lparam) {
  (void)lparam;
  constexpr int ShowDropDown = 335;  // CB_SHOWDROPDOWN
  if (!ezOnGuiThread() || message != ShowDropDown || wparam != 1) return 0;
  const EzControlBase* list = ezBackendControl(form, id);
  if (!list || list->kind != EzKind::ComboBox || !ezBackendIsEnabled(form, id)) return 0;
  ezBackendDropDown(form, id);
  return 1;
}

// ---- Dialogs ----------------------------------------------------------------

std::string EZ_SAVEFILE(const std::string& form, const std::string& title,
                        const std::string& folder, const std::string& fileName,
                        const std::string& filter, const std::string& extension,
                        const std::string& props) {
  (void)props;
  if (!ezOnGuiThread()) return "";
  return ezBackendSaveFile(form, title, folder, fileName, filter, extension);
}
