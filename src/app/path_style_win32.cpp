#include <windows.h>

#include "app/path_style.h"

bool endsFolder(char c) {
  return c == '\\' || c == '/' || c == ':';
}

std::string withFolderEnd(std::string folder) {
  if (folder.empty() || (folder.back() != '\\' && folder.back() != '/')) folder += '\\';
  return folder;
}

std::string nativePath(std::string path) {
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  return path;
}

// Characters, not bytes: a name such as José takes more bytes than letters.
bool pathTooLong(const std::string& path) {
  size_t characters = 0;
  for (const char c : path) {
    if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++characters;
  }
  return characters > MAX_PATH;
}
