#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

#include "app/program_folder.h"

namespace {

std::string withSlash(std::string folder) {
  if (folder.empty() || folder.back() != '/') folder += '/';
  return folder;
}

// mkdir -p; an existing folder is fine. Folders made in the user's data
// area are the user's alone, as the desktop's convention asks.
void makeFolders(const std::string& path) {
  for (size_t i = 1; i <= path.size(); ++i) {
    if (i == path.size() || path[i] == '/') mkdir(path.substr(0, i).c_str(), 0700);
  }
}

}  // namespace

std::string dataFolderFor(const std::string& programFolder) {
  const std::string own = withSlash(programFolder);
  if (access(own.c_str(), W_OK) == 0) return own;
  std::string base;
  if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg == '/') {
    base = xdg;
  } else if (const char* home = std::getenv("HOME"); home && *home) {
    base = withSlash(home) + ".local/share";
  } else {
    return own;  // nowhere better to go; writes there fail as they would anyway
  }
  const std::string folder = withSlash(base) + "morvane/";
  makeFolders(folder.substr(0, folder.size() - 1));
  return folder;
}
