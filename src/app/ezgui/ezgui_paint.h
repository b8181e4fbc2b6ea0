// Painting handed to the event routine: owner-drawn buttons (event 300)
// and the form's background (event 320).
#pragma once

#include <QColor>
#include <QFont>
#include <QRect>
#include <QString>

class QPainter;
class QPaintEvent;
class EzOwnerButton;
class EzClient;

void ezPaintOwnerButton(EzOwnerButton& button, int serial, int id);
void ezPaintBackground(EzClient& client, int serial);

struct EzButtonLook {
  QColor face;
  QColor text;
  QFont font;
  QString label;
  bool pressed = false;
  bool disabled = false;
  bool focused = false;
};
// A raised 3-D button in `face`; sunk when pressed, greyed when disabled.
void ezDraw3dButton(QPainter& painter, const QRect& rect, const EzButtonLook& look);
