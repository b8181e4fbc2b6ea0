#include "help/rtf_reader.h"

#include <QFont>
#include <QList>
#include <QString>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextOption>
#include <algorithm>
#include <climits>
#include <string>
#include <string_view>
#include <vector>

namespace {

// Twips (1/1440 inch) to the document's pixels (1/96 inch).
qreal pixels(int twips) {
  return twips / 15.0;
}

struct CharState {
  bool bold = false;
  bool italic = false;
  bool underline = false;
  bool hidden = false;
  int halfPoints = 0;  // 0: the document's own size
  int font = -1;

  bool operator==(const CharState&) const = default;
};

struct ParaState {
  int left = 0, right = 0, first = 0, before = 0, after = 0;  // twips
  Qt::Alignment align = Qt::AlignLeft;
  QList<int> tabs;  // twips
};

struct GroupState {
  CharState chars;
  ParaState para;
  int unicodeSkip = 1;  // fallback characters that follow each \uN
  bool skip = false;    // inside a destination that is not shown
  bool fontTable = false;
};

struct Run {
  QString text;
  CharState chars;
};

// Whether `word` is one of the space-separated names in `list`.
bool inList(std::string_view list, std::string_view word) {
  for (size_t at = list.find(word); at != std::string_view::npos; at = list.find(word, at + 1)) {
    const size_t end = at + word.size();
    if ((at == 0 || list[at - 1] == ' ') && (end == list.size() || list[end] == ' ')) return true;
  }
  return false;
}

// Destinations whose content is never shown.
constexpr std::string_view kHiddenDestinations =
    "fonttbl colortbl stylesheet info pict header headerl headerr headerf footer footerl "
    "footerr footerf footnote listtable listoverridetable revtbl rsidtbl xmlnstbl themedata "
    "colorschememapping latentstyles datastore object nonshppict fldinst filetbl shp";

// Every kind of underline is shown as a plain one; "ulc" (its colour) is not a kind.
constexpr std::string_view kUnderlineWords =
    "ul uld uldash uldashd uldashdd uldb ulhwave ulldash ulth ulthd ulthdash ulthdashd "
    "ulthdashdd ulthldash ululdbwave ulw ulwave";

struct NamedChar {
  std::string_view name;
  char16_t code;
};
constexpr NamedChar kNamedChars[] = {
    {"line", 0x2028},   {"tab", u'\t'},      {"cell", u'\t'},       {"emdash", 0x2014},
    {"endash", 0x2013}, {"emspace", 0x2003}, {"enspace", 0x2002},   {"bullet", 0x2022},
    {"lquote", 0x2018}, {"rquote", 0x2019},  {"ldblquote", 0x201C}, {"rdblquote", 0x201D}};

struct CharSwitch {
  std::string_view name;
  bool CharState::*field;
};
constexpr CharSwitch kCharSwitches[] = {
    {"b", &CharState::bold}, {"i", &CharState::italic}, {"v", &CharState::hidden}};

struct ParaNumber {
  std::string_view name;
  int ParaState::*field;
};
constexpr ParaNumber kParaNumbers[] = {{"li", &ParaState::left},
                                       {"ri", &ParaState::right},
                                       {"fi", &ParaState::first},
                                       {"sb", &ParaState::before},
                                       {"sa", &ParaState::after}};

struct ParaAlignment {
  std::string_view name;
  Qt::AlignmentFlag align;
};
constexpr ParaAlignment kParaAlignments[] = {{"ql", Qt::AlignLeft},
                                             {"qc", Qt::AlignHCenter},
                                             {"qr", Qt::AlignRight},
                                             {"qj", Qt::AlignJustify}};

// Code page 1252 where it differs from Latin-1; 0 marks an unassigned byte.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

QChar fromCp1252(unsigned char byte) {
  if (byte >= 0x80 && byte < 0xA0) {
    char16_t mapped = kCp1252High[byte - 0x80];
    return mapped ? QChar(mapped) : QChar(QChar::ReplacementCharacter);
  }
  return QChar(byte);
}

int hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool isLetter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool isDigit(char c) {
  return c >= '0' && c <= '9';
}

class Renderer {
 public:
  Renderer(std::string_view rtf, QTextDocument& document) : in_(rtf), cursor_(&document) {}

  void run() {
    while (pos_ < in_.size() && !finished_) step();
    if (!runs_.isEmpty()) endParagraph();
  }

