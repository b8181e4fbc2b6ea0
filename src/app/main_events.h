// Events of the main window: clicks, picks, tooltips and owner drawing of its
// controls, its keyboard commands, and the window's own events. GUI thread
// only.
#pragma once

// The event routine passes every event of form "MORVANE" here.
void mainWindowEvents(int& controlId, int& eventCode, int& eventValue, int& cancel);
// The form itself, its keyboard commands, and controls with no case of their
// own.
void mainFormEvents(int& controlId, int& eventCode, int& eventValue, int& cancel);

inline constexpr const char* MainAccelerators =
    "F1,1111|^F,1112|^P,1113|^G,1114|^Z,1115|^X,1116|^R,1117|^D,1118";
