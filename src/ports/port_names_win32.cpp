#include <windows.h>
// After windows.h:
#include <devguid.h>
#include <setupapi.h>

#include <string>
#include <vector>

#include "app/win32_text.h"
#include "ports/port_names.h"
#include "ports/port_names_win32.h"
#include "transfer/serial_port.h"

ComPortDeviceLister ListComPortDevices = setupApiComPorts;

namespace {

std::string registryPortName(HDEVINFO devices, SP_DEVINFO_DATA& device) {
  const HKEY key =
      SetupDiOpenDevRegKey(devices, &device, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_QUERY_VALUE);
  if (key == INVALID_HANDLE_VALUE) return "";
  wchar_t name[64] = {};
  DWORD size = sizeof name - sizeof(wchar_t);
  DWORD type = 0;
  const LONG result =
      RegQueryValueExW(key, L"PortName", nullptr, &type, reinterpret_cast<BYTE*>(name), &size);
  RegCloseKey(key);
  return result == ERROR_SUCCESS && type == REG_SZ ? narrow(name) : "";
}

std::string friendlyName(HDEVINFO devices, SP_DEVINFO_DATA& device) {
  wchar_t name[256] = {};
  if (!SetupDiGetDeviceRegistryPropertyW(devices, &device, SPDRP_FRIENDLYNAME, nullptr,
                                         reinterpret_cast<BYTE*>(name),
                                         sizeof name - sizeof(wchar_t), nullptr)) {
    return "";
  }
  return narrow(name);
}

bool samePortName(const std::string& a, const std::string& b) {
  return CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, a.c_str(), -1, b.c_str(), -1) ==
         CSTR_EQUAL;
}

}  // namespace

std::vector<ComPortDevice> setupApiComPorts() {
  std::vector<ComPortDevice> found;
  const HDEVINFO devices =
      SetupDiGetClassDevsW(&GUID_DEVCLASS_PORTS, nullptr, nullptr, DIGCF_PRESENT);
  if (devices == INVALID_HANDLE_VALUE) return found;
  SP_DEVINFO_DATA device{};
  device.cbSize = sizeof device;
  for (DWORD i = 0; SetupDiEnumDeviceInfo(devices, i, &device); ++i) {
    const std::string port = registryPortName(devices, device);
    if (!port.empty()) found.push_back(ComPortDevice{port, friendlyName(devices, device)});
  }
  SetupDiDestroyDeviceInfoList(devices);
  return found;
}

std::string portDescription(int portNumber) {
  const std::string path = serialDevicePath(portNumber);
  if (path.empty()) return "";
  const std::string portName = "COM" + std::to_string(portNumber);
  for (const ComPortDevice& device : ListComPortDevices()) {
    if (samePortName(device.portName, portName) && !device.friendlyName.empty()) {
      return device.friendlyName;
    }
  }
  return path;
}
