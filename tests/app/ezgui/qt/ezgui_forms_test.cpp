// Forms of the GUI layer: names, the events of their life, sizes, menus,
// accelerator keys and the message loop.
#include <QApplication>
#include <QFontMetrics>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QTimer>

#include <gtest/gtest.h>

#include "app/ezgui/ezgui.h"
#include "app/ezgui/ezgui_units.h"
#include "app/ezgui/qt/ezgui_readback.h"
#include "support/gui_event_log.h"
#include "support/gui_test_support.h"

namespace {

std::vector<int> formCodes(const std::string& form) {
  std::vector<int> codes;
  for (const GuiEvent& e : TestEvents.events) {
    if (e.form == form && e.id == 0) codes.push_back(e.code);
  }
  return codes;
}

void addLabelAndBox(const std::string& form) {
  EZ_LABEL(form, 100, "Heading", 1, 1, 20, 1.5, "IL");
  EZ_TEXT(form, 170, "", 1, 3, 40, 1.75, "EST");
}

class Forms : public ::testing::Test {
 protected:
  void SetUp() override { installEventLog(); }
  void TearDown() override { ezResetLayer(); }
};

}  // namespace

TEST_F(Forms, NamedInAnyCaseReportedAsCreated) {
  TestEvents.design = [](const std::string& name) { addLabelAndBox(name); };
  EZ_FORM("MORVANE", "", "Caption", 0, 0, 122, 40, "^_CZ");

  EXPECT_EQ(EZ_ISFORM("Morvane", "E"), 1);
  EXPECT_EQ(EZ_ISFORM("morvane", "E"), 1);
  EXPECT_EQ(EZ_ISFORM("HELP", "E"), 0);
  ASSERT_EQ(TestEvents.designed, std::vector<std::string>{"MORVANE"});
  EZ_SETTEXT("mOrVaNe", 100, "Changed");
  EXPECT_EQ(ezText("Morvane", 100), "Changed");
  EXPECT_EQ(ezText("Morvane", 0), "Caption");

  TestEvents.clear();
  typeText(ezWidget("Morvane", 170), "x");
  ASSERT_FALSE(TestEvents.events.empty());
  for (const GuiEvent& e : TestEvents.events) EXPECT_EQ(e.form, "MORVANE");
}

TEST_F(Forms, LoadingThenDesignThenLoadedThenStarted) {
  bool controlsAtLoaded = false;
  TestEvents.design = [](const std::string& name) {
    TestEvents.events.push_back({"design", 0, -1, 0});
    addLabelAndBox(name);
  };
  TestEvents.react = [&](const GuiEvent& e, int&) {
    if (e.code == EzLoaded) controlsAtLoaded = ezWidget(e.form, 170) != nullptr;
    // Shown only after it, so a place given then is where it first appears.
    if (e.code == EzStarted) {
      EXPECT_FALSE(ezIsVisible(e.form, 0));
    }
  };
  EZ_ALLOWLOADINGEVENT(2);
  EZ_FORM("MORVANE", "", "Main", 0, 0, 122, 40, "");
  EXPECT_TRUE(ezIsVisible("MORVANE", 0));

  std::vector<int> order;
  for (const GuiEvent& e : TestEvents.events) {
    if (e.code == EzLoading || e.code == -1 || e.code == EzLoaded || e.code == EzStarted) {
      order.push_back(e.code);
    }
  }
  EXPECT_EQ(order, (std::vector<int>{EzLoading, -1, EzLoaded, EzStarted}));
  EXPECT_TRUE(controlsAtLoaded);

  // Without the loading switch there is no 85; the switch is used up.
  TestEvents.clear();
  EZ_FORM("Other", "", "Second", 0, 0, 30, 20, "");
  EXPECT_TRUE(TestEvents.withCode(EzLoading).empty());
  EXPECT_EQ(TestEvents.withCode(EzLoaded).size(), 1u);
}

