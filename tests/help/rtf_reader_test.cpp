// The help reader on documents from two writers: libreoffice.rtf was saved by
// the word processor from libreoffice_source.fodt
// (soffice --headless --convert-to rtf libreoffice_source.fodt), and
// handwritten.rtf follows the older conventions of other writers (bullet text
// before the indents, symbol-font bullets, pictures, fallback characters).
#include "help/rtf_reader.h"

#include <QAbstractTextDocumentLayout>
#include <QRegularExpression>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFragment>
#include <QTextLayout>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

std::string sample(const char* name) {
  const auto path = std::filesystem::path(MORVANE_SOURCE_DIR) / "tests" / "help" / "data" / name;
  std::ifstream in(path, std::ios::binary);
  EXPECT_TRUE(in.good()) << path;
  return std::string(std::istreambuf_iterator<char>(in), {});
}

std::vector<QString> paragraphs(const QTextDocument& doc) {
  std::vector<QString> out;
  for (QTextBlock b = doc.begin(); b != doc.end(); b = b.next()) out.push_back(b.text());
  return out;
}

QTextBlock blockStartingWith(const QTextDocument& doc, const QString& start) {
  for (QTextBlock b = doc.begin(); b != doc.end(); b = b.next()) {
    if (b.text().startsWith(start)) return b;
  }
  ADD_FAILURE() << "no paragraph starts with " << start.toStdString();
  return {};
}

// The format of the fragment that holds `piece`.
QTextCharFormat formatOf(const QTextDocument& doc, const QString& piece) {
  for (QTextBlock b = doc.begin(); b != doc.end(); b = b.next()) {
    for (auto it = b.begin(); !it.atEnd(); ++it) {
      if (it.fragment().text().contains(piece)) return it.fragment().charFormat();
    }
  }
  ADD_FAILURE() << "no fragment holds " << piece.toStdString();
  return {};
}

// Paragraphs both samples share. The word processor writes a space before
// its bullet character, which stays.
std::vector<QString> sharedParagraphs(const QString& bullet) {
  return {u"Sample Heading"_qs,
          u"Plain text, bold words, italic words and underlined words."_qs,
          u"Large text and small text."_qs,
          u"Accents: caf\u00e9, na\u00efve, Gr\u00f6\u00dfe; euro \u20ac; dash \u2013 and "
          u"quotes \u201cx\u201d."_qs,
          u"Line one\u2028Line two after a break"_qs,
          u"Before tab\tafter tab"_qs,
          bullet + u"\tFirst bullet"_qs,
          bullet + u"\tSecond bullet"_qs,
          u"Indented paragraph."_qs};
}

struct Writer {
  const char* file;
  QString bullet;
};

void PrintTo(const Writer& writer, std::ostream* os) {
  *os << writer.file;
}

std::string writerName(const ::testing::TestParamInfo<Writer>& param) {
  return param.index == 0 ? "WordProcessor" : "HandWritten";
}

class BothWriters : public ::testing::TestWithParam<Writer> {
 protected:
  void SetUp() override { renderRtf(sample(GetParam().file), doc); }
  QString bullet() const { return GetParam().bullet; }
  QTextDocument doc;
};

}  // namespace

TEST_P(BothWriters, ParagraphTextsComeThroughWithoutMarkup) {
  const std::vector<QString> got = paragraphs(doc);
  const std::vector<QString> want = sharedParagraphs(bullet());
  ASSERT_GE(got.size(), want.size());
  for (size_t i = 0; i < want.size(); ++i) EXPECT_EQ(got[i], want[i]) << "paragraph " << i;
  EXPECT_EQ(got.back(), u"Last paragraph."_qs) << "the closing \\par adds no empty paragraph";

  const QString all = doc.toPlainText();
  EXPECT_FALSE(all.contains(QRegularExpression(R"(\\[a-z]+)"))) << all.toStdString();
  for (const char* hidden :
       {"Times New Roman", "Arial", "Symbol;", "Normal", "Heading;", "Hidden Title", "Nobody",
        "LibreOffice", "Hand 1.0", "Default Page Style"}) {
    EXPECT_FALSE(all.contains(QString::fromLatin1(hidden))) << hidden;
  }
}

TEST_P(BothWriters, CharacterFormatting) {
  const QTextCharFormat heading = formatOf(doc, u"Sample Heading"_qs);
  EXPECT_EQ(heading.fontWeight(), QFont::Bold);
  EXPECT_DOUBLE_EQ(heading.fontPointSize(), 16.0);
  EXPECT_EQ(
      blockStartingWith(doc, u"Sample"_qs).blockFormat().alignment() & Qt::AlignHorizontal_Mask,
      Qt::AlignHCenter);

  EXPECT_EQ(formatOf(doc, u"bold words"_qs).fontWeight(), QFont::Bold);
  EXPECT_TRUE(formatOf(doc, u"italic words"_qs).fontItalic());
  EXPECT_TRUE(formatOf(doc, u"underlined words"_qs).fontUnderline());
  const QTextCharFormat plain = formatOf(doc, u"Plain text"_qs);
  EXPECT_NE(plain.fontWeight(), QFont::Bold);
  EXPECT_FALSE(plain.fontItalic());
  EXPECT_FALSE(plain.fontUnderline());
  EXPECT_FALSE(formatOf(doc, u" and "_qs).fontUnderline()) << "underline ends with its group";

  EXPECT_DOUBLE_EQ(formatOf(doc, u"Large text"_qs).fontPointSize(), 18.0);
  EXPECT_DOUBLE_EQ(formatOf(doc, u"small text"_qs).fontPointSize(), 8.0);
}