 private:
  void step() {
    const char c = in_[pos_++];
    if (c == '{') {
      fallbackLeft_ = 0;
      stack_.push_back(state_);
    } else if (c == '}') {
      fallbackLeft_ = 0;
      if (stack_.empty()) {
        finished_ = true;
      } else {
        state_ = stack_.back();
        stack_.pop_back();
        finished_ = stack_.empty();
      }
    } else if (c == '\\') {
      escape();
    } else if (c == '\r' || c == '\n') {
      // Line breaks in the file carry no meaning.
    } else if (c == '\t') {
      character(u'\t');
    } else {
      character(fromCp1252(static_cast<unsigned char>(c)));
    }
  }

  void escape() {
    if (pos_ >= in_.size()) return;
    const char c = in_[pos_];
    if (!isLetter(c)) {
      ++pos_;
      symbol(c);
      return;
    }
    const size_t start = pos_;
    while (pos_ < in_.size() && isLetter(in_[pos_])) ++pos_;
    const std::string_view word = in_.substr(start, pos_ - start);
    bool hasParam = false;
    long long param = 0;
    bool negative = false;
    if (pos_ + 1 < in_.size() && in_[pos_] == '-' && isDigit(in_[pos_ + 1])) {
      negative = true;
      ++pos_;
    }
    while (pos_ < in_.size() && isDigit(in_[pos_])) {
      hasParam = true;
      if (param < INT_MAX) param = param * 10 + (in_[pos_] - '0');
      ++pos_;
    }
    if (pos_ < in_.size() && in_[pos_] == ' ') ++pos_;
    const int value = static_cast<int>(std::min<long long>(param, INT_MAX)) * (negative ? -1 : 1);
    controlWord(word, hasParam, value);
  }

  // A control symbol: "\" and one character that is not a letter.
  void symbol(char c) {
    switch (c) {
      case '\'': {
        const int high = pos_ < in_.size() ? hexValue(in_[pos_]) : -1;
        const int low = pos_ + 1 < in_.size() ? hexValue(in_[pos_ + 1]) : -1;
        if (high < 0 || low < 0) return;
        pos_ += 2;
        const auto byte = static_cast<unsigned char>(high * 16 + low);
        // Bullets often come as byte 0xB7 of a symbol font.
        const bool symbolBullet = byte == 0xB7 && symbolFonts_.contains(state_.chars.font);
        character(symbolBullet ? QChar(0x2022) : fromCp1252(byte));
        return;
      }
      case '*':
        state_.skip = true;
        return;
      case '~':
        character(QChar(0x00A0));
        return;
      case '_':
        character(QChar(0x2011));
        return;
      case '-':
        character(QChar(0x00AD));
        return;
      case '\r':
      case '\n':
        paragraphMark();
        return;
      case '\\':
      case '{':
      case '}':
        character(QChar::fromLatin1(c));
        return;
      default:
        return;
    }
  }

  void controlWord(std::string_view w, bool hasParam, int value) {
    if (w == "bin") {  // raw bytes follow, which may contain braces
      pos_ = std::min(in_.size(), pos_ + static_cast<size_t>(std::max(value, 0)));
      return;
    }
    if (inList(kHiddenDestinations, w)) {
      state_.skip = true;
      state_.fontTable = w == "fonttbl";
      return;
    }
    if (state_.fontTable) return fontTableWord(w, value);
    if (w == "par" || w == "page" || w == "sect" || w == "row") return paragraphMark();
    if (w == "u") return unicode(value);
    for (const NamedChar& named : kNamedChars) {
      if (w == named.name) return character(QChar(named.code));
    }
    if (fallbackLeft_ > 0) {  // any other word stands in for one fallback character
      --fallbackLeft_;
      return;
    }
    formattingWord(w, hasParam, value);
  }

  void fontTableWord(std::string_view w, int value) {
    if (w == "f") fontTableEntry_ = value;
    if (w == "fcharset" && value == 2) symbolFonts_.append(fontTableEntry_);
  }

