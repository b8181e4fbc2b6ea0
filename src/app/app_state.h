// Window resources the main window keeps from start-up. GUI thread only.
#pragma once

#include <string>

// Icon of the main form and the help form (an EZ_LOADICON handle, 0 = none).
extern int AppIcon;
// Image handle of the main form's background picture (0 = none).
extern int BackgroundImage;
// Picture reference of the logo; loaded once however often the form is made.
extern std::string LogoPicture;
// Row of the file-name box, kept because re-layout puts the box there again.
extern float FileBoxRow;
