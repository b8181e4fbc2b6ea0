#include "app/ezgui/qt/ezgui_controls.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <algorithm>

#include "app/ezgui/qt/ezgui_richtext.h"
#include "app/ezgui/qt/ezgui_style.h"
#include "app/ezgui/qt/ezgui_widgets.h"

namespace {

bool has(const std::string& props, char letter) {
  return props.find(letter) != std::string::npos;
}

QStringList splitItems(const std::string& items) {
  if (items.empty()) return {};
  return ezFromBytes(items).split('|');
}

// A combo box is one line high whatever height it is given: the height a
// caller gives includes the dropped-down list.
QRect fitted(const EzControl& control, const QRect& r) {
  if (control.kind != EzKind::ComboBox) return r;
  return QRect(r.topLeft(),
               QSize(r.width(), std::min(r.height(), control.widget->sizeHint().height())));
}

}  // namespace

QWidget* ezControlParent(const std::string& form) {
  if (!ezOnGuiThread()) return nullptr;
  EzForm* f = ezFindForm(form);
  return f ? f->client.data() : nullptr;
}

void ezApplyColours(EzControl& control) {
  QWidget* w = control.widget;
  const QColor fg = ezColour(control.foreground);
  const QColor bg = ezColour(control.background);
  QPalette p = w->palette();
  switch (control.kind) {
    case EzKind::TextBox:
    case EzKind::MultiLine:
    case EzKind::RichView:
    case EzKind::ComboBox:
      if (fg.isValid()) {
        p.setColor(QPalette::Text, fg);
        p.setColor(QPalette::ButtonText, fg);
      }
      if (bg.isValid()) {
        p.setColor(QPalette::Base, bg);
        p.setColor(QPalette::Button, bg);
      }
      break;
    default:
      if (fg.isValid()) p.setColor(QPalette::WindowText, fg);
      if (bg.isValid() && !control.transparent) {
        p.setColor(QPalette::Window, bg);
        w->setAutoFillBackground(true);
      }
      break;
  }
  w->setPalette(p);
}

EzControl* ezAddControl(const std::string& form, int id, EzKind kind, QWidget* widget, float x,
                        float y, float width, float height) {
  EzForm* f = ezFindForm(form);
  if (!f) {
    delete widget;
    return nullptr;
  }
  if (auto old = f->controls.find(id); old != f->controls.end() && old->second.widget) {
    old->second.widget->deleteLater();
  }
  EzControl& c = f->controls[id];
  c = EzControl{};
  c.id = id;
  c.kind = kind;
  c.widget = widget;
  c.foreground = EzNext.foreground;
  c.background = EzNext.background;
  c.font = ezNextControlFont();
  c.transparent = widget->property("ezTransparent").toBool();
  ezTagWidget(widget, f->serial, id);
  widget->setFont(c.font);
  ezApplyColours(c);
  widget->setGeometry(fitted(c, ezRectFromUnits(x, y, width, height)));
  widget->show();

  const int serial = f->serial;
  if (EzNext.loadingEventNext) {
    EzNext.loadingEventNext = false;
    ezDeliver(serial, id, EzLoading, 0);
    return ezFindControl(form, id);
  }
  return &c;
}

// ---- Creating controls ------------------------------------------------------------