TEST_F(Forms, LoadingSwitchBeforeAControlGivesThatControlEvent85) {
  TestEvents.design = [](const std::string& name) {
    EZ_LABEL(name, 100, "a", 1, 1, 5, 1, "");
    EZ_ALLOWLOADINGEVENT(2);
    EZ_STATUSBAR(name, 260, "", "");
    EZ_LABEL(name, 110, "b", 1, 3, 5, 1, "");
  };
  EZ_FORM("MORVANE", "", "Main", 0, 0, 122, 40, "");
  const auto loading = TestEvents.withCode(EzLoading);
  ASSERT_EQ(loading.size(), 1u);
  EXPECT_EQ(loading[0].id, 260);
}

TEST_F(Forms, UnloadReportsGoingAwayOwnedFormsFirst) {
  EZ_FORM("MORVANE", "", "Main", 0, 0, 122, 40, "");
  EZ_FORM("HELP", "Morvane", "Help", 0, 0, 60, 30, "");
  QWidget* help = ezWidget("HELP", 0);
  ASSERT_NE(help, nullptr);
  EXPECT_TRUE(help->isWindow());
  EXPECT_EQ(help->parentWidget(), ezWidget("MORVANE", 0));

  TestEvents.clear();
  EZ_UNLOADFORM("unknown");
  EXPECT_TRUE(TestEvents.events.empty());

  EZ_UNLOADFORM("morvane");
  ASSERT_EQ(TestEvents.events.size(), 2u);
  EXPECT_EQ(TestEvents.events[0].form, "HELP");
  EXPECT_EQ(TestEvents.events[0].code, EzFormGoingAway);
  EXPECT_EQ(TestEvents.events[1].form, "MORVANE");
  EXPECT_EQ(TestEvents.events[1].code, EzFormGoingAway);
  EXPECT_EQ(EZ_ISFORM("MORVANE", "E"), 0);
  EXPECT_EQ(EZ_ISFORM("HELP", "E"), 0);
  EXPECT_EQ(ezWidget("MORVANE", 0), nullptr);
}

TEST_F(Forms, UserClosingTheWindowReportsGoingAwayThenTheFormIsGone) {
  EZ_FORM("MORVANE", "", "Main", 0, 0, 122, 40, "");
  bool cancelClose = true;
  TestEvents.react = [&](const GuiEvent& e, int& cancel) {
    if (e.code == EzFormGoingAway && cancelClose) cancel = 1;
  };
  TestEvents.clear();
  ezWidget("MORVANE", 0)->close();
  EXPECT_EQ(formCodes("MORVANE"), std::vector<int>{EzFormGoingAway});
  EXPECT_EQ(EZ_ISFORM("MORVANE", "E"), 1) << "the routine cancelled the close";

  cancelClose = false;
  TestEvents.clear();
  QWidget* window = ezWidget("MORVANE", 0);
  window->close();
  EXPECT_EQ(formCodes("MORVANE"), std::vector<int>{EzFormGoingAway});
  EXPECT_EQ(EZ_ISFORM("MORVANE", "E"), 0);
  EXPECT_FALSE(window->isVisible());
}

TEST_F(Forms, CreatingUnderAnExistingNameReplacesTheForm) {
  EZ_FORM("HELP", "", "First", 0, 0, 60, 30, "");
  QWidget* first = ezWidget("HELP", 0);
  TestEvents.clear();
  EZ_FORM("Help", "", "Second", 0, 0, 60, 30, "");
  EXPECT_EQ(TestEvents.events.front().code, EzFormGoingAway);
  EXPECT_EQ(TestEvents.events.front().form, "HELP");
  EXPECT_NE(ezWidget("HELP", 0), first);
  EXPECT_EQ(ezText("HELP", 0), "Second");
  EXPECT_EQ(TestEvents.events.back().form, "Help");
}

