#include "app/ezgui/ezgui_style.h"

#include <QApplication>
#include <QFontDatabase>
#include <QPalette>
#include <array>

#include "app/ezgui/ezgui_state.h"

namespace {

constexpr std::array<QRgb, 32> Palette = {
    qRgb(0, 0, 0),       qRgb(0, 0, 128),     qRgb(0, 128, 0),     qRgb(0, 128, 128),
    qRgb(128, 0, 0),     qRgb(128, 0, 128),   qRgb(128, 128, 0),   qRgb(192, 192, 192),
    qRgb(128, 128, 128), qRgb(0, 0, 255),     qRgb(0, 192, 0),     qRgb(0, 255, 255),
    qRgb(230, 40, 40),   qRgb(255, 0, 255),   qRgb(255, 255, 0),   qRgb(255, 255, 255),
    qRgb(224, 224, 224), qRgb(170, 200, 255), qRgb(150, 230, 150), qRgb(190, 245, 245),
    qRgb(255, 170, 170), qRgb(245, 190, 245), qRgb(200, 210, 230), qRgb(255, 250, 215),
    qRgb(255, 150, 0),   qRgb(150, 90, 40),   qRgb(0, 0, 96),      qRgb(96, 96, 0),
    qRgb(0, 110, 110),   qRgb(140, 60, 200),  qRgb(230, 190, 40),  qRgb(200, 200, 210),
};

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

QColor ezPaletteColour(int number) {
  if (number < 0 || number >= static_cast<int>(Palette.size())) return QColor();
  return QColor(Palette[static_cast<size_t>(number)]);
}

QColor ezColour(int number) {
  auto it = EzLayer.colours.find(number);
  if (it != EzLayer.colours.end()) return it->second;
  return ezPaletteColour(number);
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

QColor ezColourFromBgr(int bgr) {
  const unsigned v = static_cast<unsigned>(bgr);
  return QColor(static_cast<int>(v & 0xFF), static_cast<int>((v >> 8) & 0xFF),
                static_cast<int>((v >> 16) & 0xFF));
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

void EZ_DEFSYSTEMCOLOR(int number, int systemIndex) {
  EzLayer.colours[number] = ezSystemColour(systemIndex);
}

void EZ_DEFCOLORL(int number, int bgr) {
  EzLayer.colours[number] = ezColourFromBgr(bgr);
}

void EZ_COLOR(int foreground, int background) {
  EzLayer.foreground = foreground;
  EzLayer.background = background;
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
