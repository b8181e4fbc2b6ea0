// Painting handed to the event routine over Qt: owner-drawn buttons
// (event 300) and the form's background (event 320).
#pragma once

#include <QColor>
#include <QFont>
#include <QRect>
#include <QString>

#include "app/ezgui/ezgui_drawing.h"

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
  EzButtonState state;
};
// A raised 3-D button in `face` (../ezgui_colours.h: ezButtonColours).
void ezDraw3dButton(QPainter& painter, const QRect& rect, const EzButtonLook& look);