TEST_F(Forms, SizesFollowTheUnitRule) {
  QFont tenPoints = QApplication::font();
  tenPoints.setPointSizeF(10);
  const int line = QFontMetrics(tenPoints).height();
  EXPECT_EQ(ezPixelsY(1), line);
  EXPECT_EQ(ezPixelsX(2), line);
  EXPECT_EQ(ezUnitSizeFor(20).across, 10.0);

  EZ_DEFMAINMENU(8000, "&Help", "");
  EZ_FORM("MORVANE", "", "Main", 0, 0, 122, 40, "");
  float w = 0, h = 0;
  EZ_GETSIZE("Morvane", w, h, 3);
  EXPECT_NEAR(w, 122, 0.1);
  EXPECT_NEAR(h, 40, 0.1);
  float cw = 0, ch = 0;
  EZ_GETSIZE("Morvane", cw, ch, 0);
  EXPECT_NEAR(cw, 122, 0.1);
  EXPECT_LT(ch, h - 0.5) << "the menu bar is not client area";

  EZ_RESIZEFORM("MORVANE", 10, 5, 80, 30, -1);
  float x = 0, y = 0;
  EZ_GETPOS("Morvane", x, y, 0);
  EZ_GETSIZE("Morvane", w, h, 3);
  EXPECT_NEAR(x, 10, 0.1);
  EXPECT_NEAR(y, 5, 0.1);
  EXPECT_NEAR(w, 80, 0.1);
  EXPECT_NEAR(h, 30, 0.1);
  EXPECT_FALSE(TestEvents.withCode(EzSizeChanged).empty());

  EZ_GETSIZE("nothing", w, h, 0);
  EXPECT_EQ(w, 0);
  EXPECT_EQ(h, 0);
}

TEST_F(Forms, MenuItemDeliversItsCommand) {
  EZ_DEFMAINMENU(8000, "&Help", "");
  EZ_FORM("MORVANE", "", "Main", 0, 0, 122, 40, "");
  auto* bar = ezWidget("MORVANE", 0)->findChild<QMenuBar*>();
  ASSERT_NE(bar, nullptr);
  ASSERT_EQ(bar->actions().size(), 1);
  EXPECT_EQ(bar->actions()[0]->text(), "&Help");
  TestEvents.clear();
  bar->actions()[0]->trigger();
  ASSERT_EQ(TestEvents.events.size(), 1u);
  EXPECT_EQ(TestEvents.events[0].id, 8000);
  EXPECT_EQ(TestEvents.events[0].code, EzClick);

  // The menu was for that form only.
  EZ_FORM("Other", "", "Other", 0, 0, 30, 20, "");
  EXPECT_EQ(ezWidget("Other", 0)->findChild<QMenuBar*>(), nullptr);
}

TEST_F(Forms, AcceleratorKeysArriveAsCommandsEvenInATextBox) {
  TestEvents.design = [](const std::string& name) { addLabelAndBox(name); };
  EZ_FORM("MORVANE", "", "Main", 0, 0, 122, 40, "");
  EZ_DEFACCEL("MORVANE", "F1,1111|^F,1112|^Z,1115|^X,1116");
  QWidget* box = ezWidget("MORVANE", 170);
  typeText(box, "abc");
  TestEvents.clear();

  pressKey(box, Qt::Key_Z, Qt::ControlModifier);
  pressKey(box, Qt::Key_X, Qt::ControlModifier);
  pressKey(ezWidget("MORVANE", 0), Qt::Key_F1);
  pressKey(box, Qt::Key_F, Qt::ControlModifier);
  pressKey(box, Qt::Key_Q, Qt::ControlModifier);  // not in the table
  pressKey(box, Qt::Key_F);                       // F without Ctrl is typing

  std::vector<int> commands;
  for (const GuiEvent& e : TestEvents.events) {
    if (e.id >= 1111 && e.id <= 1117) commands.push_back(e.id);
  }
  EXPECT_EQ(commands, (std::vector<int>{1115, 1116, 1111, 1112}));
  EXPECT_EQ(ezText("MORVANE", 170), "abcf") << "Ctrl+Z and Ctrl+X neither undid nor cut";

  // A held key is one command.
  TestEvents.clear();
  QKeyEvent repeat(QEvent::KeyPress, Qt::Key_F1, Qt::NoModifier, QString(), true);
  QApplication::sendEvent(box, &repeat);
  EXPECT_TRUE(TestEvents.events.empty());
}

