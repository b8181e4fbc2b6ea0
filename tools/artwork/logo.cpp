// The logo: the propeller badge beside the program's name, on a dark plate
// with a light edge. It is opaque and the window may show it on a stretched
// background, so it carries its own plate rather than trying to blend in.
#include <QFont>
#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <algorithm>

#include "artwork.h"

namespace {

constexpr int Width = 439;
constexpr int Height = 76;

QFont face(double pixels, QFont::Weight weight, double spacing) {
  QFont f(QStringLiteral("DejaVu Sans"));
  f.setPixelSize(static_cast<int>(pixels));
  f.setWeight(weight);
  f.setLetterSpacing(QFont::AbsoluteSpacing, spacing);
  f.setHintingPreference(QFont::PreferNoHinting);
  return f;
}

}  // namespace

QImage drawLogo() {
  QImage image(Width, Height, QImage::Format_RGB888);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setRenderHint(QPainter::TextAntialiasing);

  QLinearGradient plate(0, 0, 0, Height);
  plate.setColorAt(0.0, QColor(44, 76, 80));
  plate.setColorAt(1.0, QColor(26, 50, 55));
  painter.fillRect(image.rect(), plate);
  painter.setPen(QPen(FormColour.lighter(150), 1));
  painter.setBrush(Qt::NoBrush);
  painter.drawRect(QRectF(1.5, 1.5, Width - 3, Height - 3));

  const QString name = QStringLiteral("Morvane");
  const QString role = QStringLiteral("DATA TRANSFER UTILITY");
  const QFont nameFont = face(40, QFont::Bold, 0.5);
  const QFont roleFont = face(12, QFont::Normal, 2.2);
  const QFontMetricsF nameMetrics(nameFont);
  const QFontMetricsF roleMetrics(roleFont);

  const double badge = 54;
  const double gap = 14;
  const double textWidth =
      std::max(nameMetrics.horizontalAdvance(name), roleMetrics.horizontalAdvance(role));
  const double left = (Width - (badge + gap + textWidth)) / 2;
  paintPropellerBadge(painter, QRectF(left, (Height - badge) / 2, badge, badge),
                      static_cast<int>(badge));

  // The two lines are centred as a block on their cap heights, which is what
  // the eye measures, not on the fonts' ascents and descents.
  const double lineGap = 9;
  const double block = nameMetrics.capHeight() + lineGap + roleMetrics.capHeight();
  const double nameBase = (Height - block) / 2 + nameMetrics.capHeight();
  const double roleBase = nameBase + lineGap + roleMetrics.capHeight();
  const double textLeft = left + badge + gap;

  painter.setFont(nameFont);
  painter.setPen(QColor(250, 252, 250));
  painter.drawText(QPointF(textLeft, nameBase), name);
  painter.setFont(roleFont);
  painter.setPen(QColor(176, 214, 208));
  painter.drawText(QPointF(textLeft + 2, roleBase), role);
  return image;
}
