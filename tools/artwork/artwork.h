// The program's artwork. Everything is drawn from geometry and the DejaVu Sans
// face, so the images can be redrawn at any time and need no image files.
#pragma once

#include <QColor>
#include <QImage>
#include <QRectF>

class QPainter;

// The form's background colour; the background and the logo are built around it.
inline const QColor FormColour(84, 112, 112);

// The propeller badge filling `box` (a square), shared by the icon and the logo.
// `pixels` is the badge's size on screen, so small sizes get firmer lines.
void paintPropellerBadge(QPainter& painter, const QRectF& box, int pixels);

QImage drawIcon(int pixels);  // ARGB, transparent outside the badge
QImage drawBackground();      // 1008 x 756, opaque
QImage drawLogo();            // 439 x 76, opaque
