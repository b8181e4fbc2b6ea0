// Controls of the GUI layer as a user meets them: what a pick, a click, a
// key or a hovering mouse produces, and what the program's own calls do not.
#include <QAbstractButton>
#include <QAbstractItemView>
#include <QComboBox>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QToolTip>

#include <gtest/gtest.h>

#include "app/ezgui/ezgui.h"
#include "app/ezgui/qt/ezgui_readback.h"
#include "app/ezgui/qt/ezgui_style.h"
#include "support/gui_event_log.h"
#include "support/gui_test_support.h"

namespace {

constexpr const char* Form = "Morvane";

void mainWindowControls(const std::string& name) {
  EZ_COLOR(15, 15);
  EZ_USEIFONT("Tahoma", 12, "BV");
  EZ_LABEL(name, 100, "Path and name", 3.625f, 6, 86.5f, 1.5f, "IL");
  EZ_COLOR(0, 22);
  EZ_USEIFONT("Tahoma", 11, "BV");
  EZ_ODBUTTON(name, 110, "Choose Path and File", 4, 9.9f, 24.75f, 2, "T");
  EZ_COLOR(-1, -1);
  EZ_RADIO(name, 120, "", 31.5f, 10.1f, 1.75f, 1.125f, "GIT");
  EZ_RADIO(name, 130, "", 45.625f, 10.1f, 1.75f, 1.125f, "GIT");
  EZ_COMBOBOX(name, 140, "COM 1|COM 2|COM 3|COM 4", 40.625f, 13.5f, 23.75f, 14.5f, "AJTV");
  EZ_SELECTITEM(name, 140, 0);
  EZ_COLOR(0, 18);
  EZ_ODBUTTON(name, 150, "Start", 73.125f, 13.9f, 13.75f, 2, "T");
  EZ_COLOR(-1, -1);
  EZ_TEXT(name, 170, "", 2.375f, 7.6f, 117.375f, 1.75f, "EST");
  EZ_STATUSBAR(name, 260, "", "");
}

class Controls : public ::testing::Test {
 protected:
  void SetUp() override {
    installEventLog();
    TestEvents.design = mainWindowControls;
    EZ_DEFCOLORL(40, 7368788);
    EZ_COLOR(0, 40);
    EZ_FORM("MORVANE", "", "Main", 0, 0, 122, 40, "^_CZ");
    TestEvents.clear();
  }
  void TearDown() override { ezResetLayer(); }
};

QComboBox* combo() {
  return qobject_cast<QComboBox*>(ezWidget(Form, 140));
}

QColor pixelAt(QWidget* w, QPoint p) {
  return w->grab().toImage().pixelColor(p);
}

}  // namespace

TEST_F(Controls, ComboReportsTheUsersPickNotTheProgramsSelection) {
  ASSERT_NE(combo(), nullptr);
  EXPECT_EQ(ezSelectedIndex(Form, 140), 0);
  EXPECT_EQ(ezText(Form, 140), "COM 1");
  EXPECT_LE(combo()->height(), combo()->sizeHint().height()) << "one line, not 14.5 units";

  EZ_CLEAR(Form, 140);
  EZ_ADDITEMS(Form, 140, "COM 3|COM 7 (in use)|COM 9");
  EXPECT_EQ(ezListItems(Form, 140), (std::vector<std::string>{"COM 3", "COM 7 (in use)", "COM 9"}));
  EXPECT_EQ(ezSelectedIndex(Form, 140), -1) << "filling the list selects nothing";
  EZ_SELECTITEM(Form, 140, 2);
  EZ_SELECTITEM(Form, 140, 9);  // no such item: nothing selected
  EXPECT_EQ(ezSelectedIndex(Form, 140), -1);
  EZ_SELECTITEM(Form, 140, 0);
  EXPECT_TRUE(TestEvents.withCode(EzSelectionChanged).empty());

  // The user steps down with the arrow key...
  pressKey(combo(), Qt::Key_Down);
  // ...and picks the first item from the dropped-down list.
  combo()->showPopup();
  QAbstractItemView* list = combo()->view();
  list->setCurrentIndex(list->model()->index(0, 0));
  pressKey(list, Qt::Key_Return);

  const auto picks = TestEvents.withCode(EzSelectionChanged, 140);
  ASSERT_EQ(picks.size(), 2u);
  EXPECT_EQ(picks[0].value, 1);
  EXPECT_EQ(picks[1].value, 0);
  EXPECT_EQ(ezSelectedIndex(Form, 140), 0);
}

