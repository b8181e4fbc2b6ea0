// F1's help window with the help text embedded in the program, on real
// widgets offscreen.
#include <unistd.h>
#include <QApplication>
#include <QImage>
#include <QRegularExpression>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QTextFragment>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include <gtest/gtest.h>

#include "app/app_state.h"
#include "app/ezgui/ezgui.h"
#include "app/ezgui/qt/ezgui_readback.h"
#include "help/help_window.h"
#include "support/gui_test_support.h"

namespace fs = std::filesystem;

namespace {

void routeEvents(std::string& form, int& id, int& code, int& value, int& cancel) {
  if (form == "HELP") helpWindowEvents(id, code, value, cancel);
}

void routeDesign(const std::string& form) {
  if (form == "HELP") designHelpWindow();
}

std::string embeddedFileOnDisk() {
  const fs::path path =
      fs::path(MORVANE_SOURCE_DIR) / "src" / "resources" / "embedded" / "MorvHelpRTF.rtf";
  std::ifstream in(path, std::ios::binary);
  EXPECT_TRUE(in.good()) << path;
  return std::string(std::istreambuf_iterator<char>(in), {});
}

class HelpWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ezInstallRoutines(routeEvents, routeDesign);
    helpInstallRtfRenderer();
    EZ_FORM("MORVANE", "", "Morvane Data Transfer Utility", 0, 0, 90, 30, "^_CZ");
  }
  void TearDown() override {
    ezResetLayer();
    AppIcon = 0;
  }

  static QTextEdit* view() { return qobject_cast<QTextEdit*>(ezWidget("HELP", 100)); }

  // Within a pixel, which is less than a fifth of a unit; the window system
  // may take a moment to carry a move out.
  static bool near(float a, float b) { return std::abs(a - b) < 0.2f; }
  static void expectPlace(const std::string& form, float x, float y, float w, float h) {
    float gx = 0, gy = 0, gw = 0, gh = 0;
    const auto read = [&] {
      EZ_GETPOS(form, gx, gy, 0);
      EZ_GETSIZE(form, gw, gh, 3);
      return near(gx, x) && near(gy, y) && near(gw, w) && near(gh, h);
    };
    EXPECT_TRUE(waitUntil(read, 2000))
        << form << " at " << gx << "," << gy << " size " << gw << "x" << gh << ", expected " << x
        << "," << y << " size " << w << "x" << h;
  }
  static void expectControlPlace(const std::string& form, int id, float x, float y, float w,
                                 float h) {
    float gx = 0, gy = 0, gw = 0, gh = 0;
    const auto read = [&] {
      ezGeometry(form, id, gx, gy, gw, gh);
      return near(gx, x) && near(gy, y) && near(gw, w) && near(gh, h);
    };
    EXPECT_TRUE(waitUntil(read, 2000))
        << form << " " << id << " at " << gx << "," << gy << " size " << gw << "x" << gh
        << ", expected " << x << "," << y << " size " << w << "x" << h;
  }
};

}  // namespace

TEST_F(HelpWindowTest, EmbeddedTextIsTheDocumentByteForByte) {
  const std::string onDisk = embeddedFileOnDisk();
  ASSERT_FALSE(onDisk.empty());
  EXPECT_EQ(loadEmbeddedText("MorvHelpRTF"), onDisk);
  EXPECT_EQ(loadEmbeddedText("morvhelprtf"), onDisk) << "names are found in any letter case";
  EXPECT_EQ(loadEmbeddedText(std::string("MorvHelpRTF\0tail", 16)), onDisk)
      << "a name ends at its first NUL";
  EXPECT_EQ(loadEmbeddedText("MorvHelp"), "");
  EXPECT_EQ(loadEmbeddedText("MorvHelpRTF.rtf"), "");
  EXPECT_EQ(loadEmbeddedText(""), "");
}

