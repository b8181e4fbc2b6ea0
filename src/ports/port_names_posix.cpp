#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

#include "ports/port_names.h"
#include "ports/port_names_posix.h"
#include "transfer/serial_port.h"

namespace fs = std::filesystem;

std::string SysfsRoot = "/sys";
std::string SerialByIdFolder = "/dev/serial/by-id";

namespace {

// A device's strings are its own; they are shown, so they are kept short
// and on one line.
constexpr size_t LongestAttribute = 126;

std::string attribute(const fs::path& folder, const char* name) {
  std::ifstream in(folder / name, std::ios::binary);
  std::string value;
  std::getline(in, value);
  std::string shown;
  for (const char c : value) {
    if (static_cast<unsigned char>(c) >= 0x20 && c != 0x7f) shown += c;
    if (shown.size() == LongestAttribute) break;
  }
  while (!shown.empty() && shown.back() == ' ') shown.pop_back();
  return shown;
}

// Where a link leads, even when its device is gone: the name still tells
// which device it was.
fs::path resolved(const fs::path& path) {
  std::error_code error;
  const fs::path target = fs::canonical(path, error);
  if (!error) return target;
  const fs::path link = fs::read_symlink(path, error);
  if (error) return path;
  return (link.is_absolute() ? link : path.parent_path() / link).lexically_normal();
}

// The USB device folders carry idVendor; an interface or a tty below them
// does not. The walk stays inside the sysfs tree.
std::string usbIdentity(const std::string& ttyName) {
  std::error_code error;
  const fs::path root = fs::canonical(SysfsRoot, error);
  if (error) return "";
  fs::path folder = fs::canonical(fs::path(SysfsRoot) / "class/tty" / ttyName / "device", error);
  for (; !error && folder != root && folder.has_relative_path(); folder = folder.parent_path()) {
    if (!fs::exists(folder / "idVendor", error)) continue;
    std::string text = attribute(folder, "manufacturer");
    const std::string product = attribute(folder, "product");
    if (!product.empty()) text += (text.empty() ? "" : " ") + product;
    const std::string serial = attribute(folder, "serial");
    if (!serial.empty())
      text += (text.empty() ? "" : ", ") + std::string("serial number ") + serial;
    return text;
  }
  return "";
}

std::string byIdName(const fs::path& device) {
  std::error_code error;
  for (fs::directory_iterator entry(SerialByIdFolder, error), end; !error && entry != end;
       entry.increment(error)) {
    if (resolved(entry->path()) == device) return entry->path().filename().string();
  }
  return "";
}

}  // namespace

std::string portIdentity(int portNumber) {
  const std::string path = serialDevicePath(portNumber);
  if (path.empty()) return "";
  const fs::path device = resolved(path);
  const std::string usb = usbIdentity(device.filename().string());
  // An adapter without a serial number is one of many alike.
  if (usb.find("serial number ") != std::string::npos) return usb;
  return byIdName(device);
}

std::string portDescription(int portNumber) {
  const std::string path = serialDevicePath(portNumber);
  if (path.empty()) return "";
  const fs::path device = resolved(path);
  std::string name = usbIdentity(device.filename().string());
  if (name.empty()) name = byIdName(device);
  return name.empty() ? device.string() : name + " (" + device.string() + ")";
}
