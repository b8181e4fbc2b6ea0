#include "app/ezgui/ezgui.h"
#include "help/help_window.h"
#include "help/shell_open.h"

std::string helpDocumentPath(const std::string& programFolder) {
  std::string path = programFolder;
  if (path.empty() || path.back() != '/') path += '/';
  return path + "MorvHelp.pdf";
}

void openHelpDocument() {
  shellOpenFile(helpDocumentPath(EZ_APPPATH()));
}
