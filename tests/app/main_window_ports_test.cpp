// The main window's port list looking after itself: ports plugged in and
// pulled out show without Refresh, and each port says what it is.
#include <gtest/gtest.h>
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QHelpEvent>
#include <QToolTip>

#include "ports/port_state.h"
#include "support/main_window.h"

namespace {

using Items = std::vector<std::string>;

Items listed() {
  return ezListItems(MainForm, IdPortList);
}

// About two seconds after the change, with room for a busy machine.
constexpr int FollowWaitMs = 4000;

TEST(MainWindowPorts, PortsPluggedInAndPulledOutShowWithoutRefresh) {
  MainWindowProgram program;
  program.addPort(3);
  program.start();
  ASSERT_EQ(listed(), (Items{"COM 3"}));

  program.addPort(7);
  EXPECT_TRUE(waitUntil(
      [] {
        return listed() == Items{"COM 3", "COM 7"};
      },
      FollowWaitMs))
      << listed().size() << " items";
  program.instruments.front().reset();
  EXPECT_TRUE(waitUntil([] { return listed() == Items{"COM 7"}; }, FollowWaitMs))
      << listed().size() << " items";
}

// The mouse resting on item `row` of the dropped-down list.
void restOnItem(QAbstractItemView* view, int row) {
  const QPoint at = view->visualRect(view->model()->index(row, 0)).center();
  QHelpEvent help(QEvent::ToolTip, at, view->viewport()->mapToGlobal(at));
  QApplication::sendEvent(view->viewport(), &help);
}

TEST(MainWindowPorts, EachItemAndTheListSayWhatThePortIs) {
  MainWindowProgram program;
  const std::string com3 = program.addPort(3).devicePath();
  const std::string com7 = program.addPort(7).devicePath();
  program.writeSettings("7\r\n");
  program.start();
  ASSERT_EQ(listed(), (Items{"COM 3", "COM 7"}));
  ASSERT_EQ(program.status(StatusPort), "COM 7 chosen");

  hoverForTooltip(program.control(IdPortList));
  EXPECT_EQ(QToolTip::text().toStdString(), com7 + "\nChoose a port from the list (Ctrl-P)");

  program.ctrl(Qt::Key_P);
  auto* view = static_cast<QComboBox*>(program.control(IdPortList))->view();
  ASSERT_TRUE(waitUntil([&] { return view->isVisible(); }, 3000)) << "the list did not drop down";
  restOnItem(view, 0);
  EXPECT_EQ(QToolTip::text().toStdString(), com3);
  restOnItem(view, 1);
  EXPECT_EQ(QToolTip::text().toStdString(), com7);
}

}  // namespace
