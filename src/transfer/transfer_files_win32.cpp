// The transfer's two files over Win32. Opened with share mode 0, a file
// cannot be opened by any other program (or a second copy of this one)
// while the transfer runs, and the open fails while someone else has it.
// The descriptors handed out are C runtime descriptors over the handles;
// every write goes to WriteFile, the runtime buffers nothing.
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <algorithm>

#include "app/win32_text.h"
#include "transfer/transfer_files.h"

namespace {

// Only a file on disk can be emptied; a pipe or a device is written as it is.
bool empty(HANDLE handle) {
  if (GetFileType(handle) != FILE_TYPE_DISK) return true;
  LARGE_INTEGER start{};
  return SetFilePointerEx(handle, start, nullptr, FILE_BEGIN) && SetEndOfFile(handle);
}

// Append access alone makes every write land at the end of the file,
// wherever anyone else has moved it to. The file is opened without
// truncating and emptied only once it is ours.
int openUnshared(const std::string& path, bool append) {
  const DWORD access = append ? FILE_APPEND_DATA : GENERIC_WRITE;
  const HANDLE handle = CreateFileW(widen(path).c_str(), access, 0, nullptr, OPEN_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return -1;
  if (!append && !empty(handle)) {
    CloseHandle(handle);
    return -1;
  }
  const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_WRONLY | _O_BINARY);
  if (fd < 0) CloseHandle(handle);
  return fd;
}

}  // namespace

int openOutputFile(const std::string& path, bool append) {
  if (path.empty()) return -1;
  return openUnshared(path, append);
}

int openRawLog(const std::string& path) {
  if (path.empty()) return -1;
  return openUnshared(path, false);
}

void closeTransferFile(int fd) {
  // Closes the handle too.
  if (fd >= 0) _close(fd);
}

bool writeWhole(int fd, const char* data, size_t size) {
  if (fd < 0) return false;
  const HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(fd));
  if (handle == INVALID_HANDLE_VALUE) return false;
  while (size > 0) {
    DWORD written = 0;
    const DWORD asked = static_cast<DWORD>(std::min<size_t>(size, MAXDWORD));
    if (!WriteFile(handle, data, asked, &written, nullptr) || written == 0) return false;
    data += written;
    size -= written;
  }
  return true;
}
