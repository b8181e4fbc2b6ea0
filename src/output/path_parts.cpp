#include "output/path_parts.h"

#include "app/path_style.h"

namespace {

size_t lastFolderEnd(const std::string& path) {
  for (size_t i = path.size(); i > 0; --i) {
    if (endsFolder(path[i - 1])) return i - 1;
  }
  return std::string::npos;
}

}  // namespace

std::string pathNamePart(const std::string& path) {
  if (pathTooLong(path)) return "";
  const size_t end = lastFolderEnd(path);
  std::string name = end == std::string::npos ? path : path.substr(end + 1);
  const size_t dot = name.rfind('.');
  if (dot != std::string::npos) name.resize(dot);
  return name;
}

std::string pathFolderPart(const std::string& path) {
  if (pathTooLong(path)) return "";
  const size_t end = lastFolderEnd(path);
  if (end == std::string::npos) return "";
  return path.substr(0, end + 1);
}
