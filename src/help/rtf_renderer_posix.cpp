// The Qt layer's rich-text view shows no RTF of its own: it takes the help
// text reader's rendering.
#include "app/ezgui/qt/ezgui_rtf.h"
#include "help/help_window.h"
#include "help/rtf_reader.h"

void helpInstallRtfRenderer() {
  ezSetRtfRenderer(&renderRtf);
}
