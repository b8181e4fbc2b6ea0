#include "app/ezgui/qt/ezgui_widgets.h"

#include <QCloseEvent>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QMenuBar>
#include <QWindowStateChangeEvent>
#include <algorithm>

#include "app/ezgui/qt/ezgui_forms.h"
#include "app/ezgui/qt/ezgui_paint.h"
#include "app/ezgui/qt/ezgui_state.h"

void ezTagWidget(QWidget* widget, int serial, int controlId) {
  widget->setProperty(EzSerialProperty, serial);
  widget->setProperty(EzControlProperty, controlId);
}

bool ezTagOf(const QWidget* widget, int& serial, int& controlId) {
  for (const QWidget* w = widget; w; w = w->parentWidget()) {
    const QVariant s = w->property(EzSerialProperty);
    if (s.isValid()) {
      serial = s.toInt();
      controlId = w->property(EzControlProperty).toInt();
      return true;
    }
  }
  return false;
}

// ---- Form window ---------------------------------------------------------------

EzFormWindow::EzFormWindow(int serial, QWidget* owner)
    : QWidget(owner, Qt::Window), serial_(serial) {
  ezTagWidget(this, serial, 0);
}

void EzFormWindow::layOut() {
  int top = 0;
  if (auto* bar = findChild<QMenuBar*>(QString(), Qt::FindDirectChildrenOnly)) {
    top = bar->sizeHint().height();
    bar->setGeometry(0, 0, width(), top);
  }
  if (auto* client = findChild<EzClient*>(QString(), Qt::FindDirectChildrenOnly)) {
    client->setGeometry(0, top, width(), std::max(0, height() - top));
  }
}

void EzFormWindow::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  layOut();
  ezDeliver(serial_, 0, EzSizeChanged, 0);
}

void EzFormWindow::closeEvent(QCloseEvent* event) {
  // Unloading hides and later deletes the window itself.
  if (ezFormClosedByUser(serial_)) {
    event->accept();
  } else {
    event->ignore();
  }
}

void EzFormWindow::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() != QEvent::WindowStateChange) return;
  const auto* change = static_cast<QWindowStateChangeEvent*>(event);
  const bool wasMinOrMax = change->oldState() & (Qt::WindowMinimized | Qt::WindowMaximized);
  const bool nowNormal = !(windowState() & (Qt::WindowMinimized | Qt::WindowMaximized));
  if (wasMinOrMax && nowNormal) ezDeliver(serial_, 0, EzSizeRestored, 0);
}

// ---- Client area ---------------------------------------------------------------

EzClient::EzClient(int serial, QWidget* parent) : QWidget(parent), serial_(serial) {
  ezTagWidget(this, serial, 0);
}

void EzClient::layOutExtras() {
  EzForm* form = ezFindFormBySerial(serial_);
  if (!form) return;
  for (auto& [id, control] : form->controls) {
    if (!control.widget) continue;
    if (control.kind == EzKind::StatusBar) {
      auto* bar = static_cast<EzStatusBar*>(control.widget.data());
      const int h = bar->preferredHeight();
      bar->setGeometry(0, height() - h, width(), h);
      bar->raise();
    } else if (control.fillsClient) {
      control.widget->setGeometry(rect());
    }
  }
}

void EzClient::paintEvent(QPaintEvent*) {
  ezPaintBackground(*this, serial_);
}

void EzClient::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  layOutExtras();
}

// ---- Controls -------------------------------------------------------------------

EzOwnerButton::EzOwnerButton(int serial, int id, QWidget* parent)
    : QAbstractButton(parent), serial_(serial), id_(id) {
  setFocusPolicy(Qt::StrongFocus);
}

QSize EzOwnerButton::sizeHint() const {
  const QFontMetrics fm(font());
  return QSize(fm.horizontalAdvance(text()) + 16, fm.height() + 10);
}

void EzOwnerButton::paintEvent(QPaintEvent*) {
  ezPaintOwnerButton(*this, serial_, id_);
}

void EzRadio::nextCheckState() {
  setChecked(true);
  if (!parentWidget()) return;
  for (EzRadio* other : parentWidget()->findChildren<EzRadio*>(Qt::FindDirectChildrenOnly)) {
    if (other != this) other->setChecked(false);
  }
}

EzCombo::EzCombo(int serial, int id, QWidget* parent)
    : QComboBox(parent), serial_(serial), id_(id) {}

void EzCombo::showPopup() {
  // Qt drops a disabled list down when asked to; a disabled list does not.
  if (!isEnabled()) return;
  ezDeliver(serial_, id_, EzListDropsDown, 0);
  QComboBox::showPopup();
}

EzStatusPart::EzStatusPart(QWidget* parent) : QLabel(parent) {
  setFrameStyle(QFrame::Panel | QFrame::Sunken);
  setTextFormat(Qt::PlainText);
  // A width of its own, not of its text: a long text must not push the
  // other parts aside.
  setMinimumWidth(1);
  setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
}

void EzStatusPart::setWholeText(const QString& text) {
  whole_ = text;
  fit();
}

void EzStatusPart::resizeEvent(QResizeEvent* event) {
  QLabel::resizeEvent(event);
  fit();
}

void EzStatusPart::fit() {
  const QFontMetrics metrics(font());
  // The label's own indent beside its frame, on both sides to be safe.
  const int room =
      contentsRect().width() - 2 * margin() - metrics.horizontalAdvance(QLatin1Char('x'));
  const QString shown = metrics.elidedText(whole_, Qt::ElideMiddle, std::max(room, 0));
  setText(shown);
  setToolTip(shown == whole_ ? QString() : whole_);
}

EzStatusBar::EzStatusBar(QWidget* parent) : QFrame(parent) {
  auto* row = new QHBoxLayout(this);
  row->setContentsMargins(2, 2, 2, 2);
  row->setSpacing(2);
  // Colours of its own: on the form's background colour, or in a desktop
  // theme's, its texts would not stand out enough to read.
  QPalette colours = palette();
  colours.setColor(QPalette::Window, QColor(240, 240, 240));
  colours.setColor(QPalette::WindowText, Qt::black);
  setPalette(colours);
  setAutoFillBackground(true);
  setParts({100});
}

void EzStatusBar::setParts(const std::vector<int>& percentages) {
  auto* row = static_cast<QHBoxLayout*>(layout());
  std::vector<QString> texts;
  for (EzStatusPart* part : parts_) {
    texts.push_back(part->wholeText());
    row->removeWidget(part);
    delete part;
  }
  parts_.clear();
  for (size_t i = 0; i < percentages.size(); ++i) {
    auto* part = new EzStatusPart(this);
    if (i < texts.size()) part->setWholeText(texts[i]);
    row->addWidget(part, std::max(1, percentages[i]));
    part->show();
    parts_.push_back(part);
  }
  row->activate();
}

void EzStatusBar::setPartText(int part, const QString& text) {
  if (part < 1 || part > partCount()) return;
  parts_[static_cast<size_t>(part - 1)]->setWholeText(text);
}

QString EzStatusBar::partText(int part) const {
  if (part < 1 || part > partCount()) return QString();
  return parts_[static_cast<size_t>(part - 1)]->wholeText();
}

int EzStatusBar::preferredHeight() const {
  return QFontMetrics(font()).height() + 10;
}
