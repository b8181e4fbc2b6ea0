// The transfer's two files over Win32. While the transfer runs no other
// program (nor a second copy of this one) can write to either of them, and
// the open fails while someone else writes to the file. The output file may
// be opened for reading meanwhile (a crew checks it in a spreadsheet); the
// raw log is opened without any sharing.
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

// A pipe whose reader stalls must not hold the worker for good: in
// no-wait mode a write the pipe has no room for takes nothing at once, and
// writeWithin decides how long to wait.
void neverWaitOnPipes(HANDLE handle) {
  if (GetFileType(handle) != FILE_TYPE_PIPE) return;
  DWORD mode = PIPE_READMODE_BYTE | PIPE_NOWAIT;
  SetNamedPipeHandleState(handle, &mode, nullptr, nullptr);
}

// Nobody else writes to the file while it is open, so starting at its end
// is appending. (Append-only access would do the same
// for a file but takes away writing from a pipe, where that right means
// another thing.) The file is opened without truncating and emptied only
// once it is ours.
int openForTransfer(const std::string& path, bool append, DWORD sharing) {
  const HANDLE handle = CreateFileW(widen(path).c_str(), GENERIC_WRITE, sharing, nullptr,
                                    OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return -1;
  const bool onDisk = GetFileType(handle) == FILE_TYPE_DISK;
  LARGE_INTEGER none{};
  const bool ready =
      !onDisk || (append ? SetFilePointerEx(handle, none, nullptr, FILE_END) != 0 : empty(handle));
  if (!ready) {
    CloseHandle(handle);
    return -1;
  }
  neverWaitOnPipes(handle);
  const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_WRONLY | _O_BINARY);
  if (fd < 0) CloseHandle(handle);
  return fd;
}

HANDLE handleOf(int fd) {
  return fd < 0 ? INVALID_HANDLE_VALUE : reinterpret_cast<HANDLE>(_get_osfhandle(fd));
}

}  // namespace

int openOutputFile(const std::string& path, bool append) {
  if (path.empty()) return -1;
  return openForTransfer(path, append, FILE_SHARE_READ);
}

int openRawLog(const std::string& path) {
  if (path.empty()) return -1;
  return openForTransfer(path, false, 0);
}

bool closeTransferFile(int fd) {
  if (fd < 0) return true;
  // Closes the handle too.
  return _close(fd) == 0;
}

bool syncAndCloseTransferFile(int fd) {
  if (fd < 0) return true;
  const HANDLE handle = handleOf(fd);
  const bool synced = GetFileType(handle) != FILE_TYPE_DISK || FlushFileBuffers(handle);
  const bool closed = _close(fd) == 0;
  return synced && closed;
}

bool syncTransferFile(int fd) {
  if (fd < 0) return true;
  const HANDLE handle = handleOf(fd);
  return GetFileType(handle) != FILE_TYPE_DISK || FlushFileBuffers(handle);
}

WriteOutcome writeWithin(int fd, const char* data, size_t size, int waitMs) {
  const HANDLE handle = handleOf(fd);
  if (handle == INVALID_HANDLE_VALUE) return WriteOutcome::Failed;
  while (size > 0) {
    DWORD written = 0;
    const DWORD asked = static_cast<DWORD>(std::min<size_t>(size, MAXDWORD));
    if (!WriteFile(handle, data, asked, &written, nullptr)) return WriteOutcome::Failed;
    if (written > 0) {
      data += written;
      size -= written;
      continue;
    }
    // Only a pipe in no-wait mode takes nothing; it is asked again each
    // millisecond until the wait is over.
    if (GetFileType(handle) != FILE_TYPE_PIPE) return WriteOutcome::Failed;
    const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(waitMs > 0 ? waitMs : 0);
    for (;;) {
      if (GetTickCount64() >= deadline) return WriteOutcome::TimedOut;
      Sleep(1);
      if (!WriteFile(handle, data, asked, &written, nullptr)) return WriteOutcome::Failed;
      if (written > 0) break;
    }
    data += written;
    size -= written;
  }
  return WriteOutcome::Written;
}
