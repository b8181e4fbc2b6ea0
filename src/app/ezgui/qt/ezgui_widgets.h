// The widget classes behind forms and controls. Each knows its form by
// serial number and its control identifier, and turns what happens to it
// into events through ezDeliver.
#pragma once

#include <QAbstractButton>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QRadioButton>
#include <QWidget>
#include <vector>

// The property names under which every form window and control widget
// carries its form's serial number and its control identifier.
inline constexpr const char* EzSerialProperty = "ezFormSerial";
inline constexpr const char* EzControlProperty = "ezControlId";

void ezTagWidget(QWidget* widget, int serial, int controlId);
// The form serial and control identifier of a widget or of the nearest
// tagged widget above it; false when there is none.
bool ezTagOf(const QWidget* widget, int& serial, int& controlId);

// A form's top-level window: menu bar on top, client area below.
class EzFormWindow : public QWidget {
 public:
  EzFormWindow(int serial, QWidget* owner);
  int serial() const { return serial_; }
  void layOut();

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  int serial_;
};

// The client area: paints the background (event 320) and keeps the status
// bar at its bottom.
class EzClient : public QWidget {
 public:
  EzClient(int serial, QWidget* parent);
  void layOutExtras();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  int serial_;
};

// A button drawn by the program through event 300.
class EzOwnerButton : public QAbstractButton {
 public:
  EzOwnerButton(int serial, int id, QWidget* parent);
  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  int serial_;
  int id_;
};

// A radio button that a click always checks, and that the program may
// check or uncheck freely; a click unchecks the other radio buttons of the
// form, as a group of radio buttons does.
class EzRadio : public QRadioButton {
 public:
  explicit EzRadio(QWidget* parent) : QRadioButton(parent) {}

 protected:
  void nextCheckState() override;
};

// A combo box that reports event 108 when its list drops down.
class EzCombo : public QComboBox {
 public:
  EzCombo(int serial, int id, QWidget* parent);
  void showPopup() override;

 private:
  int serial_;
  int id_;
};

// One part of the status bar. A text too long for the part loses its
// middle, where a long file name's folders are, to an ellipsis, and shows
// whole as the part's tooltip.
class EzStatusPart : public QLabel {
 public:
  explicit EzStatusPart(QWidget* parent);
  void setWholeText(const QString& text);
  QString wholeText() const { return whole_; }

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void fit();
  QString whole_;
};

// A status bar of parts whose widths are percentages of the bar.
class EzStatusBar : public QFrame {
 public:
  explicit EzStatusBar(QWidget* parent);
  void setParts(const std::vector<int>& percentages);
  int partCount() const { return static_cast<int>(parts_.size()); }
  void setPartText(int part, const QString& text);  // part from 1
  QString partText(int part) const;
  int preferredHeight() const;

 private:
  std::vector<EzStatusPart*> parts_;
};
