// The program's start: the routines handed to the GUI library, fonts and
// colours, the main form, routing of events by form name, and the main
// form's load routine. GUI thread only.
#pragma once

#include <string>

// Called once by the library before any form exists.
void startupRoutine(int unused);
// Called by the library while a form is being created, to add its controls.
void designRoutine(const std::string& formName);
// Every event of every form; passes those of "MORVANE" and "HELP" on.
void eventRoutine(std::string& formName, int& controlId, int& eventCode, int& eventValue,
                  int& cancel);
// The main form's load work, run on its loaded event.
void loadRoutine();