  void formattingWord(std::string_view w, bool hasParam, int value) {
    const bool on = !hasParam || value != 0;
    CharState& ch = state_.chars;
    ParaState& pa = state_.para;
    for (const CharSwitch& sw : kCharSwitches) {
      if (w == sw.name) ch.*sw.field = on;
    }
    for (const ParaNumber& number : kParaNumbers) {
      if (w == number.name) pa.*number.field = value;
    }
    for (const ParaAlignment& alignment : kParaAlignments) {
      if (w == alignment.name) pa.align = alignment.align;
    }
    if (inList(kUnderlineWords, w)) ch.underline = on;
    if (w == "ulnone") ch.underline = false;
    if (w == "f") ch.font = value;
    if (w == "fs") ch.halfPoints = hasParam ? value : 24;
    if (w == "plain") ch = CharState{};
    if (w == "uc") state_.unicodeSkip = std::max(value, 0);
    if (w == "pard") pa = ParaState{};
    if (w == "tx") pa.tabs.append(value);
  }

  void unicode(int value) {
    if (state_.skip) return;
    fallbackLeft_ = 0;
    appendText(QChar(static_cast<char16_t>(value < 0 ? value + 65536 : value)));
    fallbackLeft_ = state_.unicodeSkip;
  }

  void character(QChar c) {
    if (fallbackLeft_ > 0) {
      --fallbackLeft_;
      return;
    }
    appendText(c);
  }

  void appendText(QChar c) {
    if (state_.skip || state_.chars.hidden) return;
    if (runs_.isEmpty() || !(runs_.back().chars == state_.chars)) {
      runs_.append(Run{QString(), state_.chars});
    }
    runs_.back().text.append(c);
  }

  void paragraphMark() {
    fallbackLeft_ = 0;
    if (!state_.skip) endParagraph();
  }

  // Paragraph formatting is taken as it stands at the paragraph's end: some
  // writers put a bullet's text before the paragraph's indents.
  void endParagraph() {
    const ParaState& pa = state_.para;
    QTextBlockFormat block;
    block.setLeftMargin(pixels(pa.left));
    block.setRightMargin(pixels(pa.right));
    block.setTextIndent(pixels(pa.first));
    block.setTopMargin(pixels(pa.before));
    block.setBottomMargin(pixels(pa.after));
    block.setAlignment(pa.align);
    block.setTabPositions(tabStops(pa));
    if (firstBlock_) {
      cursor_.setBlockFormat(block);
      firstBlock_ = false;
    } else {
      cursor_.insertBlock(block, QTextCharFormat());
    }
    for (const Run& run : runs_) cursor_.insertText(run.text, charFormat(run.chars));
    runs_.clear();
  }

  // Tab stops are given from the left edge of the text, the layout measures
  // them from the start of the first line. A hanging indent has an implied
  // stop at the indent.
  static QList<QTextOption::Tab> tabStops(const ParaState& pa) {
    QList<int> stops = pa.tabs;
    if (pa.first < 0 && !stops.contains(pa.left)) stops.append(pa.left);
    std::sort(stops.begin(), stops.end());
    QList<QTextOption::Tab> tabs;
    const qreal lineStart = pixels(pa.left) + pixels(pa.first);
    for (int stop : stops) {
      if (pixels(stop) > lineStart)
        tabs.append(QTextOption::Tab(pixels(stop) - lineStart, QTextOption::LeftTab));
    }
    return tabs;
  }

  static QTextCharFormat charFormat(const CharState& ch) {
    QTextCharFormat format;
    format.setFontWeight(ch.bold ? QFont::Bold : QFont::Normal);
    format.setFontItalic(ch.italic);
    format.setFontUnderline(ch.underline);
    if (ch.halfPoints > 0) format.setFontPointSize(ch.halfPoints / 2.0);
    return format;
  }

  std::string_view in_;
  size_t pos_ = 0;
  bool finished_ = false;
  GroupState state_;
  std::vector<GroupState> stack_;
  int fallbackLeft_ = 0;
  QList<Run> runs_;
  QList<int> symbolFonts_;
  int fontTableEntry_ = -1;
  QTextCursor cursor_;
  bool firstBlock_ = true;
};

}  // namespace

void renderRtf(const std::string& rtfBytes, QTextDocument& document) {
  const std::string_view rtf = rtfBytes;
  document.clear();
  const size_t start = rtf.find_first_not_of(" \t\r\n");
  if (start == std::string_view::npos || rtf.substr(start, 5) != "{\\rtf") {
    document.setPlainText(QString::fromLatin1(rtf.data(), static_cast<qsizetype>(rtf.size())));
    return;
  }
  Renderer(rtf.substr(start), document).run();
}