TEST_F(HelpWindowTest, F1ShowsTheHelpTextRenderedWithoutMarkup) {
  showHelpWindow();
  ASSERT_TRUE(ezIsVisible("HELP", 0));
  EXPECT_EQ(ezText("HELP", 0), "Morvane Transfer Utility Help");
  EXPECT_EQ(ezWidget("HELP", 0)->parentWidget(), ezWidget("MORVANE", 0));
  ASSERT_NE(view(), nullptr);

  const QString shown = view()->document()->toPlainText();
  EXPECT_TRUE(shown.startsWith("Morvane Data Transfer Utility Help\n"))
      << shown.left(80).toStdString();
  for (const char* expected :
       {"Choose Path and File", "Append", "Overwrite", "/dev/ttyUSB0", "MORVANE_PORT_DIR",
        "sudo usermod -aG dialout $USER", "XSec,Date,Time,Station,Depth,Velocity,Angle,Units",
        "Raw.txt", "MorvTran.ini", "~/.local/share/morvane", "Ctrl+X", "Ctrl+D"}) {
    EXPECT_TRUE(shown.contains(QLatin1String(expected))) << expected;
  }
  EXPECT_FALSE(shown.contains(QRegularExpression(R"(\\[a-z]+|[{}])")));
  for (const char* hidden : {"Liberation", "Default Page Style", "Normal;", "LibreOffice"}) {
    EXPECT_FALSE(shown.contains(QLatin1String(hidden))) << hidden;
  }

  // It is rendered, not shown as source: the title is bold.
  const QTextBlock title = view()->document()->begin();
  ASSERT_TRUE(title.begin() != title.end());
  EXPECT_EQ(title.begin().fragment().charFormat().fontWeight(), QFont::Bold);

  EXPECT_EQ(ezRichTextLimit("HELP", 100), static_cast<int>(embeddedFileOnDisk().size()) + 1024);
  const QTextCursor caret = view()->textCursor();
  EXPECT_EQ(caret.position(), 51);
  EXPECT_FALSE(caret.hasSelection());
}

TEST_F(HelpWindowTest, F1FollowsTheMainWindowWhereverTheUserPutIt) {
  QWidget* main = ezWidget("MORVANE", 0);
  ASSERT_NE(main, nullptr);
  main->move(40, 50);
  main->resize(640, 480);
  ASSERT_TRUE(waitUntil([main] { return main->pos() == QPoint(40, 50); }));
  float x = 0, y = 0, w = 0, h = 0;
  EZ_GETPOS("Morvane", x, y, 0);
  EZ_GETSIZE("Morvane", w, h, 3);

  showHelpWindow();
  expectPlace("HELP", x + 2, y + 2, w, h);

  main->move(88, 82);
  main->resize(560, 416);
  ASSERT_TRUE(waitUntil([main] { return main->pos() == QPoint(88, 82); }));
  EZ_GETPOS("Morvane", x, y, 0);
  EZ_GETSIZE("Morvane", w, h, 3);
  showHelpWindow();
  expectPlace("HELP", x + 2, y + 2, w, h);
}

TEST_F(HelpWindowTest, TheViewFillsTheWindowAfterEachResize) {
  showHelpWindow();
  for (const QSize size : {QSize(700, 500), QSize(420, 300)}) {
    QWidget* window = ezWidget("HELP", 0);
    window->resize(size);
    ASSERT_TRUE(waitUntil([window, size] { return window->size() == size; }));
    float w = 0, h = 0;
    EZ_GETSIZE("HELP", w, h, 0);
    expectControlPlace("HELP", 100, 0.2f, 0.1f, w - 0.2f, h - 0.1f);
  }
}

TEST_F(HelpWindowTest, HelpWindowWearsTheMainWindowsIcon) {
  const fs::path folder = fs::temp_directory_path() / ("morvane-icon-" + std::to_string(getpid()));
  fs::create_directories(folder);
  QImage image(16, 16, QImage::Format_ARGB32);
  image.fill(Qt::red);
  ASSERT_TRUE(image.save(QString::fromStdString((folder / "TESTICON_16.png").string())));
  ezSetResourceFolder(folder.string());
  AppIcon = EZ_LOADICON("$TestIcon");
  fs::remove_all(folder);
  ASSERT_GT(AppIcon, 0);

  showHelpWindow();
  EXPECT_FALSE(ezWidget("HELP", 0)->windowIcon().isNull());
}

TEST_F(HelpWindowTest, ViewEventsKeepTheirNormalCourse) {
  showHelpWindow();
  for (const int code : {EzSelectionChanged, EzSubclassMessage}) {
    int cancel = 0;
    helpWindowEvents(100, code, 0, cancel);
    EXPECT_EQ(cancel, 0);
    EXPECT_EQ(ezSendEvent("HELP", 100, code, 0), 0);
  }
  EXPECT_EQ(ezSendEvent("HELP", 0, EzFormGoingAway, 0), 0);
  EXPECT_TRUE(ezIsVisible("HELP", 0)) << "the system never closes the help window itself";
}

TEST_F(HelpWindowTest, SecondF1LeavesOneHelpWindowWithTheTextLoadedAgain) {
  showHelpWindow();
  view()->clear();
  showHelpWindow();
  int helpWindows = 0;
  for (QWidget* w : QApplication::topLevelWidgets()) {
    if (w->isVisible() && w->windowTitle() == "Morvane Transfer Utility Help") ++helpWindows;
  }
  EXPECT_EQ(helpWindows, 1);
  EXPECT_TRUE(view()->document()->toPlainText().startsWith("Morvane Data Transfer Utility Help"));
}
