#include "ports/settings_file.h"

#include <cstdio>

#include "app/file_system.h"
#include "ports/port_state.h"

namespace {

constexpr int EndOfText = 26;

bool endsLine(int byte) {
  return byte == EOF || byte == '\r' || byte == '\n' || byte == EndOfText;
}

// Reads byte by byte and gives up at the first byte that cannot belong to an
// accepted line, so a huge or endless file costs no more than a good one.
int16_t parseFirstLine(std::FILE* file) {
  int value = 0;
  bool sawDigit = false;
  bool inTrailingSpaces = false;
  for (;;) {
    const int byte = std::fgetc(file);
    if (endsLine(byte)) break;
    if (byte >= '0' && byte <= '9' && !inTrailingSpaces) {
      sawDigit = true;
      value = value * 10 + (byte - '0');
      if (value > MaxPorts) return 0;
    } else if (byte == ' ' && sawDigit) {
      inTrailingSpaces = true;
    } else {
      return 0;
    }
  }
  // A read error looks like the end of the file to fgetc; it must not pass
  // for a complete line.
  if (std::ferror(file) || !sawDigit || value < 1) return 0;
  return static_cast<int16_t>(value);
}

}  // namespace

// Only a plain file is read or written: opening a named pipe in its place
// would wait for another program without end, at start-up or at a pick.
int16_t readSettingsFile(const std::string& path) {
  if (fileKind(path) != FileKind::Plain) return 0;
  std::FILE* file = openFile(path, "rb");
  if (!file) return 0;
  const int16_t value = parseFirstLine(file);
  std::fclose(file);
  return value;
}

void writeSettingsFile(const std::string& path, int16_t portNumber) {
  if (fileKind(path) == FileKind::Other) return;
  std::FILE* file = openFile(path, "wb");
  if (!file) return;
  std::fprintf(file, "%d\r\n", static_cast<int>(portNumber));
  std::fclose(file);
}
