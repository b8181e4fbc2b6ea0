#include "support/gui_event_log.h"

#include "app/ezgui/qt/ezgui_readback.h"

GuiEventLog TestEvents;

std::vector<GuiEvent> GuiEventLog::withCode(int code, int id) const {
  std::vector<GuiEvent> out;
  for (const GuiEvent& e : events) {
    if (e.code == code && (id < 0 || e.id == id)) out.push_back(e);
  }
  return out;
}

void recordEvent(std::string& form, int& id, int& code, int& value, int& cancel) {
  const GuiEvent e{form, id, code, value};
  TestEvents.events.push_back(e);
  if (TestEvents.react) TestEvents.react(e, cancel);
}

void recordDesign(const std::string& form) {
  TestEvents.designed.push_back(form);
  if (TestEvents.design) TestEvents.design(form);
}

void installEventLog() {
  TestEvents = GuiEventLog{};
  ezInstallRoutines(recordEvent, recordDesign);
}
