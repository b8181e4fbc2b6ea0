#include "ports/port_list.h"

#include <string>
#include <vector>

#include "app/control_ids.h"
#include "app/ezgui/ezgui.h"
#include "output/readiness.h"
#include "ports/port_names.h"
#include "ports/port_presence.h"
#include "ports/port_scan.h"
#include "ports/port_state.h"
#include "ports/settings_file.h"
#include "transfer/transfer_state.h"

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
  PortList[PortCount] =
      PortEntry{text, static_cast<int16_t>(portNumber), state, portDescription(portNumber)};
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

void appendProbed(int portNumber, const PortStates& probed) {
  const int16_t state = probed[static_cast<size_t>(portNumber)];
  if (state == PortFree || state == PortInUse) appendPort(portNumber, state);
}

std::vector<PortEntry> listedEntries() {
  return std::vector<PortEntry>(PortList + 1, PortList + PortCount + 1);
}

bool sameEntries(const std::vector<PortEntry>& a, const std::vector<PortEntry>& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (a[i].portNumber != b[i].portNumber || a[i].state != b[i].state) return false;
  }
  return true;
}

// The ports present now, in order: those that were already there keep
// their entry (or stay unlisted, when their probe found no serial port),
// and only those that have appeared are probed.
void rebuildFromPresent(const PresentPorts& now, const PresentPorts& appeared,
                        const std::vector<PortEntry>& before) {
  const PortStates probed = probePorts(appeared);
  clearPortList();
  for (int n = 1; n <= MaxPorts; ++n) {
    if (appeared.test(static_cast<size_t>(n))) {
      appendProbed(n, probed);
      continue;
    }
    if (!now.test(static_cast<size_t>(n))) continue;
    for (const PortEntry& entry : before) {
      if (entry.portNumber == n) PortList[++PortCount] = entry;
    }
  }
}

void saveChosenPort() {
  SavedPortNumber = PortList[ChosenPortIndex].portNumber;
  writeSettingsFile(SettingsPath, SavedPortNumber);
}

}  // namespace

void scanPorts() {
  clearPortList();
  EZ_SETCURSOR("", CursorWait);
  // Taken first: a port that comes while the scan runs is news to the next
  // check. Only the ports the system lists are opened.
  KnownPorts = presentPorts();
  const PortStates probed = probePorts(KnownPorts);
  for (int n = 1; n <= MaxPorts; ++n) appendProbed(n, probed);
  fillPortList();
}

void followPortChanges() {
  // A transfer's port must not be touched; what changed meanwhile is still
  // news after the stop, since the known ports stay as they were.
  if (TransferRunning == 1 || StopInProgress == 1) return;
  const PresentPorts now = presentPorts();
  if (now == KnownPorts) return;
  const PresentPorts appeared = now & ~KnownPorts;
  KnownPorts = now;
  const std::vector<PortEntry> before = listedEntries();
  rebuildFromPresent(now, appeared, before);
  if (!sameEntries(before, listedEntries())) fillPortList();
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

std::string portItemDescription(int index) {
  if (index < 0 || index >= PortCount) return "";
  return PortList[index + 1].description;
}
