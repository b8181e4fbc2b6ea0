// The main window's keyboard commands (its accelerator table).
#pragma once

// Runs accelerator command `command`; other identifiers do nothing.
void keyboardCommand(int command);
