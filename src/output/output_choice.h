// The user's choice of output file (save dialog or typed name) and of write
// mode (Append / Overwrite). GUI thread only.
#pragma once

// Choose Path and File button / Ctrl+F: the save dialog, then readiness.
void chooseOutputFileByDialog();
// The user changed the text of the file-name box.
void onFileNameEdited();
// Append or Overwrite clicked; each sets both check marks itself.
void onAppendChosen();
void onOverwriteChosen();