TEST_F(Controls, ComboReportsDroppingDownAlsoWhenTheProgramDropsIt) {
  combo()->showPopup();
  combo()->hidePopup();
  EXPECT_EQ(EZ_SENDMESSAGE(Form, 140, 335, 1, 0), 1);
  EXPECT_TRUE(combo()->view()->isVisible());
  combo()->hidePopup();
  EXPECT_EQ(EZ_SENDMESSAGE(Form, 140, 12, 1, 0), 0) << "other messages are not acted on";
  EXPECT_EQ(TestEvents.withCode(EzListDropsDown, 140).size(), 2u);
}

TEST_F(Controls, TextBoxReportsEditsByTheUserOnly) {
  EZ_SETTEXT(Form, 170, "/data/river.csv");
  EXPECT_TRUE(TestEvents.events.empty());
  EXPECT_EQ(EZ_GETTEXT(Form, 170), "/data/river.csv");

  QWidget* box = ezWidget(Form, 170);
  pressKey(box, Qt::Key_End);
  pressKey(box, Qt::Key_Backspace);
  pressKey(box, Qt::Key_Backspace);
  pressKey(box, Qt::Key_Backspace);
  typeText(box, "txt");
  EXPECT_EQ(TestEvents.withCode(EzTextEdited, 170).size(), 6u);
  EXPECT_EQ(EZ_GETTEXT(Form, 170), "/data/river.txt");

  // Non-ASCII names round-trip as UTF-8.
  EZ_SETTEXT(Form, 170, "/data/d\xC3\xA9p\xC3\xB4t.csv");
  EXPECT_EQ(EZ_GETTEXT(Form, 170), "/data/d\xC3\xA9p\xC3\xB4t.csv");
}

TEST_F(Controls, RadioClickChecksItAndReportsIt) {
  EZ_SETCHECK(Form, 120, 1);
  EZ_SETCHECK(Form, 130, 0);
  clickWidget(ezWidget(Form, 130));
  EXPECT_TRUE(ezIsChecked(Form, 130));
  EXPECT_FALSE(ezIsChecked(Form, 120));
  clickWidget(ezWidget(Form, 130));  // a second click leaves it checked
  EXPECT_TRUE(ezIsChecked(Form, 130));
  const auto clicks = TestEvents.withCode(EzClick, 130);
  EXPECT_EQ(clicks.size(), 2u);

  // The program may set both marks as it likes, also none.
  EZ_SETCHECK(Form, 130, 0);
  EXPECT_FALSE(ezIsChecked(Form, 130));
  EXPECT_FALSE(ezIsChecked(Form, 120));
}

TEST_F(Controls, DisabledButtonGivesNoClick) {
  clickWidget(ezWidget(Form, 150));
  EZ_DISABLEC(Form, 150);
  EXPECT_FALSE(ezIsEnabled(Form, 150));
  clickWidget(ezWidget(Form, 150));
  EZ_ENABLEC(Form, 150);
  EXPECT_TRUE(ezIsEnabled(Form, 150));
  EXPECT_EQ(TestEvents.withCode(EzClick, 150).size(), 1u);
  EXPECT_EQ(ezText(Form, 150), "Start");
}

