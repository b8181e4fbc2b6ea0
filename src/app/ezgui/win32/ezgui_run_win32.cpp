#include "app/ezgui/win32/ezgui_win32_state.h"

int EZ_GUIRUN(int argc, char** argv, EzStartupRoutine startup, EzEventRoutine events,
              EzDesignRoutine design) {
  (void)argc;
  (void)argv;
  ezwSearchSystemFolderOnly();
  EzWin.guiThread = GetCurrentThreadId();
  EzWin.events = events;
  EzWin.design = design;
  ezwOpenQueue();
  if (startup) startup(0);

  int code = 0;
  if (!EzForms.mainFormKey.empty()) {
    EzWin.loopRunning = true;
    MSG message;
    BOOL got;
    while ((got = GetMessageW(&message, nullptr, 0, 0)) != 0 && got != -1) {
      if (ezwTranslateAccelerator(message)) continue;
      if (ezwDialogKey(message)) continue;
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    if (got == 0) code = static_cast<int>(message.wParam);
    EzWin.loopRunning = false;
  }
  ezwCloseQueue();
  ezwUnloadAllSilently();
  ezwForgetPictures();
  ezwForgetFonts();
  if (EzWin.controlFont) DeleteObject(EzWin.controlFont);
  EzWin.controlFont = nullptr;
  EzWin.dpi = 0;
  EzWin.events = nullptr;
  EzWin.design = nullptr;
  return code;
}
