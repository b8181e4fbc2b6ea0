// How the main window's controls look: tooltip texts and the 3-D drawing of
// its owner-drawn buttons.
#pragma once

#include <string>

// The tooltip of control `id`, "" for a control without one.
std::string tooltipText(int id);
// Answers the library's request for the tooltip of control `id` (event
// value 0) or of item value - 1 of the port list's dropped-down list;
// controls without a tooltip get no answer. The port list names what the
// chosen port is, each item what its port is.
void answerTooltip(int id, int value);
// Draws owner-drawn button `id` with the drawing record of its event.
void drawOwnerButton(int id, int drawRecord);
