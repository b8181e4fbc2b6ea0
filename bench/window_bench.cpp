// The window's own work, on the real main window offscreen: a port scan
// with no ports and with three free ports and one held by another program,
// and the cost of appending a record line to the incoming-data view as it
// fills up to its character limit and beyond. Prints "figure <name> <value>
// <unit>" lines.
#include <QApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/control_ids.h"
#include "app/ezgui/ezgui.h"
#include "app/ezgui/qt/ezgui_readback.h"
#include "app/startup.h"
#include "ports/port_list.h"
#include "support/pty_instrument.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int ScanRuns = 7;
constexpr int ScrollPeriod = 26;  // as the receive worker scrolls
constexpr int MeasuredAppends = 1000;

void figure(const char* name, double value, const char* unit) {
  std::printf("figure %s %.3f %s\n", name, value, unit);
  std::fflush(stdout);
}

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

double secondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

// The window as the program starts it, in a program folder of its own.
class MainWindow {
 public:
  MainWindow() {
    char name[] = "/tmp/morvane-window-bench-XXXXXX";
    folder_ = mkdtemp(name) ? name : "/tmp";
    ezSetProgramPath(folder_ + "/morvane");
    ezInstallRoutines(eventRoutine, designRoutine);
    startupRoutine(0);
    QApplication::processEvents();
  }
  ~MainWindow() {
    if (EZ_ISFORM(MainForm, "E")) EZ_UNLOADFORM(MainForm);
    if (folder_ != "/tmp") std::filesystem::remove_all(folder_);
  }
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

 private:
  std::string folder_;
};

double scanMs() {
  std::vector<double> times;
  for (int run = 0; run < ScanRuns; ++run) {
    const Clock::time_point start = Clock::now();
    scanPorts();
    times.push_back(secondsSince(start) * 1000);
  }
  return median(times);
}

void measureScans() {
  {
    PortFolder nothing;
    figure("scan_empty_ms", scanMs(), "ms");
  }
  PortFolder ports;
  std::vector<std::unique_ptr<PtyInstrument>> instruments;
  for (const int port : {2, 5, 12, 40}) {
    instruments.push_back(std::make_unique<PtyInstrument>(ports, port));
  }
  PortHolder otherProgram(instruments[1]->devicePath(), HoldKind::Flock);
  figure("scan_3free_1held_ms", scanMs(), "ms");
}

std::string recordLine(int i) {
  char text[80];
  std::snprintf(text, sizeof text, "%d,12/01/26,10:%02d:%02d,%d.5,1.20,0.45,0,Feet\n", i / 25 + 1,
                i / 60 % 60, i % 60, i % 1000);
  return text;
}

// One record as the receive worker appends it: selection to the end, the
// line inserted there, and every 26th record the scroll to the end, after
// which the window gets to paint.
void appendRecord(int i) {
  EZ_SETRICHSEL(MainForm, IdIncomingView, -1, -1);
  EZ_SETRICHTEXT(MainForm, IdIncomingView, recordLine(i), 0, 1);
  if (i % ScrollPeriod == 0) {
    EZ_SCROLLTO(MainForm, IdIncomingView, 1, -2);
    QApplication::processEvents();
  }
}

// Microseconds per append, averaged over the appends that bring the view's
// count of records appended to each of `marks`.
std::vector<double> appendMicroseconds(const std::vector<int>& marks) {
  std::vector<double> result;
  int appended = 0;
  for (const int mark : marks) {
    while (appended < mark - MeasuredAppends) appendRecord(++appended);
    const Clock::time_point start = Clock::now();
    while (appended < mark) appendRecord(++appended);
    result.push_back(secondsSince(start) * 1e6 / MeasuredAppends);
  }
  return result;
}

void measureView() {
  EZ_SETRICHTEXT(MainForm, IdIncomingView, "", 0, 0);
  const std::vector<double> us = appendMicroseconds({1000, 10000, 100000});
  figure("view_append_1k_us", us[0], "us");
  figure("view_append_10k_us", us[1], "us");
  figure("view_append_100k_us", us[2], "us");
  figure("view_append_100k_over_1k", us[2] / us[0], "ratio");
}

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication app(argc, argv);
  try {
    MainWindow window;
    measureScans();
    measureView();
  } catch (const std::exception& e) {
    std::fprintf(stderr, "window_bench: %s\n", e.what());
    return 1;
  }
  return 0;
}
