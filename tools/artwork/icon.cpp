// The propeller badge: a three-bladed current-meter propeller on a round
// water-coloured disc. It is drawn on a 64-unit square; the wave across the
// disc only appears from 32 pixels up, below that it would blur the blades.
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>

#include "artwork.h"

namespace {

constexpr double Units = 64.0;

// One blade pointing up from the hub, swept to one side so the three read as
// turning rather than as a static star.
QPainterPath blade() {
  QPainterPath p;
  p.moveTo(-2.5, -2.0);
  p.cubicTo(-11.0, -7.0, -13.0, -19.0, -7.0, -25.0);
  p.cubicTo(-2.0, -29.0, 7.0, -27.0, 7.5, -19.0);
  p.cubicTo(7.5, -12.0, 5.0, -6.0, 2.5, -2.0);
  p.closeSubpath();
  return p;
}

QPainterPath wave(double top) {
  QPainterPath p;
  p.moveTo(0, top);
  p.cubicTo(16, top - 6, 24, top + 6, 40, top);
  p.cubicTo(48, top - 3, 56, top - 3, 64, top);
  p.lineTo(64, 64);
  p.lineTo(0, 64);
  p.closeSubpath();
  return p;
}

}  // namespace

void paintPropellerBadge(QPainter& painter, const QRectF& box, int pixels) {
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing);
  painter.translate(box.topLeft());
  painter.scale(box.width() / Units, box.height() / Units);
  // About one screen pixel at any size, a little more on the big ones.
  const double line = std::max(1.0, pixels / 40.0) * Units / pixels;

  const QPointF centre(32, 32);
  const double radius = 32 - line / 2;
  QPainterPath disc;
  disc.addEllipse(centre, radius, radius);

  QLinearGradient water(0, 0, 0, Units);
  water.setColorAt(0.0, QColor(70, 160, 168));
  water.setColorAt(1.0, QColor(18, 84, 96));
  painter.fillPath(disc, water);
  if (pixels >= 32) {
    painter.save();
    painter.setClipPath(disc);
    painter.fillPath(wave(40), QColor(10, 58, 74, 110));
    painter.restore();
  }
  painter.setPen(QPen(QColor(12, 44, 52), line));
  painter.setBrush(Qt::NoBrush);
  painter.drawPath(disc);

  const QColor bladeColour(248, 252, 250);
  painter.translate(centre);
  painter.setPen(pixels >= 32 ? QPen(QColor(12, 44, 52, 150), line * 0.75) : Qt::NoPen);
  painter.setBrush(bladeColour);
  for (int i = 0; i < 3; ++i) {
    painter.drawPath(blade());
    painter.rotate(120);
  }
  painter.setPen(Qt::NoPen);
  painter.drawEllipse(QPointF(0, 0), 6.0, 6.0);
  painter.setBrush(QColor(18, 84, 96));
  const double pin = pixels >= 32 ? 2.5 : 0.0;
  if (pin > 0) painter.drawEllipse(QPointF(0, 0), pin, pin);
  painter.restore();
}

QImage drawIcon(int pixels) {
  QImage image(pixels, pixels, QImage::Format_ARGB32);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  paintPropellerBadge(painter, QRectF(0, 0, pixels, pixels), pixels);
  return image;
}
