// An event routine for tests: it records every event the GUI layer
// delivers and lets the test react to them (answer a tooltip, draw a
// button, set the cancel flag), as the program's own routine would.
#pragma once

#include <functional>
#include <string>
#include <vector>

struct GuiEvent {
  std::string form;
  int id = 0;
  int code = 0;
  int value = 0;
};

struct GuiEventLog {
  std::vector<GuiEvent> events;
  std::vector<std::string> designed;  // form names the design routine got
  // Called for each event after it is recorded; may set the cancel flag.
  std::function<void(const GuiEvent&, int& cancel)> react;
  std::function<void(const std::string&)> design;

  // Events of one code (and, when id >= 0, one control), in order.
  std::vector<GuiEvent> withCode(int code, int id = -1) const;
  void clear() { events.clear(); }
};

extern GuiEventLog TestEvents;

void recordEvent(std::string& form, int& id, int& code, int& value, int& cancel);
void recordDesign(const std::string& form);
// Installs the two routines above into the GUI layer and empties the log.
void installEventLog();
