#include "app/ezgui/ezgui.h"
#include "app/startup.h"

int main(int argc, char** argv) {
  return EZ_GUIRUN(argc, argv, startupRoutine, eventRoutine, designRoutine);
}
