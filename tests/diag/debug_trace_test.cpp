// The debug window as the user sees it: real widgets on the offscreen screen.
#include "diag/debug_trace.h"

#include <QApplication>
#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QScreen>
#include <QScrollBar>
#include <cmath>
#include <string>

#include <gtest/gtest.h>

#include "app/ezgui/ezgui.h"
#include "app/ezgui/qt/ezgui_readback.h"
#include "support/gui_test_support.h"

namespace {

void noEvents(std::string&, int&, int&, int&, int&) {}
void noDesign(const std::string&) {}

class DebugTraceTest : public ::testing::Test {
 protected:
  void SetUp() override { ezInstallRoutines(noEvents, noDesign); }
  void TearDown() override { ezResetLayer(); }

  static std::string trace() { return EZ_GETTEXT("Debug1", 100); }
  static bool open() { return EZ_ISFORM("Debug1", "E") == 1; }
};

}  // namespace

TEST_F(DebugTraceTest, FirstTraceOpensTheWindowWithOneLine) {
  ASSERT_FALSE(open());
  debugTrace("Dropping");
  ASSERT_TRUE(open());
  EXPECT_TRUE(ezIsVisible("Debug1", 0));
  EXPECT_EQ(trace(), "Dropping\r\n");
  auto* view = qobject_cast<QPlainTextEdit*>(ezWidget("Debug1", 100));
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(view->toPlainText(), "Dropping\n");

  debugTrace("Dropping");
  EXPECT_EQ(trace(), "Dropping\r\nDropping\r\n");
}

// Without a main window to keep clear of, the window goes to its place as
// far as the screen allows.
TEST_F(DebugTraceTest, WindowGoesWhereAskedAsFarAsTheScreenAllows) {
  debugTrace("Dropping");
  float x = 0, y = 0, width = 0, height = 0;
  // The window system may take a moment to carry the move out.
  waitUntil(
      [&] {
        EZ_GETSIZE("Debug1", width, height, 3);
        return std::abs(width - 90) < 0.2f;
      },
      2000);
  EZ_GETPOS("Debug1", x, y, 0);
  EXPECT_NEAR(width, 90, 0.2);
  EXPECT_NEAR(height, 35, 0.2);
  const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
  // Its frame included: the frame too stays on the screen.
  const QRect window = ezWidget("Debug1", 0)->frameGeometry();
  // As far right and down as asked, unless that would leave the screen.
  ASSERT_TRUE(screen.contains(window))
      << "window at " << window.x() << "," << window.y() << " on a screen of " << screen.width()
      << "x" << screen.height();
  EXPECT_TRUE(std::abs(x - 200) < 0.01 || window.right() == screen.right()) << x;
  EXPECT_TRUE(std::abs(y - 20) < 0.01 || window.bottom() == screen.bottom()) << y;
}

TEST_F(DebugTraceTest, BarStartsNewLineAndApostropheShowsAsDoubleQuote) {
  debugTrace("a|b");
  EXPECT_EQ(trace(), "a\r\nb\r\n");
  debugTrace("it's|'quoted'");
  EXPECT_EQ(trace(), "a\r\nb\r\nit\"s\r\n\"quoted\"\r\n");
}

TEST_F(DebugTraceTest, TextUpToTheLimitStaysBeyondItStartsAgain) {
  debugTrace("first");
  const std::string full(64000, 'x');
  EZ_SETTEXT("Debug1", 100, full);
  debugTrace("kept");
  EXPECT_EQ(trace(), full + "kept\r\n");

  // Now more than 64000 characters: the next line stands alone.
  debugTrace("fresh");
  EXPECT_EQ(trace(), "fresh\r\n");

  EZ_SETTEXT("Debug1", 100, std::string(64001, 'y'));
  debugTrace("again");
  EXPECT_EQ(trace(), "again\r\n");
}

TEST_F(DebugTraceTest, ViewFollowsTheNewestLine) {
  for (int i = 0; i < 200; ++i) debugTrace("line " + std::to_string(i));
  auto* view = qobject_cast<QPlainTextEdit*>(ezWidget("Debug1", 100));
  ASSERT_NE(view, nullptr);
  QScrollBar* bar = view->verticalScrollBar();
  EXPECT_GT(bar->maximum(), 0);
  EXPECT_EQ(bar->value(), bar->maximum());
}

TEST_F(DebugTraceTest, PendingMessagesRunBeforeTheTraceReturns) {
  bool ran = false;
  QMetaObject::invokeMethod(
      qApp, [&ran] { ran = true; }, Qt::QueuedConnection);
  debugTrace("Dropping");
  EXPECT_TRUE(ran);
}

TEST_F(DebugTraceTest, TraceAfterTheUserClosedTheWindowOpensAFreshOne) {
  debugTrace("before");
  float x0 = 0, y0 = 0, w0 = 0, h0 = 0;
  ezGeometry("Debug1", 0, x0, y0, w0, h0);
  ezWidget("Debug1", 0)->close();
  ASSERT_FALSE(open());

  debugTrace("after");
  ASSERT_TRUE(open());
  EXPECT_EQ(trace(), "after\r\n");
  float x = 0, y = 0, w = 0, h = 0;
  ezGeometry("Debug1", 0, x, y, w, h);
  EXPECT_FLOAT_EQ(x, x0);
  EXPECT_FLOAT_EQ(y, y0);
  EXPECT_FLOAT_EQ(w, w0);
  EXPECT_FLOAT_EQ(h, h0);
}

TEST_F(DebugTraceTest, ClosingWithoutAWindowDoesNothing) {
  const auto windowsBefore = QApplication::topLevelWidgets().size();
  closeDebugTrace();
  EXPECT_FALSE(open());
  EXPECT_EQ(QApplication::topLevelWidgets().size(), windowsBefore);

  // The trace side is untouched: the first trace still starts a new window.
  debugTrace("Dropping");
  EXPECT_EQ(trace(), "Dropping\r\n");
  closeDebugTrace();
  EXPECT_FALSE(open());
}
