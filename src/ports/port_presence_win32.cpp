#include <windows.h>

#include <cwctype>
#include <string>
#include <vector>

#include "app/win32_text.h"
#include "ports/port_names_win32.h"
#include "ports/port_presence.h"
#include "ports/port_presence_win32.h"

SerialDeviceMapReader ReadSerialDeviceMap = registrySerialDeviceMap;

namespace {

// "COM" (any case) and a number from 1 to MaxPorts, else 0.
int comNumber(const std::string& name) {
  if (name.size() < 4 || name.size() > 6) return 0;
  for (size_t i = 0; i < 3; ++i) {
    if (std::towupper(static_cast<unsigned char>(name[i])) != "COM"[i]) return 0;
  }
  int n = 0;
  for (size_t i = 3; i < name.size(); ++i) {
    if (name[i] < '0' || name[i] > '9') return 0;
    n = n * 10 + (name[i] - '0');
  }
  return n >= 1 && n <= MaxPorts ? n : 0;
}

}  // namespace

std::vector<std::string> registrySerialDeviceMap() {
  std::vector<std::string> names;
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_QUERY_VALUE,
                    &key) != ERROR_SUCCESS) {
    return names;
  }
  for (DWORD i = 0;; ++i) {
    wchar_t valueName[256] = {};
    DWORD nameLength = 255;
    wchar_t data[64] = {};
    DWORD dataSize = sizeof data - sizeof(wchar_t);
    DWORD type = 0;
    const LONG result = RegEnumValueW(key, i, valueName, &nameLength, nullptr, &type,
                                      reinterpret_cast<BYTE*>(data), &dataSize);
    if (result == ERROR_NO_MORE_ITEMS) break;
    if (result == ERROR_SUCCESS && type == REG_SZ) names.push_back(narrow(data));
  }
  RegCloseKey(key);
  return names;
}

// Either list may miss a port the other names: some drivers write no
// device map entry, and the COM-port class lacks modems and other classes'
// serial ports.
PresentPorts presentPorts() {
  PresentPorts present;
  for (const std::string& name : ReadSerialDeviceMap()) {
    if (const int n = comNumber(name)) present.set(static_cast<size_t>(n));
  }
  for (const ComPortDevice& device : ListComPortDevices()) {
    if (const int n = comNumber(device.portName)) present.set(static_cast<size_t>(n));
  }
  return present;
}
