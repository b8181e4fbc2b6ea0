#include "help/help_window.h"

#include "app/app_state.h"
#include "app/ezgui/ezgui.h"

namespace {

constexpr char kHelpForm[] = "HELP";
constexpr int kHelpView = 100;

// The help text as last loaded from the program's resources; F1 loads it again.
struct HelpState {
  std::string text;
  int length = 0;
};
HelpState Help;

// The main window's place, moved 2 units right and down, and its size.
void placeBesideMainWindow() {
  float x = 0, y = 0, width = 0, height = 0;
  EZ_GETPOS("Morvane", x, y, 0);
  EZ_GETSIZE("Morvane", width, height, 3);
  EZ_RESIZEFORM("Help", x + 2, y + 2, width, height, -1);
}

void fitViewToWindow() {
  float width = 0, height = 0;
  EZ_GETSIZE(kHelpForm, width, height, 0);
  EZ_RESIZE(kHelpForm, kHelpView, 0.2f, 0.1f, width - 0.2f, height - 0.1f);
}

}  // namespace

void showHelpWindow() {
  Help.text = loadEmbeddedText("MorvHelpRTF");
  Help.length = static_cast<int>(Help.text.size());
  EZ_COLOR(0, 41);
  EZ_ALLOWLOADINGEVENT(2);
  EZ_FORM(kHelpForm, "Morvane", "Morvane Transfer Utility Help", 0, 0, 126, 45, "^_CKZ");
  EZ_SETRICHTEXTLEN(kHelpForm, kHelpView, Help.length + 1024);
  EZ_SETRICHTEXT(kHelpForm, kHelpView, Help.text, 1, 0);
  EZ_DOEVENTS(10);
  EZ_SETRICHSEL(kHelpForm, kHelpView, 51, 51);
}

void designHelpWindow() {
  EZ_COLOR(-1, -1);
  EZ_USEFONT(4);
  EZ_SUBCLASS(2);
  EZ_RICHTEXT(kHelpForm, kHelpView, 0.75f, 0.375f, 124.25f, 44.25f, "@STV");
  EZ_SUBCLASS(0);
  EZ_SETRICHTEXT(kHelpForm, kHelpView, "", 0, 0);
}

// The view's own events (6, and 99 for its window messages) take their normal
// course; the cancel flag is never touched.
void helpWindowEvents(int controlId, int eventCode, int /*eventValue*/, int& /*cancel*/) {
  if (controlId != 0) return;
  switch (eventCode) {
    case EzLoaded:
      EZ_SETFORMICON(kHelpForm, AppIcon);
      break;
    case EzStarted:
      placeBesideMainWindow();
      break;
    case EzSizeChanged:
      fitViewToWindow();
      break;
    default:  // 85 loading, 0 going away: nothing
      break;
  }
}