TEST_F(Controls, StatusBarPartsTakeTheirShareOfTheWidth) {
  EXPECT_EQ(ezStatusPartCount(Form, 260), 1);
  EZ_SETSBPARTS(Form, 260, 3, "50|25|25");
  EXPECT_EQ(ezStatusPartCount(Form, 260), 3);
  EZ_SETSBTEXT(Form, 260, 1, "Not Ready", "P");
  EZ_SETSBTEXT(Form, 260, 2, "File not chosen", "P");
  EZ_SETSBTEXT(Form, 260, 3, "Port not chosen", "P");
  EZ_SETSBTEXT(Form, 260, 4, "nowhere", "P");
  EXPECT_EQ(ezStatusText(Form, 260, 1), "Not Ready");
  EXPECT_EQ(ezStatusText(Form, 260, 2), "File not chosen");
  EXPECT_EQ(ezStatusText(Form, 260, 3), "Port not chosen");
  EXPECT_EQ(ezStatusText(Form, 260, 4), "");

  QWidget* bar = ezWidget(Form, 260);
  QWidget* client = bar->parentWidget();
  EXPECT_EQ(bar->geometry().bottom(), client->rect().bottom()) << "at the bottom";
  EXPECT_EQ(bar->width(), client->width());
  const auto parts = bar->findChildren<QLabel*>();
  ASSERT_EQ(parts.size(), 3);
  EXPECT_NEAR(parts[0]->width(), 2 * parts[1]->width(), 4);
  EXPECT_NEAR(parts[1]->width(), parts[2]->width(), 2);

  // A long text does not push the other parts aside.
  EZ_SETSBTEXT(Form, 260, 1, std::string(300, 'x'), "P");
  processEventsFor(20);
  EXPECT_NEAR(parts[0]->width(), 2 * parts[1]->width(), 4);

  // Resizing the form keeps it at the bottom.
  EZ_RESIZEFORM(Form, 0, 0, 90, 30, -1);
  EXPECT_EQ(bar->geometry().bottom(), client->rect().bottom());
}

TEST_F(Controls, TooltipIsAskedForAndShowsTheAnswer) {
  EZ_ADDTOOLTIP(Form, 150);
  EZ_ADDTOOLTIP(Form, 170);
  TestEvents.react = [](const GuiEvent& e, int&) {
    if (e.code == EzTooltipWanted && e.id == 150) EZ_SETTOOLTIP("Open the COM port (Ctrl-G)");
  };
  hoverForTooltip(ezWidget(Form, 150));
  const auto asked = TestEvents.withCode(EzTooltipWanted);
  ASSERT_EQ(asked.size(), 1u);
  EXPECT_EQ(asked[0].id, 150);
  EXPECT_EQ(ezLastTooltip(), "Open the COM port (Ctrl-G)");
  EXPECT_EQ(QToolTip::text(), "Open the COM port (Ctrl-G)");

  // Unanswered: asked, and no tooltip.
  hoverForTooltip(ezWidget(Form, 170));
  EXPECT_EQ(TestEvents.withCode(EzTooltipWanted, 170).size(), 1u);
  EXPECT_TRUE(waitUntil([] { return !QToolTip::isVisible(); }, 3000));

  // Not registered: not asked.
  hoverForTooltip(ezWidget(Form, 140));
  EXPECT_TRUE(TestEvents.withCode(EzTooltipWanted, 140).empty());
}

