#include <climits>

#include "app/path_style.h"

bool endsFolder(char c) {
  return c == '/';
}

std::string withFolderEnd(std::string folder) {
  if (folder.empty() || folder.back() != '/') folder += '/';
  return folder;
}

std::string nativePath(std::string path) {
  return path;
}

bool pathTooLong(const std::string& path) {
  return path.size() > PATH_MAX;
}
