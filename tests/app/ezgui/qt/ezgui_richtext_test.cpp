// The rich-text view: replacing, inserting at the selection, the text
// limit that drops the oldest lines, bytes shown one for one, scrolling,
// and documents handed to the rich-text renderer.
#include <QScrollBar>
#include <QTextDocument>
#include <QTextEdit>

#include <gtest/gtest.h>

#include "app/ezgui/ezgui.h"
#include "app/ezgui/qt/ezgui_readback.h"
#include "app/ezgui/qt/ezgui_richtext.h"
#include "app/ezgui/qt/ezgui_rtf.h"
#include "support/gui_event_log.h"
#include "support/gui_test_support.h"

namespace {

constexpr const char* Form = "Morvane";

class RichView : public ::testing::Test {
 protected:
  void SetUp() override {
    installEventLog();
    TestEvents.design = [](const std::string& name) {
      EZ_RICHTEXT2(name, 200, 0.625f, 18, 60, 12, "ASV");
      EZ_SETRICHTEXT(name, 200, "", 0, 0);
    };
    EZ_FORM("MORVANE", "", "Main", 0, 0, 122, 40, "");
  }
  void TearDown() override {
    ezSetRtfRenderer(nullptr);
    ezResetLayer();
  }

  static void append(const std::string& line) {
    EZ_SETRICHSEL(Form, 200, -1, -1);
    EZ_SETRICHTEXT(Form, 200, line, 0, 1);
  }
  static QTextEdit* view() { return qobject_cast<QTextEdit*>(ezWidget(Form, 200)); }
};

std::string numberedLines(int from, int to) {
  std::string s;
  for (int i = from; i <= to; ++i) s += "record " + std::to_string(i) + "\n";
  return s;
}

}  // namespace

TEST_F(RichView, ReplaceAndInsertAtTheSelection) {
  EXPECT_EQ(ezText(Form, 200), "");
  EZ_SETRICHTEXT(Form, 200, "alpha\nomega\n", 0, 0);
  EXPECT_EQ(ezText(Form, 200), "alpha\nomega\n");
  append("tail\n");
  EXPECT_EQ(ezText(Form, 200), "alpha\nomega\ntail\n");

  EZ_SETRICHSEL(Form, 200, 6, 6);
  EZ_SETRICHTEXT(Form, 200, "beta\n", 0, 1);
  EXPECT_EQ(ezText(Form, 200), "alpha\nbeta\nomega\ntail\n");

  EZ_SETRICHSEL(Form, 200, 0, 5);  // a selection is replaced by the insert
  EZ_SETRICHTEXT(Form, 200, "ALPHA", 0, 1);
  EXPECT_EQ(ezText(Form, 200), "ALPHA\nbeta\nomega\ntail\n");

  EZ_SETRICHSEL(Form, 200, 5000, 5000);  // past the end: at the end
  EZ_SETRICHTEXT(Form, 200, "!", 0, 1);
  EXPECT_EQ(ezText(Form, 200), "ALPHA\nbeta\nomega\ntail\n!");

  EZ_SETRICHTEXT(Form, 200, "", 0, 0);
  EXPECT_EQ(ezText(Form, 200), "");
  EXPECT_TRUE(view()->isReadOnly());
}

TEST_F(RichView, LimitDropsTheOldestLinesSoTheNewestStay) {
  EZ_SETRICHTEXTLEN(Form, 200, 100);
  EXPECT_EQ(ezRichTextLimit(Form, 200), 100);
  for (int i = 1; i <= 40; ++i) append("record " + std::to_string(i) + "\n");
  const std::string text = ezText(Form, 200);
  EXPECT_LE(text.size(), 100u);
  EXPECT_GT(text.size(), 80u) << "only as much dropped as needed";
  EXPECT_EQ(text.substr(text.size() - 10), "record 40\n");
  EXPECT_EQ(text.rfind("record ", 0), 0u) << "whole lines dropped, none cut: " << text;

  // The same with everything in one insert.
  EZ_SETRICHTEXT(Form, 200, "", 0, 0);
  append(numberedLines(1, 40));
  EXPECT_EQ(ezText(Form, 200), text);

  // Replacing with a text over the limit keeps its end as well.
  EZ_SETRICHTEXT(Form, 200, numberedLines(1, 40), 0, 0);
  EXPECT_EQ(ezText(Form, 200), text);
}

