// The main window's controls, created while the library makes form
// "MORVANE". GUI thread only.
#pragma once

// Design routine of the main form: every control at its place.
void designMainWindow();
