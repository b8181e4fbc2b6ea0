// The measurement summary of the output file, from the "&Summary" menu item
// and Ctrl+D: its report written beside it and opened in the browser.
#pragma once

// Does nothing unless an output file was chosen and no transfer runs.
void summarizeOutputFile();
// The menu item greyed out whenever it would do nothing.
void showSummaryMenuState();
