#include "output/path_parts.h"

#include <climits>

namespace {

bool tooLong(const std::string& path) {
  return path.size() > PATH_MAX;
}

}  // namespace

std::string pathNamePart(const std::string& path) {
  if (tooLong(path)) return "";
  const size_t slash = path.rfind('/');
  std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  const size_t dot = name.rfind('.');
  if (dot != std::string::npos) name.resize(dot);
  return name;
}

std::string pathFolderPart(const std::string& path) {
  if (tooLong(path)) return "";
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return "";
  return path.substr(0, slash + 1);
}
