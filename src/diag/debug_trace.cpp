#include "diag/debug_trace.h"

#include "app/ezgui/ezgui.h"

namespace {

constexpr char kDebugForm[] = "Debug1";
constexpr int kTraceText = 100;

// Set when the trace creates its window; they stay for the program's run.
struct DebugTraceState {
  std::string lineEnd;
  std::string::size_type textLimit = 0;
};
DebugTraceState DebugTrace;

// The layer keeps the window on the screen and off the main window's
// controls; column 200, row 20 is where it goes when that place does both.
void placeDebugWindow() {
  EZ_RESIZEFORM(kDebugForm, 200, 20, 90, 35, -1);
}

void openDebugWindow() {
  EZ_DEBUGFORM(kDebugForm);
  placeDebugWindow();
  DebugTrace.lineEnd = "\r\n";
  DebugTrace.textLimit = 64000;
}

std::string replaceAll(std::string text, char from, const std::string& to) {
  for (auto at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
    text.replace(at, 1, to);
  }
  return text;
}

// "|" becomes a line end first, then each apostrophe a double quote.
std::string traceLines(const std::string& message) {
  return replaceAll(replaceAll(message, '|', DebugTrace.lineEnd), '\'', "\"");
}

}  // namespace

void debugTrace(const std::string& message) {
  if (EZ_ISFORM(kDebugForm, "E") == 0) openDebugWindow();
  std::string text = EZ_GETTEXT(kDebugForm, kTraceText);
  if (text.size() > DebugTrace.textLimit) text.clear();
  text += traceLines(message) + DebugTrace.lineEnd;
  EZ_SETTEXT(kDebugForm, kTraceText, text);
  EZ_SCROLLTO(kDebugForm, kTraceText, 1, 0);
  EZ_DOEVENTS(1);
}

void closeDebugTrace() {
  EZ_UNLOADFORM(kDebugForm);
}
