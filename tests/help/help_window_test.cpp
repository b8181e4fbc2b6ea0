// The help window and the help document in a program without the embedded
// help text, on real widgets offscreen.
#include <QApplication>
#include <QDesktopServices>
#include <QMessageBox>
#include <QTextEdit>
#include <QUrl>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/ezgui/ezgui.h"
#include "app/ezgui/qt/ezgui_readback.h"
#include "help/help_window.h"

namespace {

void routeEvents(std::string& form, int& id, int& code, int& value, int& cancel) {
  if (form == "HELP") helpWindowEvents(id, code, value, cancel);
}

void routeDesign(const std::string& form) {
  if (form == "HELP") designHelpWindow();
}

// Stands where the desktop's opener would, and notes what it was given.
class Opener : public QObject {
  Q_OBJECT
 public:
  std::vector<QUrl> opened;
 public slots:
  void open(const QUrl& url) { opened.push_back(url); }
};

bool anyMessageBox() {
  for (QWidget* w : QApplication::topLevelWidgets()) {
    if (qobject_cast<QMessageBox*>(w) && w->isVisible()) return true;
  }
  return false;
}

class NoEmbeddedHelpTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ezInstallRoutines(routeEvents, routeDesign);
    helpInstallRtfRenderer();
    EZ_FORM("MORVANE", "", "Morvane Data Transfer Utility", 0, 0, 90, 30, "^_CZ");
  }
  void TearDown() override {
    QDesktopServices::unsetUrlHandler("file");
    ezResetLayer();
  }
};

}  // namespace

TEST_F(NoEmbeddedHelpTest, F1OpensAnEmptyHelpWindowQuietly) {
  EXPECT_EQ(loadEmbeddedText("MorvHelpRTF"), "");
  showHelpWindow();
  ASSERT_TRUE(ezIsVisible("HELP", 0));
  auto* view = qobject_cast<QTextEdit*>(ezWidget("HELP", 100));
  ASSERT_NE(view, nullptr);
  EXPECT_TRUE(view->document()->isEmpty());
  EXPECT_EQ(ezRichTextLimit("HELP", 100), 1024);
  // The caret request at 51 past the end of an empty text does no harm.
  EXPECT_EQ(view->textCursor().position(), 0);
  EXPECT_FALSE(anyMessageBox());
}

TEST_F(NoEmbeddedHelpTest, DocumentPathIsTheSameWithOrWithoutTheSlash) {
  EXPECT_EQ(helpDocumentPath("/opt/morvane"), "/opt/morvane/MorvHelp.pdf");
  EXPECT_EQ(helpDocumentPath("/opt/morvane/"), "/opt/morvane/MorvHelp.pdf");
}

TEST_F(NoEmbeddedHelpTest, HelpMenuHandsTheDocumentBesideTheProgramToTheDesktop) {
  Opener opener;
  QDesktopServices::setUrlHandler("file", &opener, "open");
  openHelpDocument();
  ASSERT_EQ(opener.opened.size(), 1u);
  EXPECT_EQ(opener.opened[0].toLocalFile().toStdString(), EZ_APPPATH() + "MorvHelp.pdf");
  EXPECT_FALSE(anyMessageBox()) << "a missing document or viewer is not reported";
}

#include "help_window_test.moc"