TEST_F(Forms, AcceleratorsBelongToTheirForm) {
  EZ_FORM("MORVANE", "", "Main", 0, 0, 122, 40, "");
  EZ_FORM("HELP", "MORVANE", "Help", 0, 0, 60, 30, "");
  EZ_DEFACCEL("MORVANE", "F1,1111");
  TestEvents.clear();
  pressKey(ezWidget("HELP", 0), Qt::Key_F1);
  EXPECT_TRUE(TestEvents.events.empty());
  pressKey(ezWidget("MORVANE", 0), Qt::Key_F1);
  ASSERT_EQ(TestEvents.events.size(), 1u);
  EXPECT_EQ(TestEvents.events[0].form, "MORVANE");
}

TEST_F(Forms, DebugFormKeepsItsTextExactly) {
  EXPECT_EQ(EZ_ISFORM("Debug1", "E"), 0);
  EZ_DEBUGFORM("Debug1");
  EXPECT_EQ(EZ_ISFORM("Debug1", "E"), 1);
  const std::string text = "Dropping\r\none\r\ntwo \"q\"\r\n";
  EZ_SETTEXT("Debug1", 100, text);
  EXPECT_EQ(EZ_GETTEXT("Debug1", 100), text);
  auto* shown = qobject_cast<QPlainTextEdit*>(ezWidget("Debug1", 100));
  ASSERT_NE(shown, nullptr);
  EXPECT_EQ(shown->toPlainText(), "Dropping\none\ntwo \"q\"\n");
  EXPECT_TRUE(shown->isReadOnly());

  EZ_RESIZEFORM("Debug1", 200, 20, 90, 35, -1);
  float w = 0, h = 0;
  EZ_GETSIZE("Debug1", w, h, 0);
  EXPECT_NEAR(ezUnitsX(shown->width()), w, 0.2) << "the text fills the form";
  EZ_SCROLLTO("Debug1", 100, 1, 0);  // harmless on a short text
  EZ_UNLOADFORM("Debug1");
  EXPECT_EQ(EZ_ISFORM("Debug1", "E"), 0);
}

TEST_F(Forms, LibraryThreadIsMarkedStartedAndClosed) {
  EZ_FORM("MORVANE", "", "Main", 0, 0, 122, 40, "");
  EXPECT_FALSE(ezThreadRunning("Morvane"));
  EZ_STARTTHREAD("MORVANE", 1, 10);
  EXPECT_TRUE(ezThreadRunning("Morvane"));
  EZ_CLOSETHREAD("MORVANE", 1);
  EXPECT_FALSE(ezThreadRunning("Morvane"));
}

namespace {

void startupTwoForms(int) {
  EZ_FORM("MORVANE", "", "Main", 0, 0, 122, 40, "");
  EZ_DEBUGFORM("Debug1");
  // The debug form going away does not end the program; the main form does.
  QTimer::singleShot(50, [] { ezWidget("Debug1", 0)->close(); });
  QTimer::singleShot(150, [] {
    TestEvents.events.push_back({"check", EZ_ISFORM("Morvane", "E"), -2, 0});
    ezWidget("MORVANE", 0)->close();
  });
}

}  // namespace

TEST_F(Forms, MessageLoopRunsUntilTheMainFormCloses) {
  int argc = 1;
  char name[] = "test";
  char* argv[] = {name, nullptr};
  QTimer watchdog;
  watchdog.setSingleShot(true);
  QObject::connect(&watchdog, &QTimer::timeout, [] {
    ADD_FAILURE() << "the loop did not end";
    QCoreApplication::exit(3);
  });
  watchdog.start(5000);
  const int code = EZ_GUIRUN(argc, argv, startupTwoForms, recordEvent, recordDesign);
  EXPECT_EQ(code, 0);
  const auto checks = TestEvents.withCode(-2);
  ASSERT_EQ(checks.size(), 1u);
  EXPECT_EQ(checks[0].id, 1) << "main form still there after the debug form closed";
  EXPECT_EQ(formCodes("MORVANE").back(), EzFormGoingAway);
  EXPECT_EQ(EZ_ISFORM("MORVANE", "E"), 0);
}
