#include <QCoreApplication>
#include <filesystem>
#include <system_error>

#include "app/ezgui/ezgui.h"
#include "app/ezgui/qt/ezgui_state.h"

std::string EZ_GETAPPPATHNAME() {
  if (!EzLayer.programPath.empty()) return EzLayer.programPath;
  if (QCoreApplication::instance()) {
    const QByteArray path = QCoreApplication::applicationFilePath().toLocal8Bit();
    if (!path.isEmpty()) return std::string(path.constData(), static_cast<size_t>(path.size()));
  }
  // Before the application exists: where the system says this program is.
  std::error_code failed;
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", failed);
  return failed ? std::string() : self.string();
}

std::string EZ_GETPATHTEXT(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string EZ_APPPATH() {
  return EZ_GETPATHTEXT(EZ_GETAPPPATHNAME());
}