TEST_F(RichView, LimitWithAnInsertBeforeTheEnd) {
  EZ_SETRICHTEXT(Form, 200, numberedLines(1, 5), 0, 0);
  EZ_SETRICHTEXTLEN(Form, 200, 45);
  EZ_SETRICHSEL(Form, 200, 9, 9);  // after "record 1\n"
  EZ_SETRICHTEXT(Form, 200, "inserted\n", 0, 1);
  // 45 + 9 characters: the first line and the inserted one would be the
  // oldest, but only lines before the insert point are old; the first goes.
  EXPECT_EQ(ezText(Form, 200), "inserted\n" + numberedLines(2, 5));
}

TEST_F(RichView, EveryByteShowsAsOneCharacter) {
  std::string all;
  for (int b = 1; b < 256; ++b) {
    if (b != '\n' && b != '\r') all += static_cast<char>(b);
  }
  append(all);
  EXPECT_EQ(ezText(Form, 200), all);
  EXPECT_EQ(view()->document()->characterCount() - 1, static_cast<int>(all.size()));

  EZ_SETRICHTEXT(Form, 200, "Feet\x85 12.5", 0, 0);
  EXPECT_EQ(ezText(Form, 200), "Feet\x85 12.5");
  EXPECT_EQ(view()->toPlainText().at(4).unicode(), 0x85);
}

TEST_F(RichView, ScrollToTheEndOnlyWhenAsked) {
  EZ_RESIZE(Form, 200, 1, 1, 40, 6);
  for (int i = 1; i <= 200; ++i) append("record " + std::to_string(i) + "\n");
  QScrollBar* bar = view()->verticalScrollBar();
  EXPECT_EQ(bar->value(), 0) << "appending does not move the view";
  EZ_SCROLLTO(Form, 200, 1, -2);
  EXPECT_GT(bar->maximum(), 0);
  EXPECT_EQ(bar->value(), bar->maximum());
  EZ_SETRICHSEL(Form, 200, 0, 0);
  EXPECT_EQ(bar->value(), bar->maximum()) << "moving the selection does not scroll";
}

namespace {

void renderAsHeading(const std::string& rtf, QTextDocument& into) {
  into.setHtml(QString::fromStdString("<h1>" + rtf.substr(rtf.find(' ') + 1) + "</h1>"));
}

}  // namespace

TEST_F(RichView, DocumentsGoThroughTheRenderer) {
  const std::string rtf = "{\\rtf1 Help text for the user";
  EZ_SETRICHTEXT(Form, 200, "before", 0, 0);
  EZ_SETRICHTEXT(Form, 200, rtf, 1, 0);
  EXPECT_EQ(ezText(Form, 200), "") << "no renderer: nothing shown";

  ezSetRtfRenderer(renderAsHeading);
  EZ_SETRICHTEXTLEN(Form, 200, 10);  // the limit is for plain text, not documents
  EZ_SETRICHTEXT(Form, 200, rtf, 1, 0);
  EXPECT_EQ(ezText(Form, 200), "Help text for the user");
  EXPECT_TRUE(view()->toHtml().contains("<h1"));
  EZ_SETRICHSEL(Form, 200, 51, 51);  // past the end of a short text: harmless
  EXPECT_EQ(view()->textCursor().position(), 22);
}

TEST_F(RichView, FontOfTheView) {
  EZ_SETRICHFONT(Form, 200, "Tahoma", 10, "F", "", 0, 0);
  EXPECT_EQ(view()->font().family(), "Tahoma");
  EXPECT_EQ(view()->font().pointSizeF(), 10);
}
