#include <filesystem>
#include <system_error>

#include "app/file_system.h"

namespace fs = std::filesystem;

FileKind fileKind(const std::string& path) {
  std::error_code error;
  const fs::file_status status = fs::status(path, error);
  if (status.type() == fs::file_type::not_found) return FileKind::Missing;
  return status.type() == fs::file_type::regular ? FileKind::Plain : FileKind::Other;
}

std::FILE* openFile(const std::string& path, const char* mode) {
  return std::fopen(path.c_str(), mode);
}

std::string currentFolder() {
  std::error_code error;
  std::string folder = fs::current_path(error).string();
  if (error || folder.empty()) return "";
  if (folder.back() != '/') folder += '/';
  return folder;
}
