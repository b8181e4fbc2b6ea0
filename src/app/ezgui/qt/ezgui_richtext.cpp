#include "app/ezgui/qt/ezgui_richtext.h"

#include <QAbstractTextDocumentLayout>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <algorithm>

#include "app/ezgui/ezgui_lines.h"
#include "app/ezgui/qt/ezgui_controls.h"
#include "app/ezgui/qt/ezgui_style.h"

namespace {

EzControl* findView(const std::string& form, int id) {
  EzControl* c = ezFindControl(form, id);
  return c && c->kind == EzKind::RichView ? c : nullptr;
}

QTextEdit* viewOf(const EzControl& c) {
  return static_cast<QTextEdit*>(c.widget.data());
}

// The text as it stands, every character kept (toPlainText would turn a
// no-break space, byte 0xA0, into a space).
QString plainOf(const QTextDocument& doc) {
  QString text = doc.toRawText();
  text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
  return text;
}

qsizetype lengthOf(const QTextDocument& doc) {
  return doc.characterCount() - 1;  // without the closing paragraph mark
}

// Moving the selection must not scroll: only EZ_SCROLLTO does.
class KeepScroll {
 public:
  explicit KeepScroll(QTextEdit* view) : bar_(view->verticalScrollBar()), value_(bar_->value()) {}
  ~KeepScroll() { bar_->setValue(std::min(value_, bar_->maximum())); }
  KeepScroll(const KeepScroll&) = delete;
  KeepScroll& operator=(const KeepScroll&) = delete;

 private:
  QScrollBar* bar_;
  int value_;
};

// The text limit for an insert of `incoming` characters at `at`: drop the
// oldest lines first. Returns false when the insert goes past everything
// old before `at`; the caller then builds the new text as a whole.
bool makeRoom(QTextDocument& doc, qsizetype at, qsizetype incoming, qsizetype limit) {
  const qsizetype total = lengthOf(doc) + incoming;
  if (limit <= 0 || total <= limit) return true;
  const qsizetype need = total - limit;
  const QTextBlock block = doc.findBlock(static_cast<int>(need));
  qsizetype start = block.position();
  if (start < need) {
    const QTextBlock next = block.next();
    if (!next.isValid()) return false;
    start = next.position();
  }
  if (start > at || start >= total) return false;
  QTextCursor front(&doc);
  front.setPosition(0);
  front.setPosition(static_cast<int>(start), QTextCursor::KeepAnchor);
  front.removeSelectedText();
  return true;
}

void insertPlain(EzControl& c, const QString& text) {
  QTextEdit* view = viewOf(c);
  KeepScroll keep(view);
  QTextDocument& doc = *view->document();
  QTextCursor cursor = view->textCursor();
  if (cursor.hasSelection()) cursor.removeSelectedText();
  if (makeRoom(doc, cursor.position(), text.size(), c.richLimit)) {
    cursor = view->textCursor();
    cursor.insertText(text);
    view->setTextCursor(cursor);
    return;
  }
  QString whole = plainOf(doc);
  const qsizetype at = std::min<qsizetype>(cursor.position(), whole.size());
  whole.insert(at, text);
  const auto drop = static_cast<qsizetype>(ezCharactersToDrop(whole, c.richLimit));
  view->setPlainText(whole.mid(drop));
  QTextCursor after(&doc);
  after.setPosition(
      static_cast<int>(std::clamp<qsizetype>(at + text.size() - drop, 0, lengthOf(doc))));
  view->setTextCursor(after);
}

void replacePlain(EzControl& c, const QString& text) {
  viewOf(c)->setPlainText(text.mid(static_cast<qsizetype>(ezCharactersToDrop(text, c.richLimit))));
}

void loadDocument(EzControl& c, const std::string& rtf) {
  QTextEdit* view = viewOf(c);
  view->clear();
  if (EzLayer.rtfRenderer) EzLayer.rtfRenderer(rtf, *view->document());
  view->moveCursor(QTextCursor::Start);
}

void scrollToEnd(QAbstractScrollArea& area, QTextDocument* doc) {
  // The document is laid out as it is shown; lay out up to its end first
  // so that the scroll range reaches it.
  if (doc && doc->documentLayout()) doc->documentLayout()->blockBoundingRect(doc->lastBlock());
  QScrollBar* bar = area.verticalScrollBar();
  bar->setValue(bar->maximum());
}

}  // namespace

std::string ezRichViewText(const EzControl& view) {
  return ezToLatin1(plainOf(*viewOf(view)->document()));
}

void ezSetRtfRenderer(EzRtfRenderer renderer) {
  EzLayer.rtfRenderer = renderer;
}

// ---- Creating ---------------------------------------------------------------------------

void EZ_RICHTEXT2(const std::string& form, int id, float x, float y, float width, float height,
                  const std::string& props) {
  (void)props;
  QWidget* parent = ezControlParent(form);
  if (!parent) return;
  auto* view = new QTextEdit(parent);
  // The program writes the view; the user reads, selects and copies.
  view->setReadOnly(true);
  view->setAcceptRichText(false);
  view->setUndoRedoEnabled(false);
  view->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  ezAddControl(form, id, EzKind::RichView, view, x, y, width, height);
}

void EZ_RICHTEXT(const std::string& form, int id, float x, float y, float width, float height,
                 const std::string& props) {
  EZ_RICHTEXT2(form, id, x, y, width, height, props);
}

// ---- Calls that may come from the worker ---------------------------------------------------

void ezDoRichText(const std::string& form, int id, const std::string& text, int a, int b) {
  EzControl* c = findView(form, id);
  if (!c) return;
  if (a == 1) {
    loadDocument(*c, text);
  } else if (b == 1) {
    insertPlain(*c, ezFromLatin1(text));
  } else {
    replacePlain(*c, ezFromLatin1(text));
  }
}

void ezDoRichSelection(const std::string& form, int id, int start, int end) {
  EzControl* c = findView(form, id);
  if (!c) return;
  QTextEdit* view = viewOf(*c);
  const qsizetype length = lengthOf(*view->document());
  const auto place = [length](int p) {
    return static_cast<int>(p < 0 ? length : std::min<qsizetype>(p, length));
  };
  KeepScroll keep(view);
  QTextCursor cursor(view->document());
  cursor.setPosition(place(start));
  cursor.setPosition(place(end), QTextCursor::KeepAnchor);
  view->setTextCursor(cursor);
}

void ezDoScrollTo(const std::string& form, int id, int mode, int value) {
  (void)value;
  EzControl* c = ezFindControl(form, id);
  if (!c) return;
  auto* area = qobject_cast<QAbstractScrollArea*>(c->widget.data());
  if (!area) return;
  if (mode != 1) {
    area->verticalScrollBar()->setValue(0);
    return;
  }
  if (auto* view = qobject_cast<QTextEdit*>(area)) {
    scrollToEnd(*view, view->document());
  } else {
    scrollToEnd(*area, nullptr);
  }
}

// ---- GUI thread only --------------------------------------------------------------------------

void EZ_SETRICHFONT(const std::string& form, int id, const std::string& face, float points,
                    const std::string& props, const std::string& extra, int a, int b) {
  (void)extra;
  (void)a;
  (void)b;
  EzControl* c = ezOnGuiThread() ? findView(form, id) : nullptr;
  if (!c) return;
  c->font = ezMakeFont(face, points, props);
  viewOf(*c)->setFont(c->font);
  viewOf(*c)->document()->setDefaultFont(c->font);
}
