// Events of the main form as a whole: loaded, resized, background, going away.
// GUI thread only.
#pragma once

// The form and its controls exist: load work, the port list, the keys.
void onMainFormLoaded();
// The window changed size: the view and the file-name box follow it.
void relayoutMainForm();
// Paints the background picture over the area of erase event `eventValue`.
void paintBackground(int eventValue, int& cancel);
// The main window is going away.
void onMainFormGoingAway();
