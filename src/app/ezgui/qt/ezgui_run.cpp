#include <QApplication>
#include <memory>

#include "app/ezgui/qt/ezgui_forms.h"
#include "app/ezgui/qt/ezgui_readback.h"
#include "app/ezgui/qt/ezgui_state.h"

void ezInstallRoutines(EzEventRoutine events, EzDesignRoutine design) {
  EzLayer.events = events;
  EzLayer.design = design;
  ezInstallHooks();
}

int EZ_GUIRUN(int argc, char** argv, EzStartupRoutine startup, EzEventRoutine events,
              EzDesignRoutine design) {
  // A test may already have made the application; the layer then uses it.
  std::unique_ptr<QApplication> own;
  if (!QCoreApplication::instance()) own = std::make_unique<QApplication>(argc, argv);
  // The program ends with its main window, not with its last window.
  QApplication::setQuitOnLastWindowClosed(false);
  ezInstallRoutines(events, design);
  if (startup) startup(0);

  int code = 0;
  if (!EzForms.mainFormKey.empty()) {
    EzLayer.loopRunning = true;
    code = QApplication::exec();
    EzLayer.loopRunning = false;
  }
  ezResetLayer();
  EzLayer.events = nullptr;
  EzLayer.design = nullptr;
  return code;
}
