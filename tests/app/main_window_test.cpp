// The main window as the program starts it: what the user sees first, what
// the settings file chooses, the controls' tooltips, layout and routing.
#include <gtest/gtest.h>
#include <QFontMetrics>
#include <QImage>
#include <QLabel>
#include <QToolTip>

#include "app/app_state.h"
#include "app/main_look.h"
#include "output/output_state.h"
#include "ports/port_state.h"
#include "support/main_window.h"
#include "transfer/transfer_state.h"

namespace {

using Items = std::vector<std::string>;

TEST(MainWindow, StartsNotReadyInAppendModeWithTheScannedPorts) {
  MainWindowProgram program;
  program.addPort(12);
  program.addPort(3);
  program.start();

  EXPECT_EQ(ezText(MainForm, IdFormItself), "Morvane Data Transfer Utility");
  EXPECT_FALSE(program.enabled(IdStartButton));
  EXPECT_FALSE(program.enabled(IdStopButton));
  EXPECT_TRUE(ezIsChecked(MainForm, IdAppendRadio));
  EXPECT_FALSE(ezIsChecked(MainForm, IdOverwriteRadio));
  EXPECT_EQ(WriteMode, WriteAppend);
  EXPECT_EQ(ezStatusPartCount(MainForm, IdStatusBar), 3);
  EXPECT_EQ(program.status(StatusOverall), "Not Ready");
  EXPECT_EQ(program.status(StatusFile), "File not chosen");
  EXPECT_EQ(program.status(StatusPort), "Port not chosen");
  EXPECT_EQ(ezListItems(MainForm, IdPortList), (Items{"COM 3", "COM 12"}));
  EXPECT_EQ(ezSelectedIndex(MainForm, IdPortList), -1);
  EXPECT_EQ(SavedPortNumber, 0) << "no settings file";
  EXPECT_EQ(DotCount, -2);
  EXPECT_EQ(ezRichTextLimit(MainForm, IdIncomingView), 10000);
  EXPECT_EQ(ezCurrentCursor(), 49) << "the arrow after the second fill";
  EXPECT_EQ(ezText(MainForm, IdPathLabel),
            "Path and name of the file where the incoming data will be saved");
  EXPECT_EQ(ezText(MainForm, IdPortLabel), "Available COM Ports");
  EXPECT_EQ(ezText(MainForm, IdIncomingLabel), "Incoming data");
  EXPECT_EQ(ezText(MainForm, IdAppendLabel), "Append");
  EXPECT_EQ(ezText(MainForm, IdOverwriteLabel), "Overwrite");
  EXPECT_EQ(ezText(MainForm, IdStartButton), "Start");
  EXPECT_EQ(ezWidget(MainForm, 250), nullptr);
  EXPECT_TRUE(ezThreadRunning(MainFormName));
}

TEST(MainWindow, LayoutAloneShowsTheDefaultPortsWithTheFirstSelected) {
  MainWindowProgram program;
  // The form made with the design routine only, as before its loaded event.
  ezInstallRoutines([](std::string&, int&, int&, int&, int&) {}, designRoutine);
  EZ_FORM(MainFormName, "", "layout", 0, 0, 122, 40, "");

  EXPECT_EQ(ezListItems(MainForm, IdPortList), (Items{"COM 1", "COM 2", "COM 3", "COM 4"}));
  EXPECT_EQ(ezSelectedIndex(MainForm, IdPortList), 0);
  EXPECT_EQ(ezText(MainForm, IdFileNameBox), "");
  EXPECT_EQ(ezText(MainForm, IdIncomingView), "");
  EXPECT_FLOAT_EQ(FileBoxRow, 7.6f);
  float x = 0, y = 0, w = 0, h = 0;
  ezGeometry(MainForm, IdFileNameBox, x, y, w, h);
  EXPECT_NEAR(y, 7.6, 0.1) << "just below the heading at row 6, 1.5 high";
  ezGeometry(MainForm, IdStopButton, x, y, w, h);
  EXPECT_NEAR(x, 89.5, 0.1);
  EXPECT_NEAR(w, 13.75, 0.1);
}

TEST(MainWindow, SavedPortThatIsPresentIsChosenAgain) {
  MainWindowProgram program;
  program.addPort(1);
  program.addPort(3);
  program.writeSettings("3\r\n");
  program.start();

  EXPECT_EQ(SavedPortNumber, 3);
  EXPECT_EQ(ezSelectedIndex(MainForm, IdPortList), 1);
  EXPECT_EQ(program.status(StatusPort), "COM 3 chosen");
  EXPECT_EQ(program.status(StatusOverall), "Not Ready") << "no file chosen yet";
  EXPECT_FALSE(program.enabled(IdStartButton));
  EXPECT_EQ(SettingsPath, program.folder.path() + "MorvTran.ini")
      << "the folder's own trailing slash is not doubled";
}

TEST(MainWindow, SavedPortNotPresentChoosesNothing) {
  MainWindowProgram program;
  program.addPort(4);
  program.writeSettings("9\r\n");
  program.start();
  EXPECT_EQ(ChosenPortIndex, 0);
  EXPECT_EQ(program.status(StatusPort), "Port not chosen");
}

TEST(MainWindow, EventsOfOtherFormsChangeNothing) {
  MainWindowProgram program;
  program.addPort(3);
  program.start();
  // A dialog that opened would be answered, and the test would see it.
  DialogAnswer dialog = cancelNextSaveDialog(1500);

  for (std::string name : {"Morvane", "morvane", "Debug1", "{MSGBOX}", "Other"}) {
    int id = IdChooseFileButton, code = EzClick, value = 0, cancel = 0;
    eventRoutine(name, id, code, value, cancel);
    id = IdOverwriteRadio;
    eventRoutine(name, id, code, value, cancel);
    id = IdPortList, code = EzSelectionChanged, value = 0;
    eventRoutine(name, id, code, value, cancel);
  }
  processEventsFor(1700);
  EXPECT_FALSE(dialog->answered);
  EXPECT_EQ(WriteMode, WriteAppend);
  EXPECT_EQ(ChosenPortIndex, 0);
  EXPECT_EQ(program.status(StatusPort), "Port not chosen");
}

TEST(MainWindow, OnlyTheRadioButtonsChangeTheWriteMode) {
  MainWindowProgram program;
  program.start();
  clickWidget(program.control(IdOverwriteLabel));
  EXPECT_EQ(WriteMode, WriteAppend);
  EXPECT_TRUE(ezIsChecked(MainForm, IdAppendRadio));

  clickWidget(program.control(IdOverwriteRadio));
  EXPECT_EQ(WriteMode, WriteOverwrite);
  EXPECT_FALSE(ezIsChecked(MainForm, IdAppendRadio));
  clickWidget(program.control(IdAppendLabel));
  EXPECT_EQ(WriteMode, WriteOverwrite);
  clickWidget(program.control(IdAppendRadio));
  EXPECT_EQ(WriteMode, WriteAppend);
  EXPECT_FALSE(ezIsChecked(MainForm, IdOverwriteRadio));
}

TEST(MainWindow, TooltipsAnswerForTheControlsThatHaveOne) {
  MainWindowProgram program;
  program.start();
  const std::vector<std::pair<int, std::string>> expected = {
      {IdChooseFileButton,
       "Allows you to choose the path and location of the file where the data will be saved "
       "(Ctrl-F)"},
      {IdAppendRadio, "Append new data to selected file"},
      {IdOverwriteRadio, "Overwrite selected file with new data"},
      {IdPortList, "Choose a port from the list (Ctrl-P)"},
      {IdStartButton, "Open the COM port and wait for data (Ctrl-G)"},
      {IdStopButton, "Close COM port and save file (Ctrl-Z)"},
      {IdFileNameBox, "Type in a filename or click the button below"},
      {IdRefreshButton, "Look for new COM Ports (Ctrl-R)"},
  };
  for (const auto& [id, text] : expected) {
    ezSendEvent(MainFormName, id, EzTooltipWanted, 0);
    EXPECT_EQ(ezLastTooltip(), text) << "control " << id;
  }
  // Controls without a tooltip get no answer: the last one stays.
  for (int id : {IdPathLabel, IdIncomingView, IdLogo, IdAppendLabel, IdStatusBar}) {
    ezSendEvent(MainFormName, id, EzTooltipWanted, 0);
    EXPECT_EQ(ezLastTooltip(), "Look for new COM Ports (Ctrl-R)") << "control " << id;
  }
  // And a user hovering over Start sees its text.
  hoverForTooltip(program.control(IdStopButton));
  EXPECT_EQ(ezLastTooltip(), "Close COM port and save file (Ctrl-Z)");
}

// A file name longer than its part keeps its start and its end, the
// part's tooltip giving the whole of it.
TEST(MainWindow, LongFileNameLosesItsMiddleInTheStatusBarAndShowsWholeOnHover) {
  MainWindowProgram program;
  program.start();
  const auto parts = program.control(IdStatusBar)->findChildren<QLabel*>();
  ASSERT_EQ(parts.size(), 3);
  QLabel* filePart = parts[1];

  ASSERT_TRUE(program.chooseFile(program.folder.path() + "river.csv")->answered);
  const QString shortText = QString::fromStdString(program.status(StatusFile));
  EXPECT_EQ(filePart->text(), shortText) << "a text that fits shows whole";

  const std::string longName =
      "river_survey_at_the_old_mill_bridge_below_the_weir_and_the_ford_day2.csv";
  ASSERT_TRUE(program.chooseFile(program.folder.path() + longName)->answered);
  const QString whole = QString::fromStdString(program.status(StatusFile));
  ASSERT_TRUE(whole.startsWith("Output file: river_survey")) << whole.toStdString();
  // The start and the end of the whole text, an ellipsis between them.
  const QString shown = filePart->text();
  const QStringList ends = shown.split(QChar(0x2026));
  ASSERT_EQ(ends.size(), 2) << "no ellipsis in " << shown.toStdString();
  EXPECT_TRUE(ends[0].startsWith("Output file: r")) << shown.toStdString();
  EXPECT_TRUE(whole.startsWith(ends[0])) << shown.toStdString();
  EXPECT_GE(ends[1].size(), 4) << shown.toStdString();
  EXPECT_TRUE(whole.endsWith(ends[1])) << shown.toStdString();
  EXPECT_LE(QFontMetrics(filePart->font()).horizontalAdvance(shown),
            filePart->contentsRect().width());
  hoverForTooltip(filePart);
  EXPECT_EQ(QToolTip::text(), whole);
}

TEST(MainWindow, ResizingMovesTheViewAndTheFileBoxOnly) {
  MainWindowProgram program;
  program.start();
  float lx = 0, ly = 0, lw = 0, lh = 0;
  ezGeometry(MainForm, IdStartButton, lx, ly, lw, lh);

  EZ_RESIZEFORM(MainForm, 0, 0, 140, 50, -1);
  processEventsFor(100);
  float width = 0, height = 0;
  EZ_GETSIZE(MainForm, width, height, 0);
  ASSERT_GT(width, 125) << "the window grew";

  float x = 0, y = 0, w = 0, h = 0;
  ezGeometry(MainForm, IdIncomingView, x, y, w, h);
  EXPECT_NEAR(x, 1, 0.1);
  EXPECT_NEAR(y, 17.55, 0.1);
  EXPECT_NEAR(w, width - 2, 0.1);
  EXPECT_NEAR(h, height - 19.55, 0.1);
  ezGeometry(MainForm, IdFileNameBox, x, y, w, h);
  EXPECT_NEAR(x, 2.3, 0.1);
  EXPECT_NEAR(y, 7.6, 0.1);
  EXPECT_NEAR(w, width - 4, 0.1);
  EXPECT_NEAR(h, 1.75, 0.1);
  ezGeometry(MainForm, IdStartButton, x, y, w, h);
  EXPECT_NEAR(x, lx, 0.01);
  EXPECT_NEAR(w, lw, 0.01);
}

TEST(MainWindow, BackgroundPictureIsPaintedAndAnEmptyEraseLeavesTheFlag) {
  MainWindowProgram program;
  QImage image(40, 30, QImage::Format_RGB32);
  image.fill(QColor(200, 40, 90));
  ASSERT_TRUE(image.save(QString::fromStdString(program.folder.path() + "BG2.png")));
  ezSetResourceFolder(program.folder.path());
  program.start();
  ASSERT_GT(BackgroundImage, 0);

  QWidget* client = program.control(IdStatusBar)->parentWidget();
  QImage shot = client->grab().toImage();
  EXPECT_EQ(shot.pixelColor(client->width() - 3, client->height() / 2), QColor(200, 40, 90));

  // Outside a paint the erase start gives nothing: nothing drawn, flag kept.
  EXPECT_EQ(ezSendEvent(MainFormName, IdFormItself, EzEraseBackground, 777), 0);
}

}  // namespace