TEST_F(Controls, OwnerDrawnButtonIsDrawnByTheEventRoutine) {
  std::vector<int> records;
  int colour = 18;
  TestEvents.react = [&](const GuiEvent& e, int&) {
    if (e.code != EzOwnerDraw) return;
    records.push_back(e.value);
    EZ_DRAW3DBUTTON(Form, e.id, e.value, colour, 0, EZ_ODIFONT());
  };
  QWidget* start = ezWidget(Form, 150);
  const QPoint middle(start->width() / 2, 3);
  EXPECT_EQ(pixelAt(start, middle), ezPaletteColour(18));
  ASSERT_FALSE(records.empty());
  EXPECT_GT(records.back(), 0);

  colour = 12;
  EXPECT_EQ(pixelAt(start, middle), ezPaletteColour(12));

  // Raised: light top edge; pressed: dark top edge.
  const QColor raisedEdge = pixelAt(start, QPoint(start->width() / 2, 0));
  static_cast<QAbstractButton*>(start)->setDown(true);
  const QColor pressedEdge = pixelAt(start, QPoint(start->width() / 2, 0));
  static_cast<QAbstractButton*>(start)->setDown(false);
  EXPECT_GT(raisedEdge.lightness(), ezPaletteColour(12).lightness());
  EXPECT_LT(pressedEdge.lightness(), ezPaletteColour(12).lightness());

  // Disabled: greyed.
  EZ_DISABLEC(Form, 150);
  const QColor greyed = pixelAt(start, middle);
  EXPECT_NE(greyed, ezPaletteColour(12));
  EXPECT_LT(greyed.saturation(), ezPaletteColour(12).saturation());

  // A drawing record is good only during its own event, and only for
  // owner drawing.
  float w = 0, h = 0;
  EXPECT_EQ(EZ_STARTERASEBG(records.back(), w, h), 0);
}

TEST_F(Controls, OwnerDrawnButtonNotDrawnByTheRoutineUsesItsOwnColour) {
  QWidget* choose = ezWidget(Form, 110);
  EXPECT_EQ(pixelAt(choose, QPoint(choose->width() / 2, 4)), ezPaletteColour(22));
  EXPECT_FALSE(TestEvents.withCode(EzOwnerDraw, 110).empty());
}

TEST_F(Controls, BackgroundIsPaintedThroughTheEraseEvent) {
  QImage image(40, 30, QImage::Format_RGB32);
  image.fill(QColor(10, 200, 30));
  const std::string folder = ::testing::TempDir() + "ezgui_bg";
  QDir().mkpath(QString::fromStdString(folder));
  ASSERT_TRUE(image.save(QString::fromStdString(folder + "/BG2.png")));
  ezSetResourceFolder(folder);
  const int handle = EZ_IMAGEHANDLE(EZ_LOADPICTURE("$BG2"));
  ASSERT_GT(handle, 0);

  bool paint = false;
  int lastCancel = 0;
  float w = -1, h = -1;
  TestEvents.react = [&](const GuiEvent& e, int& cancel) {
    if (e.code != EzEraseBackground || !paint) return;
    const int dc = EZ_STARTERASEBG(e.value, w, h);
    if (dc == 0) return;
    EZ_DCDRAWPICTURE(dc, handle, 0, 0, w + 1, h + 1);
    EZ_ENDERASEBG(cancel);
    lastCancel = cancel;
  };
  QWidget* client = ezWidget(Form, 260)->parentWidget();
  const QPoint spot(client->width() - 5, client->height() / 2);

  EXPECT_EQ(pixelAt(client, spot), QColor(84, 112, 112)) << "the form's own colour";
  EXPECT_FALSE(TestEvents.withCode(EzEraseBackground, 0).empty());

  paint = true;
  EXPECT_EQ(pixelAt(client, spot), QColor(10, 200, 30));
  EXPECT_EQ(lastCancel, 1);
  float cw = 0, ch = 0;
  EZ_GETSIZE(Form, cw, ch, 0);
  EXPECT_NEAR(w, cw, 0.1);
  EXPECT_NEAR(h, ch, 0.1);

  // Outside a paint there is nothing to paint on.
  float ow = -1, oh = -1;
  EXPECT_EQ(EZ_STARTERASEBG(1, ow, oh), 0);
  EXPECT_EQ(ow, 0);
  int untouched = 0;
  EZ_ENDERASEBG(untouched);
  EXPECT_EQ(untouched, 0);
}
