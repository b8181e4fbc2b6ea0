#include "app/ezgui/qt/ezgui_style.h"

#include <QApplication>
#include <QFontDatabase>
#include <QPalette>

#include "app/ezgui/qt/ezgui_state.h"

namespace {

bool has(const std::string& props, char letter) {
  return props.find(letter) != std::string::npos;
}

QFont fixedFont() {
  return QFontDatabase::systemFont(QFontDatabase::FixedFont);
}

QFont builtInFont(int number) {
  QFont f = QApplication::font();
  switch (number) {
    case 1:
      return fixedFont();
    case 2:
      f.setBold(true);
      return f;
    case 3:
      f.setItalic(true);
      return f;
    case 4:
      f.setPointSizeF(10);
      return f;
    case 5:
      f = fixedFont();
      f.setBold(true);
      return f;
    default:
      return f;
  }
}

}  // namespace

QColor ezQColor(std::optional<EzRgb> colour) {
  return colour ? QColor(colour->red, colour->green, colour->blue) : QColor();
}

QColor ezPaletteColour(int number) {
  return ezQColor(ezPaletteRgb(number));
}

QColor ezColour(int number) {
  return ezQColor(ezColourRgb(number));
}

EzRgb ezBackendSystemColour(int systemIndex) {
  const QColor c = ezSystemColour(systemIndex);
  return {c.red(), c.green(), c.blue()};
}

QColor ezSystemColour(int systemIndex) {
  const QPalette p = QApplication::palette();
  switch (systemIndex) {
    case 4:  // menu
      return QApplication::palette("QMenu").color(QPalette::Window);
    case 5:  // window background
      return p.color(QPalette::Base);
    case 6:  // window frame
      return p.color(QPalette::Dark);
    case 7:  // menu text
      return QApplication::palette("QMenu").color(QPalette::WindowText);
    case 8:  // window text
      return p.color(QPalette::Text);
    case 13:  // highlight
      return p.color(QPalette::Highlight);
    case 14:  // highlighted text
      return p.color(QPalette::HighlightedText);
    case 15:  // button face
      return p.color(QPalette::Button);
    case 16:  // button shadow
      return p.color(QPalette::Dark);
    case 17:  // grey text
      return p.color(QPalette::Disabled, QPalette::Text);
    case 18:  // button text
      return p.color(QPalette::ButtonText);
    case 20:  // button highlight
      return p.color(QPalette::Light);
    case 23:  // tooltip text
      return p.color(QPalette::ToolTipText);
    case 24:  // tooltip background
      return p.color(QPalette::ToolTipBase);
    default:
      return p.color(QPalette::Window);
  }
}

QFont ezFont(int number) {
  auto it = EzLayer.fonts.find(number);
  if (it != EzLayer.fonts.end()) return it->second;
  return builtInFont(number);
}

namespace {

// Faces forms name that Linux desktops seldom have, with metric-compatible
// stand-ins first: a wider stand-in would cut off captions sized for them.
QStringList facesFor(const std::string& face) {
  const QString asked = QString::fromStdString(face);
  if (face == "Tahoma" || face == "Arial" || face == "MS Sans Serif")
    return {asked, "Liberation Sans", "Arimo", "DejaVu Sans Condensed", "DejaVu Sans"};
  if (face == "Courier New") return {asked, "Liberation Mono", "Cousine", "DejaVu Sans Mono"};
  if (face == "Times New Roman") return {asked, "Liberation Serif", "Tinos", "DejaVu Serif"};
  return {asked};
}

}  // namespace

QFont ezMakeFont(const std::string& face, float points, const std::string& props) {
  QFont f = QApplication::font();
  if (!face.empty()) f.setFamilies(facesFor(face));
  if (points > 0) f.setPointSizeF(points);
  f.setBold(has(props, 'B'));
  f.setItalic(has(props, 'I'));
  f.setUnderline(has(props, 'U'));
  if (has(props, 'F')) {
    f.setFixedPitch(true);
    f.setStyleHint(QFont::TypeWriter);
  }
  return f;
}

QFont ezNextControlFont() {
  return EzLayer.nextFont.value_or(QApplication::font());
}

void EZ_DEFFONT(int number, const std::string& face, float points, const std::string& props) {
  EzLayer.fonts[number] = ezMakeFont(face, points, props);
}

void EZ_USEFONT(int number) {
  if (number >= 0) {
    EzLayer.nextFont = ezFont(number);
  } else {
    EzLayer.nextFont.reset();
  }
}

void EZ_USEIFONT(const std::string& face, float points, const std::string& props) {
  EzLayer.nextFont = ezMakeFont(face, points, props);
}
