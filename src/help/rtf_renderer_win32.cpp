// The Win32 layer's rich-text view is a RichEdit control, which reads RTF
// itself: there is nothing to install.
#include "help/help_window.h"

void helpInstallRtfRenderer() {}
