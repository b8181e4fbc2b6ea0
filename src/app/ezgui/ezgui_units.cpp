#include "app/ezgui/ezgui_units.h"

#include <cmath>

#include "app/ezgui/ezgui_backend.h"

namespace {

struct EzUnitState {
  EzUnitSize size;
  bool known = false;
};

EzUnitState Units;

}  // namespace

EzUnitSize ezUnitSizeFor(int lineHeightPixels) {
  const double down = lineHeightPixels > 0 ? lineHeightPixels : 16.0;
  return EzUnitSize{down / 2.0, down};
}

EzUnitSize ezUnits() {
  if (!Units.known) {
    Units.size = ezUnitSizeFor(ezBackendLineHeight());
    Units.known = true;
  }
  return Units.size;
}

void ezForgetUnits() {
  Units = EzUnitState{};
}

int ezPixelsX(float units) {
  return static_cast<int>(std::lround(units * ezUnits().across));
}

int ezPixelsY(float units) {
  return static_cast<int>(std::lround(units * ezUnits().down));
}

float ezUnitsX(int pixels) {
  return static_cast<float>(pixels / ezUnits().across);
}

float ezUnitsY(int pixels) {
  return static_cast<float>(pixels / ezUnits().down);
}
