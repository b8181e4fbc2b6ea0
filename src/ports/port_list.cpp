#include "ports/port_list.h"

#include <string>

#include "app/control_ids.h"
#include "app/ezgui/ezgui.h"
#include "output/readiness.h"
#include "ports/port_state.h"
#include "ports/settings_file.h"

namespace {

constexpr int CursorArrow = 49;
constexpr int CursorWait = 50;

void clearPortList() {
  for (PortEntry& entry : PortList) entry = PortEntry{};
  PortCount = 0;
}

void appendPort(int portNumber, int16_t state) {
  std::string text = "COM " + std::to_string(portNumber);
  if (state == PortInUse) text += " in use";
  PortCount = static_cast<int16_t>(PortCount + 1);
  PortList[PortCount] = PortEntry{text, static_cast<int16_t>(portNumber), state};
}

std::string joinedItems() {
  std::string items;
  for (int i = 1; i <= PortCount; ++i) {
    if (i > 1) items += "|";
    items += PortList[i].text;
  }
  return items;
}

// The saved port's entry, 0 when it is not listed. A choice kept from before
// a scan could name another port or a slot past the list's end.
int16_t savedPortEntry() {
  for (int i = 1; i <= PortCount; ++i) {
    if (PortList[i].portNumber == SavedPortNumber) return static_cast<int16_t>(i);
  }
  return 0;
}

void showItems() {
  EZ_CLEAR(MainForm, IdPortList);
  if (PortCount > 0) EZ_ADDITEMS(MainForm, IdPortList, joinedItems());
}

void saveChosenPort() {
  SavedPortNumber = PortList[ChosenPortIndex].portNumber;
  writeSettingsFile(SettingsPath, SavedPortNumber);
}

}  // namespace

void scanPorts() {
  clearPortList();
  EZ_SETCURSOR("", CursorWait);
  for (int n = 1; n <= MaxPorts; ++n) {
    const int16_t state = probePort(n);
    if (state == PortFree || state == PortInUse) appendPort(n, state);
  }
  fillPortList();
}

void fillPortList() {
  ChosenPortIndex = savedPortEntry();
  showItems();
  if (ChosenPortIndex > 0) {
    EZ_SELECTITEM(MainForm, IdPortList, ChosenPortIndex - 1);
    readinessOnFillChosen(PortList[ChosenPortIndex].text);
  } else {
    EZ_SELECTITEM(MainForm, IdPortList, -1);
    readinessOnFillNone();
  }
  EZ_SETCURSOR("", CursorArrow);
}

void onPortPicked(int index) {
  if (index < 0 || index >= PortCount) return;
  PickedPortIndex = static_cast<int16_t>(index + 1);
  const PortEntry& picked = PortList[PickedPortIndex];
  if (picked.state == PortFree) {
    ChosenPortIndex = PickedPortIndex;
    readinessOnPickedFree(picked.text);
  } else if (picked.state == PortInUse) {
    ChosenPortIndex = 0;
    readinessOnPickedInUse(picked.text);
  }
  if (ChosenPortIndex > 0) saveChosenPort();
}
