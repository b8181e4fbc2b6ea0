// The save dialog and the message box, answered through the real dialogs.
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include "app/ezgui/ezgui.h"
#include "app/ezgui/qt/ezgui_dialogs.h"
#include "app/ezgui/qt/ezgui_readback.h"
#include "support/gui_event_log.h"
#include "support/gui_test_support.h"

namespace {

constexpr const char* Filter = "Comma Separated Values|*.csv|Text Files|*.txt|All Files|*.*";

class Dialogs : public ::testing::Test {
 protected:
  void SetUp() override {
    installEventLog();
    EZ_FORM("MORVANE", "", "Main", 0, 0, 122, 40, "");
    folder_ =
        QDir(QString::fromStdString(::testing::TempDir()))
            .filePath(QStringLiteral("ezgui_dialogs_%1").arg(QCoreApplication::applicationPid()));
    QDir().mkpath(folder_);
  }
  void TearDown() override {
    QDir(folder_).removeRecursively();
    ezResetLayer();
  }

  std::string folder() const { return folder_.toStdString() + "/"; }

  QString folder_;
};

}  // namespace

TEST_F(Dialogs, FilterInQtsForm) {
  EXPECT_EQ(ezQtFilter(Filter),
            "Comma Separated Values (*.csv);;Text Files (*.txt);;All Files (*)");
  EXPECT_EQ(ezQtFilter("Data|*.csv;*.dat"), "Data (*.csv *.dat)");
  EXPECT_EQ(ezQtFilter(""), "");
  EXPECT_EQ(ezFilterExtension("Text Files (*.txt)"), "txt");
  EXPECT_EQ(ezFilterExtension("All Files (*)"), "");
}

TEST_F(Dialogs, SaveDialogGivesTheTypedPathWithTheDefaultExtension) {
  auto seen = answerNextSaveDialog(folder() + "river");
  const std::string path =
      EZ_SAVEFILE("Morvane", "Select Data File", folder(), "", Filter, "csv", "Z");
  ASSERT_TRUE(seen->answered);
  EXPECT_EQ(path, folder() + "river.csv");
  EXPECT_EQ(seen->title, "Select Data File");
  EXPECT_TRUE(seen->qtOwnDialog);
  EXPECT_EQ(seen->directory + "/", folder());
  EXPECT_EQ(seen->nameFilters, (std::vector<std::string>{"Comma Separated Values (*.csv)",
                                                         "Text Files (*.txt)", "All Files (*)"}));
  EXPECT_EQ(seen->defaultSuffix, "csv");
}

TEST_F(Dialogs, SaveDialogProposesTheNameAndTakesAnExistingFileWithoutAsking) {
  const std::string existing = folder() + "old.csv";
  QFile f(QString::fromStdString(existing));
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write("XSec\n");
  f.close();

  auto seen = answerNextSaveDialog(existing);
  const std::string path =
      EZ_SAVEFILE("Morvane", "Select Data File", folder(), existing, Filter, "csv", "Z");
  ASSERT_TRUE(seen->answered);
  EXPECT_EQ(seen->proposedName, "old.csv");
  EXPECT_EQ(path, existing) << "no replace question stood in the way";
}

TEST_F(Dialogs, CancelledSaveDialogGivesNothing) {
  auto seen = cancelNextSaveDialog();
  const std::string path = EZ_SAVEFILE("Morvane", "Select Data File", "", "", Filter, "csv", "Z");
  ASSERT_TRUE(seen->answered);
  EXPECT_EQ(path, "");
  EXPECT_EQ(seen->directory, QDir::currentPath().toStdString()) << "no folder: the current one";
}

TEST_F(Dialogs, ChosenFilterGivesItsExtension) {
  // The user picks "Text Files" before typing a name without extension.
  bool picked = false;
  auto seen = answerNextSaveDialog(folder() + "notes", 5000, [&](QWidget& dialog) {
    if (auto* types = dialog.findChild<QComboBox*>("fileTypeCombo")) {
      pressKey(types, Qt::Key_Down);  // from the first filter to the second
      picked = true;
    }
  });
  const std::string path = EZ_SAVEFILE("Morvane", "Select", folder(), "", Filter, "csv", "Z");
  ASSERT_TRUE(seen->answered);
  ASSERT_TRUE(picked);
  EXPECT_EQ(path, folder() + "notes.txt");
}

TEST_F(Dialogs, MessageBoxHasOnlyOkNoIconNoOwnerAndNoCaption) {
  auto seen = answerNextMessageBox();
  EZ_MSGBOX("An error occured while opening file:\r/data/river.csv");
  ASSERT_TRUE(seen->answered);
  EXPECT_EQ(seen->text, "An error occured while opening file:\n/data/river.csv");
  EXPECT_EQ(seen->buttons, std::vector<std::string>{"OK"});
  EXPECT_FALSE(seen->hasIcon);
  EXPECT_FALSE(seen->hasOwner);
  EXPECT_TRUE(seen->applicationModal);
  EXPECT_EQ(seen->title, "");
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr) << "closed by OK";
}

TEST_F(Dialogs, WatchdogGivesUpWhenNoDialogComes) {
  auto seen = cancelNextSaveDialog(200);
  EXPECT_TRUE(waitUntil([&] { return seen->timedOut; }, 3000));
  EXPECT_FALSE(seen->answered);
}

TEST_F(Dialogs, DialogLeftOpenIsClosedByTheWatchdogAndFailsTheTest) {
  // The test waits for a file dialog, but a message box comes: nobody
  // answers it, and the test must fail instead of hanging.
  EXPECT_NONFATAL_FAILURE(
      {
        auto seen = answerNextSaveDialog("/nowhere", 300);
        EZ_MSGBOX("nobody answers this");
      },
      "stayed open");
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}
