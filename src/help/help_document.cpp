#include "app/ezgui/ezgui.h"
#include "app/path_style.h"
#include "help/help_window.h"
#include "help/shell_open.h"

std::string helpDocumentPath(const std::string& programFolder) {
  return withFolderEnd(programFolder) + "MorvHelp.pdf";
}

void openHelpDocument() {
  shellOpenFile(helpDocumentPath(EZ_APPPATH()));
}
