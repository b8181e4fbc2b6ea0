// The main window, its help window and its trace window on the screen the
// tests are given: each run of this program has a screen of its own (a
// 1366 by 768 laptop screen at the desktop scales 1, 1.25 and 1.5, see
// tests/CMakeLists.txt). What a user must be able to reach stays on the
// screen, no window appears in one place and jumps to another, and the
// trace window neither takes the keyboard nor covers a control.
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QGuiApplication>
#include <QMenuBar>
#include <QScreen>
#include <map>
#include <sstream>

#include <gtest/gtest.h>

#include "support/main_window.h"
#include "transfer/transfer_state.h"

namespace {

const std::vector<int> ControlIds = {
    IdPathLabel,     IdChooseFileButton, IdAppendRadio,    IdOverwriteRadio,
    IdPortList,      IdStartButton,      IdStopButton,     IdFileNameBox,
    IdRefreshButton, IdPortLabel,        IdIncomingView,   IdIncomingLabel,
    IdLogo,          IdAppendLabel,      IdOverwriteLabel, IdStatusBar,
};

QRect workArea() {
  return QGuiApplication::primaryScreen()->availableGeometry();
}

QRect globalRect(const QWidget* widget) {
  return QRect(widget->mapToGlobal(QPoint(0, 0)), widget->size());
}

std::string describe(const QRect& r) {
  std::ostringstream out;
  out << r.width() << "x" << r.height() << " at " << r.x() << "," << r.y();
  return out.str();
}

// The main window's menu bar and controls, by name for the messages.
std::map<std::string, QWidget*> mainControls(MainWindowProgram& program) {
  std::map<std::string, QWidget*> controls;
  for (int id : ControlIds) controls["control " + std::to_string(id)] = program.control(id);
  controls["menu bar"] = program.window()->findChild<QMenuBar*>();
  return controls;
}

// Where each window of the program was when it first showed.
class FirstPlaces : public QObject {
 public:
  FirstPlaces() { qApp->installEventFilter(this); }
  ~FirstPlaces() override { qApp->removeEventFilter(this); }
  std::map<QWidget*, QRect> seen;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    auto* widget = qobject_cast<QWidget*>(watched);
    if (event->type() == QEvent::Show && widget && widget->isWindow() && !seen.count(widget)) {
      seen[widget] = widget->frameGeometry();
    }
    return false;
  }
};

// The screen's own pixels, as support/screen_1366x768.json gives them. At
// scale 1.5 its work area is 911 logical pixels wide, Qt's nearest to 910.67.
constexpr int ScreenPixelsWide = 1366;
constexpr int ScreenPixelsHigh = 768;

// Whether the window lies within the screen's pixels, not only within the
// logical area rounded from them.
bool withinScreenPixels(const QRect& frame) {
  const double ratio = QGuiApplication::primaryScreen()->devicePixelRatio();
  return frame.x() >= 0 && frame.y() >= 0 &&
         (frame.x() + frame.width()) * ratio <= ScreenPixelsWide &&
         (frame.y() + frame.height()) * ratio <= ScreenPixelsHigh;
}

// The window system puts its frame around a window only once it shows, so
// the place a window shows at may be off by the frame's width.
constexpr int FrameSlack = 4;

class SmallScreen : public ::testing::Test {
 protected:
  void SetUp() override {
    program.addPort(3);
    program.writeSettings("3\r\n");
    program.start();
  }

