#include "output/output_choice.h"

#include <string>

#include "app/control_ids.h"
#include "app/ezgui/ezgui.h"
#include "app/file_system.h"
#include "app/path_style.h"
#include "output/output_state.h"
#include "output/path_parts.h"
#include "output/readiness.h"

namespace {

constexpr const char* DialogTitle = "Select Data File";
constexpr const char* DialogFilter = "Comma Separated Values|*.csv|Text Files|*.txt|All Files|*.*";
constexpr const char* DialogExtension = "csv";
constexpr size_t ShortestTypedName = 5;

void recordDialogChoice(const std::string& path) {
  if (!path.empty()) {
    EZ_SETTEXT(MainForm, IdFileNameBox, path);
    LastFolder = pathFolderPart(path);
    FileChosen = 1;
  } else {
    EZ_SETTEXT(MainForm, IdFileNameBox, "");
    FileChosen = 0;
    OutputFileName.clear();
  }
}

// The box holds UTF-8; a name's length is what the user typed, not bytes.
size_t characterCount(const std::string& text) {
  size_t count = 0;
  for (const char c : text) {
    if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++count;
  }
  return count;
}

}  // namespace

void chooseOutputFileByDialog() {
  // Empty when the current folder cannot be told: the dialog then starts
  // where it likes.
  if (LastFolder.empty()) LastFolder = currentFolder();
  const std::string path = EZ_SAVEFILE(MainForm, DialogTitle, LastFolder, OutputFileName,
                                       DialogFilter, DialogExtension, "Z");
  OutputFileName = path;
  recordDialogChoice(path);
  readinessOnDialogClosed(!path.empty(), pathNamePart(path));
}

void onFileNameEdited() {
  // Messages then show the name as Windows writes it, whichever separator
  // was typed.
  OutputFileName = nativePath(EZ_GETTEXT(MainForm, IdFileNameBox));
  const bool longEnough = characterCount(OutputFileName) >= ShortestTypedName;
  if (!longEnough) FileChosen = 0;
  readinessOnNameTyped(longEnough, pathNamePart(OutputFileName));
}

void onAppendChosen() {
  WriteMode = WriteAppend;
  EZ_SETCHECK(MainForm, IdAppendRadio, 1);
  EZ_SETCHECK(MainForm, IdOverwriteRadio, 0);
}

void onOverwriteChosen() {
  WriteMode = WriteOverwrite;
  EZ_SETCHECK(MainForm, IdAppendRadio, 0);
  EZ_SETCHECK(MainForm, IdOverwriteRadio, 1);
}
