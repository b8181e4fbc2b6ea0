// The program as the transfer benchmarks run it: its own start-up, window,
// port scan and transfer, with a small driver standing in for the user, so
// that what the benchmark measures from outside (time to the first picture
// of the window, CPU time, wake-ups, memory) is the program's own.
//
//   morvane_bench_program startup FOLDER
//   morvane_bench_program transfer FOLDER OUTPUT-FILE
//
// FOLDER is the program's folder (settings file, raw log). The program
// prints "shown <ns>" once the main window has been painted for the first
// time (<ns>: the system's monotonic clock). "startup" then closes the
// window. "transfer" chooses OUTPUT-FILE in Overwrite mode, presses Start
// and prints "started"; it presses Stop and ends when its standard input
// reads a line or ends. The port is whatever the settings file names.
#include <unistd.h>

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QSocketNotifier>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>

#include "app/control_ids.h"
#include "app/ezgui/ezgui.h"
#include "app/ezgui/qt/ezgui_readback.h"
#include "app/startup.h"

namespace {

struct Driver {
  std::string mode;
  std::string outputFile;
};

Driver TheDriver;

void say(const std::string& line) {
  std::fputs((line + "\n").c_str(), stdout);
  std::fflush(stdout);
}

long long monotonicNs() {
  using namespace std::chrono;
  return duration_cast<nanoseconds>(steady_clock::now().time_since_epoch()).count();
}

void press(int id) {
  if (auto* button = qobject_cast<QAbstractButton*>(ezWidget(MainForm, id))) button->click();
}

void stopAndEnd() {
  press(IdStopButton);
  say("stopped");
  EZ_UNLOADFORM(MainForm);
}

// The user picks the file in the real save dialog: it is answered as soon
// as it is the active modal window.
void answerSaveDialog() {
  auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
  if (!dialog) {
    QTimer::singleShot(10, answerSaveDialog);
    return;
  }
  dialog->selectFile(QString::fromStdString(TheDriver.outputFile));
  QMetaObject::invokeMethod(dialog, "accept");
}

void chooseOutputFile() {
  QTimer::singleShot(10, answerSaveDialog);
  press(IdChooseFileButton);
  press(IdOverwriteRadio);
}

void startTransfer() {
  chooseOutputFile();
  press(IdStartButton);
  say("started");
  // Any line (or the end of input) is the user pressing Stop. Until then
  // the notifier costs nothing: the event loop sleeps on the descriptor.
  auto* stdinWatch = new QSocketNotifier(STDIN_FILENO, QSocketNotifier::Read, qApp);
  QObject::connect(stdinWatch, &QSocketNotifier::activated, [stdinWatch] {
    stdinWatch->setEnabled(false);
    char line[64];
    (void)!read(STDIN_FILENO, line, sizeof line);
    stopAndEnd();
  });
}

void onShown() {
  say("shown " + std::to_string(monotonicNs()));
  if (TheDriver.mode == "transfer") {
    startTransfer();
  } else {
    EZ_UNLOADFORM(MainForm);
  }
}

// Notices the first paint of the main window, then takes itself out of the
// event path so that it costs the measured program nothing afterwards.
class FirstPaintWatch : public QObject {
 public:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::Paint || !watched->isWidgetType()) return false;
    QWidget* main = ezWidget(MainForm, IdFormItself);
    if (!main || static_cast<QWidget*>(watched)->window() != main) return false;
    qApp->removeEventFilter(this);
    QTimer::singleShot(0, onShown);
    return false;
  }
};

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3 || (std::strcmp(argv[1], "transfer") == 0 && argc < 4)) {
    std::fputs("usage: morvane_bench_program startup|transfer FOLDER [OUTPUT-FILE]\n", stderr);
    return 2;
  }
  TheDriver.mode = argv[1];
  if (argc > 3) TheDriver.outputFile = argv[3];
  QApplication app(argc, argv);
  ezSetProgramPath(std::string(argv[2]) + "/morvane");
  FirstPaintWatch watch;
  app.installEventFilter(&watch);
  return EZ_GUIRUN(argc, argv, startupRoutine, eventRoutine, designRoutine);
}