  // A window is where it first showed, wholly inside the work area.
  void expectStayedOnTheScreen(QWidget* window, const std::string& what) {
    processEventsFor(100);
    ASSERT_TRUE(places.seen.count(window)) << what << " never showed";
    const QPoint moved = window->frameGeometry().topLeft() - places.seen[window].topLeft();
    EXPECT_TRUE(std::abs(moved.x()) <= FrameSlack && std::abs(moved.y()) <= FrameSlack)
        << what << " showed " << describe(places.seen[window]) << " and moved to "
        << describe(window->frameGeometry());
    EXPECT_EQ(places.seen[window].size(), window->frameGeometry().size())
        << what << " showed " << describe(places.seen[window]) << " and changed its size to "
        << describe(window->frameGeometry());
    EXPECT_TRUE(workArea().contains(window->frameGeometry()))
        << what << " is " << describe(window->frameGeometry()) << " on a work area of "
        << describe(workArea());
    EXPECT_TRUE(withinScreenPixels(window->frameGeometry()))
        << what << " is " << describe(window->frameGeometry()) << " at scale "
        << QGuiApplication::primaryScreen()->devicePixelRatio() << ", past the screen's "
        << ScreenPixelsWide << " by " << ScreenPixelsHigh << " pixels";
  }

  FirstPlaces places;
  MainWindowProgram program;
};

}  // namespace

TEST_F(SmallScreen, EveryControlOfTheMainWindowIsOnTheScreenInTheMiddle) {
  QWidget* window = program.window();
  expectStayedOnTheScreen(window, "the main window");
  const QRect area = workArea();
  const QRect frame = window->frameGeometry();
  EXPECT_LE(std::abs((frame.left() - area.left()) - (area.right() - frame.right())), FrameSlack)
      << "not centred across: " << describe(frame) << " on " << describe(area);
  EXPECT_LE(std::abs((frame.top() - area.top()) - (area.bottom() - frame.bottom())), FrameSlack)
      << "not centred down: " << describe(frame) << " on " << describe(area);

  const QRect inside = globalRect(window);
  for (const auto& [name, control] : mainControls(program)) {
    ASSERT_NE(control, nullptr) << name;
    EXPECT_TRUE(control->isVisible()) << name;
    const QRect shown = globalRect(control);
    EXPECT_TRUE(inside.contains(shown))
        << name << " is " << describe(shown) << ", cut off by the window " << describe(inside);
    EXPECT_TRUE(area.contains(shown))
        << name << " is " << describe(shown) << ", off the work area " << describe(area);
  }
}

TEST_F(SmallScreen, HelpWindowShowsOnTheScreenWhereItStays) {
  typeKey(Qt::Key_F1);
  ASSERT_EQ(EZ_ISFORM(HelpFormName, "E"), 1);
  expectStayedOnTheScreen(ezWidget(HelpFormName, IdFormItself), "the help window");
}

// Every user drops the port list down at once, which opens the trace window.
TEST_F(SmallScreen, TraceWindowLeavesTheKeyboardAndTheControlsToTheMainWindow) {
  ASSERT_TRUE(program.chooseFile(program.folder.path() + "river.csv")->answered);
  auto* list = qobject_cast<QComboBox*>(program.control(IdPortList));
  ASSERT_NE(list, nullptr);
  clickWidget(list);
  ASSERT_TRUE(waitUntil([] { return ezIsVisible(DebugFormName, IdFormItself); }))
      << "the drop-down was not traced";
  QWidget* trace = ezWidget(DebugFormName, IdFormItself);
  EXPECT_EQ(EZ_GETTEXT(DebugFormName, 100), "Dropping\r\n");
  expectStayedOnTheScreen(trace, "the trace window");
  for (const auto& [name, control] : mainControls(program)) {
    EXPECT_FALSE(trace->frameGeometry().intersects(globalRect(control)))
        << "the trace window " << describe(trace->frameGeometry()) << " covers " << name << " "
        << describe(globalRect(control));
  }

  // The list closes as the user leaves it; the keys are the main window's still.
  typeKey(Qt::Key_Escape);
  EXPECT_TRUE(waitUntil([&] { return !list->view()->isVisible(); }));
  processEventsFor(100);
  EXPECT_EQ(QApplication::activeWindow(), program.window());
  program.ctrl(Qt::Key_G);
  EXPECT_EQ(TransferRunning, 1) << "Ctrl+G did not start the transfer";
  program.ctrl(Qt::Key_Z);
  EXPECT_EQ(TransferRunning, 0) << "Ctrl+Z did not stop it";
  EXPECT_EQ(TransferStopped, 1);
}
