// Pictures, icons and cursors by name, the program's paths, and fonts and
// colours by number.
#include <unistd.h>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QPalette>

#include <gtest/gtest.h>

#include "app/ezgui/ezgui.h"
#include "app/ezgui/qt/ezgui_readback.h"
#include "app/ezgui/qt/ezgui_style.h"
#include "support/gui_event_log.h"

namespace {

class Pictures : public ::testing::Test {
 protected:
  void SetUp() override {
    installEventLog();
    EZ_FORM("MORVANE", "", "Main", 0, 0, 122, 40, "");
    root_ =
        QDir(QString::fromStdString(::testing::TempDir()))
            .filePath(QStringLiteral("ezgui_pictures_%1").arg(QCoreApplication::applicationPid()));
    QDir(root_).mkpath("res");
    QDir(root_).mkpath("Graphics");
    ezSetResourceFolder((root_ + "/res").toStdString());
  }
  void TearDown() override {
    QDir(root_).removeRecursively();
    ezResetLayer();
  }

  void image(const QString& file, int w, int h, QColor c) {
    QImage img(w, h, QImage::Format_ARGB32);
    img.fill(c);
    ASSERT_TRUE(img.save(QDir(root_).filePath(file)));
  }

  QString root_;
};

}  // namespace

TEST_F(Pictures, EmbeddedPictureFoundInAnyLetterCase) {
  image("res/MORVANE1.png", 44, 8, Qt::red);
  const std::string logo = EZ_LOADPICTURE("$Morvane1");
  ASSERT_FALSE(logo.empty());
  EXPECT_EQ(EZ_LOADPICTURE("$Morvane1"), logo);
  EXPECT_EQ(EZ_LOADPICTURE("$NoSuchThing"), "");

  const int handle = EZ_IMAGEHANDLE(logo);
  EXPECT_GT(handle, 0);
  EXPECT_EQ(EZ_IMAGEHANDLE(logo), handle) << "one handle per picture";
  EXPECT_EQ(EZ_IMAGEHANDLE("never loaded"), 0);

  EZ_PICTURE("Morvane", 220, logo, 33.25f, 0.5f, 55.625f, 5.125f, "R");
  auto* shown = qobject_cast<QLabel*>(ezWidget("Morvane", 220));
  ASSERT_NE(shown, nullptr);
  EXPECT_EQ(shown->pixmap().size(), QSize(44, 8));
  EXPECT_EQ(shown->grab().toImage().pixelColor(shown->width() / 2, shown->height() / 2),
            QColor(Qt::red));
}

TEST_F(Pictures, OtherNamesComeFromTheImageFolder) {
  image("Graphics/back.png", 4, 4, Qt::blue);
  EZ_DEFIMAGEFOLDER((root_ + "/Graphics").toStdString());
  EXPECT_FALSE(EZ_LOADPICTURE("BACK.png").empty());
  EXPECT_FALSE(EZ_LOADPICTURE("back").empty());
  EXPECT_EQ(EZ_LOADPICTURE("$back"), "") << "not an embedded one";
}

TEST_F(Pictures, IconFromItsSizesAndTheTransparencyMarkDropped) {
  image("res/PROP1_16.png", 16, 16, Qt::green);
  image("res/PROP1_32.png", 32, 32, Qt::green);
  image("res/PROP1_48.png", 48, 48, Qt::green);
  const int icon = EZ_LOADICON("$Prop1{T}");
  ASSERT_GT(icon, 0);
  EXPECT_EQ(EZ_LOADICON("$Missing{T}"), 0);
  EZ_SETFORMICON("Morvane", icon);
  const QIcon set = ezWidget("Morvane", 0)->windowIcon();
  EXPECT_EQ(set.availableSizes().size(), 3);
  EXPECT_EQ(set.pixmap(32, 32).size(), QSize(32, 32));
  EZ_SETFORMICON("Morvane", 99);  // unknown handle: harmless
}

