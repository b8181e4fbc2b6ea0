#include "app/ezgui/ezgui.h"
#include "app/running_mark.h"
#include "app/startup.h"

int main(int argc, char** argv) {
  markRunning();
  return EZ_GUIRUN(argc, argv, startupRoutine, eventRoutine, designRoutine);
}
