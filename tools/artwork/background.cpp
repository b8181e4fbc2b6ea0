// The main form's background: the form colour at the top where the labels
// stand, darker towards the bottom, crossed by a few faint flow lines. It is
// stretched over the whole window, so nothing in it may be round or
// text-like; and it stays dark enough that the white labels over it keep a
// contrast of at least 4.5 to 1.
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <cmath>

#include "artwork.h"

namespace {

constexpr int Width = 1008;
constexpr int Height = 756;

// A long, gentle curve across the whole width: a sum of two slow waves, so
// that neighbouring lines drift apart and together like a current.
QPainterPath flowLine(double baseline, double amplitude, double phase) {
  QPainterPath p;
  for (int x = -8; x <= Width + 8; x += 8) {
    const double t = x / static_cast<double>(Width);
    const double y = baseline + amplitude * std::sin(2 * M_PI * (1.3 * t + phase)) +
                     amplitude * 0.45 * std::sin(2 * M_PI * (2.7 * t + 2 * phase));
    if (x == -8) {
      p.moveTo(x, y);
    } else {
      p.lineTo(x, y);
    }
  }
  return p;
}

}  // namespace

QImage drawBackground() {
  QImage image(Width, Height, QImage::Format_RGB888);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);

  QLinearGradient depth(0, 0, 0, Height);
  depth.setColorAt(0.0, FormColour);
  depth.setColorAt(0.45, FormColour.darker(108));
  depth.setColorAt(1.0, FormColour.darker(140));
  painter.fillRect(image.rect(), depth);

  // Darker towards the sides, which draws the eye to the middle of the form.
  QRadialGradient edges(Width / 2.0, Height * 0.3, Width * 0.75);
  edges.setColorAt(0.55, QColor(0, 0, 0, 0));
  edges.setColorAt(1.0, QColor(0, 20, 24, 60));
  painter.fillRect(image.rect(), edges);

  for (int i = 0; i < 14; ++i) {
    const double baseline = 120 + i * 46.0;
    const int alpha = 12 + (i % 3) * 4;
    painter.setPen(QPen(QColor(200, 235, 230, alpha), 1.6));
    painter.drawPath(flowLine(baseline, 14 + (i % 4) * 3.0, i * 0.137));
  }
  return image;
}