TEST_F(Pictures, CursorsByNumberUnknownNumbersHarmless) {
  EZ_SETCURSOR("", 50);  // not loaded yet, as at start-up
  EXPECT_EQ(ezCurrentCursor(), 0);
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);

  EZ_LOADCURSOR(49, "#A");
  EZ_LOADCURSOR(50, "#W");
  EZ_SETCURSOR("", 50);
  EXPECT_EQ(ezCurrentCursor(), 50);
  ASSERT_NE(QApplication::overrideCursor(), nullptr);
  EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
  EZ_SETCURSOR("", 50);
  EZ_SETCURSOR("", 49);
  EXPECT_EQ(ezCurrentCursor(), 49);
  EXPECT_EQ(QApplication::overrideCursor(), nullptr) << "back to each widget's own cursor";
}

TEST(Paths, ProgramFolderAndFolderPart) {
  char self[4096] = {};
  const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
  ASSERT_GT(n, 0);
  const std::string exe(self, static_cast<size_t>(n));
  EXPECT_EQ(EZ_GETAPPPATHNAME(), exe);
  EXPECT_EQ(EZ_APPPATH(), exe.substr(0, exe.rfind('/') + 1));
  EXPECT_EQ(EZ_APPPATH().back(), '/');
  EXPECT_EQ(EZ_GETPATHTEXT("/opt/morvane/bin/morvane"), "/opt/morvane/bin/");
  EXPECT_EQ(EZ_GETPATHTEXT("/morvane"), "/");
  EXPECT_EQ(EZ_GETPATHTEXT("morvane"), "");
}

TEST(Style, ColoursByNumber) {
  EXPECT_EQ(ezColour(0), QColor(0, 0, 0));
  EXPECT_EQ(ezColour(15), QColor(255, 255, 255));
  EXPECT_GT(ezColour(12).red(), 200);
  EXPECT_GT(ezColour(18).green(), ezColour(18).red());
  EXPECT_FALSE(ezColour(-1).isValid());
  EXPECT_FALSE(ezColour(40).isValid()) << "not defined yet";

  EZ_DEFCOLORL(40, 7368788);
  EXPECT_EQ(ezColour(40), QColor(84, 112, 112));
  EZ_DEFCOLORL(39, 15044);
  EXPECT_EQ(ezColour(39), QColor(196, 58, 0));
  EZ_DEFSYSTEMCOLOR(34, 15);
  EXPECT_EQ(ezColour(34), QApplication::palette().color(QPalette::Button));
  EZ_DEFSYSTEMCOLOR(35, 24);
  EXPECT_EQ(ezColour(35), QApplication::palette().color(QPalette::ToolTipBase));
  ezResetLayer();
  EXPECT_FALSE(ezColour(40).isValid());
}

TEST(Style, FontsByNumberAndProperties) {
  EZ_DEFFONT(6, "Courier New", 10, " L+F");
  EZ_DEFFONT(8, "Times New Roman", 10, "V");
  EXPECT_EQ(ezFont(6).family(), "Courier New");
  EXPECT_EQ(ezFont(6).pointSizeF(), 10);
  EXPECT_TRUE(ezFont(6).fixedPitch());
  EXPECT_FALSE(ezFont(8).bold());
  EXPECT_TRUE(ezMakeFont("Tahoma", 12, "BV").bold());
  EXPECT_EQ(ezFont(4).pointSizeF(), 10);
  EXPECT_EQ(ezFont(-1), QApplication::font());

  installEventLog();
  EZ_FORM("MORVANE", "", "Main", 0, 0, 122, 40, "");
  EZ_USEIFONT("Tahoma", 11, "BV");
  EZ_LABEL("Morvane", 100, "a", 1, 1, 10, 1, "");
  EZ_USEFONT(6);
  EZ_LABEL("Morvane", 110, "b", 1, 3, 10, 1, "");
  EXPECT_EQ(ezWidget("Morvane", 100)->font().family(), "Tahoma");
  EXPECT_TRUE(ezWidget("Morvane", 100)->font().bold());
  EXPECT_EQ(ezWidget("Morvane", 110)->font().family(), "Courier New");
  ezResetLayer();
}
