// The "&Summary" menu item and Ctrl+D: the report of the output file written
// beside it and handed to the desktop, or the failure told in a message box.
#include <gtest/gtest.h>
#include <QDesktopServices>
#include <QMenuBar>
#include <QMouseEvent>
#include <QUrl>
#include <filesystem>
#include <fstream>

#include "output/output_state.h"
#include "support/main_window.h"
#include "transfer/transfer_state.h"

namespace {

// Stands where the desktop's opener would, and notes what it was given.
class Opener : public QObject {
  Q_OBJECT
 public:
  Opener() { QDesktopServices::setUrlHandler("file", this, "open"); }
  ~Opener() override { QDesktopServices::unsetUrlHandler("file"); }
  std::vector<std::string> opened;
 public slots:
  void open(const QUrl& url) { opened.push_back(url.toLocalFile().toStdString()); }
};

const std::string Records =
    "\rXSec,Date,Time,Station,Depth,Velocity,Angle,Units\r"
    "2,12/01/26,10:15:00,0.0,0.00,0.00,0,Feet\n"
    "2,12/01/26,10:16:00,2.0,1.50,0.80,0,Feet\n"
    "2,12/01/26,10:17:00,4.0,0.00,0.00,0,Feet\n";

void clickMenuItem(QWidget* window, const QString& text) {
  auto* bar = window->findChild<QMenuBar*>();
  ASSERT_NE(bar, nullptr);
  for (QAction* action : bar->actions()) {
    if (action->text() != text) continue;
    const QPointF local = QRectF(bar->actionGeometry(action)).center();
    const QPointF global = bar->mapToGlobal(local);
    QMouseEvent press(QEvent::MouseButtonPress, local, global, Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(bar, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, local, global, Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(bar, &release);
    return;
  }
  ADD_FAILURE() << "no menu item " << text.toStdString();
}

bool menuItemEnabled(QWidget* window, const QString& text) {
  for (QAction* action : window->findChild<QMenuBar*>()->actions()) {
    if (action->text() == text) return action->isEnabled();
  }
  ADD_FAILURE() << "no menu item " << text.toStdString();
  return false;
}

std::string contentOf(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(MainWindowSummary, CtrlDAndTheMenuItemWriteTheReportBesideTheFileAndOpenIt) {
  Opener opener;
  MainWindowProgram program;
  program.start();
  const std::string csv = program.folder.path() + "river.csv";
  const std::string report = program.folder.path() + "river.summary.html";
  std::ofstream(csv, std::ios::binary) << Records;
  ASSERT_TRUE(program.chooseFile(csv)->answered);

  program.ctrl(Qt::Key_D);
  ASSERT_EQ(opener.opened, std::vector<std::string>{report});
  // q = 2 wide x 1.5 deep x 0.8 = 2.4.
  EXPECT_NE(contentOf(report).find("<b>2.400 ft\u00b3/s</b>"), std::string::npos);

  std::filesystem::remove(report);
  clickMenuItem(program.window(), "&Summary");
  EXPECT_EQ(opener.opened.size(), 2u);
  EXPECT_TRUE(std::filesystem::exists(report));
}

TEST(MainWindowSummary, AFileThatCannotBeReadOrWrittenIsToldInAMessageBox) {
  Opener opener;
  MainWindowProgram program;
  program.start();
  const std::string csv = program.folder.path() + "river.csv";
  ASSERT_TRUE(program.chooseFile(csv)->answered);  // not written yet

  DialogAnswer unread = answerNextMessageBox();
  program.ctrl(Qt::Key_D);
  ASSERT_TRUE(unread->answered);
  EXPECT_EQ(unread->text, "Could not read the output file:\n" + csv);

  std::ofstream(csv, std::ios::binary) << Records;
  const std::string report = program.folder.path() + "river.summary.html";
  std::filesystem::create_directory(report);  // where the report would go
  program.waitUntilActive();
  DialogAnswer unwritten = answerNextMessageBox();
  program.ctrl(Qt::Key_D);
  ASSERT_TRUE(unwritten->answered);
  EXPECT_EQ(unwritten->text, "Could not write the summary:\n" + report);
  EXPECT_TRUE(opener.opened.empty());
}

TEST(MainWindowSummary, GreyedAndNothingHappensWithoutAChosenFileOrDuringATransfer) {
  Opener opener;
  MainWindowProgram program;
  program.addPort(3);
  program.start();
  DialogAnswer message = answerNextMessageBox(1500);
  program.ctrl(Qt::Key_D);  // no file chosen
  EXPECT_FALSE(menuItemEnabled(program.window(), "&Summary"));

  const std::string csv = program.folder.path() + "river.csv";
  std::ofstream(csv, std::ios::binary) << Records;
  ASSERT_TRUE(program.chooseFile(csv)->answered);
  pickListItem(0);
  EXPECT_TRUE(menuItemEnabled(program.window(), "&Summary"));
  program.ctrl(Qt::Key_G);
  ASSERT_EQ(TransferRunning, 1);
  EXPECT_FALSE(menuItemEnabled(program.window(), "&Summary"));
  program.ctrl(Qt::Key_D);
  program.ctrl(Qt::Key_Z);
  ASSERT_EQ(TransferStopped, 1);
  EXPECT_TRUE(menuItemEnabled(program.window(), "&Summary"));

  processEventsFor(1600);
  EXPECT_FALSE(message->answered);
  EXPECT_TRUE(opener.opened.empty());
  EXPECT_FALSE(std::filesystem::exists(program.folder.path() + "river.summary.html"));
}

}  // namespace

#include "main_window_summary_test.moc"