TEST_P(BothWriters, IndentsBelongToTheirParagraphsEvenAfterTheBulletText) {
  // Half an inch is 48 pixels; the bullet hangs a quarter inch to the left,
  // and the text after it starts at the indent.
  doc.setTextWidth(2000);
  (void)doc.documentLayout()->documentSize();
  for (const QString& item : {bullet() + u"\tFirst"_qs, bullet() + u"\tSecond"_qs}) {
    const QTextBlock block = blockStartingWith(doc, item);
    EXPECT_DOUBLE_EQ(block.blockFormat().leftMargin(), 48.0) << item.toStdString();
    EXPECT_DOUBLE_EQ(block.blockFormat().textIndent(), -24.0) << item.toStdString();
    const QTextLine line = block.layout()->lineAt(0);
    EXPECT_NEAR(line.x(), 24.0, 0.5);
    EXPECT_NEAR(line.cursorToX(block.text().indexOf(u'\t') + 1), 48.0, 0.5);
  }
  const QTextBlock tabbed = blockStartingWith(doc, u"Before tab"_qs);
  const QTextLine line = tabbed.layout()->lineAt(0);
  EXPECT_GT(line.cursorToX(tabbed.text().indexOf(u'\t') + 1),
            line.cursorToX(tabbed.text().indexOf(u'\t')));

  EXPECT_DOUBLE_EQ(blockStartingWith(doc, u"Indented"_qs).blockFormat().leftMargin(), 96.0);
  const QTextBlockFormat after = blockStartingWith(doc, u"Last paragraph"_qs).blockFormat();
  EXPECT_DOUBLE_EQ(after.leftMargin(), 0.0);
  EXPECT_DOUBLE_EQ(after.textIndent(), 0.0);
}

INSTANTIATE_TEST_SUITE_P(Samples, BothWriters,
                         ::testing::Values(Writer{"libreoffice.rtf", u" \u2022"_qs},
                                           Writer{"handwritten.rtf", u"\u2022"_qs}),
                         writerName);

TEST(RtfReader, HandWrittenDocumentDetails) {
  QTextDocument doc;
  renderRtf(sample("handwritten.rtf"), doc);
  const std::vector<QString> got = paragraphs(doc);
  const std::vector<QString> tail(got.begin() + 9, got.end());
  const std::vector<QString> want = {
      u"Pictures: done."_qs,
      u"Two fallbacks: \u20ac and one\u20ac none."_qs,
      u"Negative: \ufb01; pair: \U0001F600."_qs,
      u"Symbols: {braces} \\ nb\u00a0sp soft\u00adhyphen hard\u2011hyphen \u2014 \u2018q\u2019 "
      u"\u2022."_qs,
      u"Hidden: ab; field: link text."_qs,
      u"Bold across"_qs,
      u"still bold, plain again."_qs,
      u"Wrapped in the file"_qs,
      u"Escaped newline is a paragraph."_qs,
      u"Last paragraph."_qs};
  EXPECT_EQ(tail, want);
  EXPECT_EQ(formatOf(doc, u"still bold"_qs).fontWeight(), QFont::Bold);
  EXPECT_NE(formatOf(doc, u"plain again"_qs).fontWeight(), QFont::Bold);
  EXPECT_DOUBLE_EQ(formatOf(doc, u"plain again"_qs).fontPointSize(), 0.0) << "\\plain resets size";
}

TEST(RtfReader, OddInputIsShownOrDroppedWithoutHarm) {
  QTextDocument doc;
  renderRtf("Just text, not a document.\r\nSecond line", doc);
  EXPECT_EQ(doc.toPlainText(), u"Just text, not a document.\nSecond line"_qs);

  renderRtf("", doc);
  EXPECT_TRUE(doc.isEmpty());

  // Cut short in the middle of a word, a symbol, a group or binary data, or
  // numbers out of any range.
  for (const char* cut : {"{\\rtf1 abc \\", "{\\rtf1 abc \\'4", "{\\rtf1 {\\b bold",
                          "{\\rtf1 x\\bin99 ab", "{\\rtf1 a}}}} b", "{\\rtf1 \\u",
                          "{\\rtf1 \\fs99999999999999999999 big\\li-"
                          "99999999999999999999 x}",
                          "{\\rtf1 \\li-2147483647\\fi-720\\tx5 x\\par}"}) {
    renderRtf(cut, doc);
    EXPECT_FALSE(doc.toPlainText().contains(u'\\')) << cut;
  }
  renderRtf("{\\rtf1 {\\b bold", doc);
  EXPECT_EQ(doc.toPlainText(), u"bold"_qs);
  renderRtf("{\\rtf1 a}}}} b", doc);
  EXPECT_EQ(doc.toPlainText(), u"a"_qs) << "nothing after the document's closing brace";

  // A new document replaces the old one.
  renderRtf("{\\rtf1 one\\par two\\par}", doc);
  renderRtf("{\\rtf1 three}", doc);
  EXPECT_EQ(doc.toPlainText(), u"three"_qs);
}