void EZ_LABEL(const std::string& form, int id, const std::string& text, float x, float y,
              float width, float height, const std::string& props) {
  QWidget* parent = ezControlParent(form);
  if (!parent) return;
  auto* label = new QLabel(ezFromBytes(text), parent);
  label->setTextFormat(Qt::PlainText);
  label->setAlignment((has(props, 'C') ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignVCenter);
  // "I": drawn over the form's background, not on a box of its own.
  label->setProperty("ezTransparent", has(props, 'I'));
  ezAddControl(form, id, EzKind::Label, label, x, y, width, height);
}

void EZ_ODBUTTON(const std::string& form, int id, const std::string& text, float x, float y,
                 float width, float height, const std::string& props) {
  (void)props;
  QWidget* parent = ezControlParent(form);
  if (!parent) return;
  EzForm* f = ezFindForm(form);
  auto* button = new EzOwnerButton(f->serial, id, parent);
  button->setText(ezFromBytes(text));
  const int serial = f->serial;
  QObject::connect(button, &QAbstractButton::clicked,
                   [serial, id] { ezDeliver(serial, id, EzClick, 0); });
  ezAddControl(form, id, EzKind::OwnerButton, button, x, y, width, height);
}

void EZ_RADIO(const std::string& form, int id, const std::string& text, float x, float y,
              float width, float height, const std::string& props) {
  (void)props;
  QWidget* parent = ezControlParent(form);
  if (!parent) return;
  auto* radio = new EzRadio(parent);
  radio->setText(ezFromBytes(text));
  radio->setAutoExclusive(false);
  const int serial = ezFindForm(form)->serial;
  QObject::connect(radio, &QAbstractButton::clicked,
                   [serial, id] { ezDeliver(serial, id, EzClick, 0); });
  ezAddControl(form, id, EzKind::Radio, radio, x, y, width, height);
}

void EZ_COMBOBOX(const std::string& form, int id, const std::string& items, float x, float y,
                 float width, float height, const std::string& props) {
  (void)props;
  QWidget* parent = ezControlParent(form);
  if (!parent) return;
  const int serial = ezFindForm(form)->serial;
  auto* combo = new EzCombo(serial, id, parent);
  combo->addItems(splitItems(items));
  combo->setCurrentIndex(-1);
  // activated, not currentIndexChanged: only a pick by the user is an event.
  QObject::connect(combo, &QComboBox::activated,
                   [serial, id](int index) { ezDeliver(serial, id, EzSelectionChanged, index); });
  ezAddControl(form, id, EzKind::ComboBox, combo, x, y, width, height);
}

void EZ_TEXT(const std::string& form, int id, const std::string& text, float x, float y,
             float width, float height, const std::string& props) {
  (void)props;
  QWidget* parent = ezControlParent(form);
  if (!parent) return;
  const int serial = ezFindForm(form)->serial;
  auto* box = new QLineEdit(ezFromBytes(text), parent);
  // textEdited, not textChanged: what the program writes is not an edit.
  QObject::connect(box, &QLineEdit::textEdited,
                   [serial, id] { ezDeliver(serial, id, EzTextEdited, 0); });
  ezAddControl(form, id, EzKind::TextBox, box, x, y, width, height);
}

// ---- Working with controls ----------------------------------------------------------

void EZ_ENABLEC(const std::string& form, int id) {
  if (EzControl* c = ezOnGuiThread() ? ezFindControl(form, id) : nullptr)
    c->widget->setEnabled(true);
}

void EZ_DISABLEC(const std::string& form, int id) {
  if (EzControl* c = ezOnGuiThread() ? ezFindControl(form, id) : nullptr)
    c->widget->setEnabled(false);
}

void EZ_SETTEXT(const std::string& form, int id, const std::string& text) {
  if (!ezOnGuiThread()) return;
  EzControl* c = ezFindControl(form, id);
  if (!c) {
    EzForm* f = id == 0 ? ezFindForm(form) : nullptr;
    if (f && f->window) f->window->setWindowTitle(ezFromBytes(text));
    return;
  }
  QWidget* w = c->widget;
  switch (c->kind) {
    case EzKind::Label:
      static_cast<QLabel*>(w)->setText(ezFromBytes(text));
      break;
    case EzKind::OwnerButton:
    case EzKind::Radio:
      static_cast<QAbstractButton*>(w)->setText(ezFromBytes(text));
      break;
    case EzKind::TextBox:
      static_cast<QLineEdit*>(w)->setText(ezFromBytes(text));
      break;
    case EzKind::ComboBox: {
      auto* combo = static_cast<QComboBox*>(w);
      combo->setCurrentIndex(combo->findText(ezFromBytes(text)));
      break;
    }
    case EzKind::MultiLine: {
      c->programText = text;
      QString shown = ezFromBytes(text);
      shown.replace("\r\n", "\n");
      shown.replace('\r', '\n');
      static_cast<QPlainTextEdit*>(w)->setPlainText(shown);
      break;
    }
    case EzKind::RichView:
      EZ_SETRICHTEXT(form, id, text, 0, 0);
      break;
    case EzKind::StatusBar:
      EZ_SETSBTEXT(form, id, 1, text, "");
      break;
    case EzKind::Picture:
      break;
  }
}

std::string ezControlText(const EzControl& c) {
  QWidget* w = c.widget;
  switch (c.kind) {
    case EzKind::Label:
      return ezToBytes(static_cast<QLabel*>(w)->text());
    case EzKind::OwnerButton:
    case EzKind::Radio:
      return ezToBytes(static_cast<QAbstractButton*>(w)->text());
    case EzKind::TextBox:
      return ezToBytes(static_cast<QLineEdit*>(w)->text());
    case EzKind::ComboBox:
      return ezToBytes(static_cast<QComboBox*>(w)->currentText());
    case EzKind::MultiLine:
      return c.programText;
    case EzKind::RichView:
      return ezRichViewText(c);
    case EzKind::StatusBar:
      return ezToBytes(static_cast<EzStatusBar*>(w)->partText(1));
    case EzKind::Picture:
      return "";
  }
  return "";
}

std::string EZ_GETTEXT(const std::string& form, int id) {
  if (!ezOnGuiThread()) return "";
  if (EzControl* c = ezFindControl(form, id)) return ezControlText(*c);
  EzForm* f = id == 0 ? ezFindForm(form) : nullptr;
  return f && f->window ? ezToBytes(f->window->windowTitle()) : "";
}

void EZ_SETCHECK(const std::string& form, int id, int checked) {
  if (auto* b = ezOnGuiThread() ? ezControlWidget<QAbstractButton>(form, id) : nullptr) {
    if (b->isCheckable()) b->setChecked(checked != 0);
  }
}

void EZ_CLEAR(const std::string& form, int id) {
  if (!ezOnGuiThread()) return;
  EzControl* c = ezFindControl(form, id);
  if (!c) return;
  if (c->kind == EzKind::ComboBox) {
    static_cast<QComboBox*>(c->widget.data())->clear();
  } else {
    EZ_SETTEXT(form, id, "");
  }
}

void EZ_ADDITEMS(const std::string& form, int id, const std::string& items) {
  if (auto* combo = ezOnGuiThread() ? ezControlWidget<QComboBox>(form, id) : nullptr) {
    const int selected = combo->currentIndex();
    combo->addItems(splitItems(items));
    // Adding items to a list selects nothing of its own accord.
    combo->setCurrentIndex(selected);
  }
}

void EZ_SELECTITEM(const std::string& form, int id, int index) {
  if (auto* combo = ezOnGuiThread() ? ezControlWidget<QComboBox>(form, id) : nullptr) {
    combo->setCurrentIndex(index >= 0 && index < combo->count() ? index : -1);
  }
}

void EZ_SETFOCUS(const std::string& form, int id) {
  if (!ezOnGuiThread()) return;
  if (EzControl* c = ezFindControl(form, id)) {
    c->widget->window()->activateWindow();
    c->widget->setFocus(Qt::OtherFocusReason);
  } else if (EzForm* f = id == 0 ? ezFindForm(form) : nullptr; f && f->window) {
    f->window->activateWindow();
  }
}

bool ezBackendIsEnabled(const std::string& form, int id) {
  const EzControl* c = ezFindControl(form, id);
  return c && c->widget->isEnabled();
}

void ezBackendDropDown(const std::string& form, int id) {
  if (auto* combo = ezControlWidget<QComboBox>(form, id)) combo->showPopup();
}

void EZ_RESIZE(const std::string& form, int id, float x, float y, float width, float height) {
  if (!ezOnGuiThread()) return;
  EzControl* c = ezFindControl(form, id);
  // The status bar and the debug form's text follow the form on their own.
  if (!c || c->kind == EzKind::StatusBar || c->fillsClient) return;
  c->widget->setGeometry(fitted(*c, ezRectFromUnits(x, y, width, height)));
}
