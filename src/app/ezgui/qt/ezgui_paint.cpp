// Painting handed to the event routine over Qt: the records and their rules
// are the layer's (../ezgui_drawing.h); here the painter, the plain 3-D
// button in the layer's colours and the picture stretched over the
// background.
#include "app/ezgui/qt/ezgui_paint.h"

#include <QPainter>

#include "app/ezgui/qt/ezgui_state.h"
#include "app/ezgui/qt/ezgui_style.h"
#include "app/ezgui/qt/ezgui_widgets.h"

namespace {

QColor orDefault(const QColor& c, const QColor& fallback) {
  return c.isValid() ? c : fallback;
}

QColor qColour(EzRgb c) {
  return QColor(c.red, c.green, c.blue);
}

EzRgb rgbOf(const QColor& c) {
  return {c.red(), c.green(), c.blue()};
}

EzBox boxOf(const QRect& r) {
  return {r.x(), r.y(), r.width(), r.height()};
}

QRect rectOf(const EzBox& b) {
  return QRect(b.x, b.y, b.width, b.height);
}

void bevel(QPainter& p, const QRect& r, const QColor& topLeft, const QColor& bottomRight) {
  p.setPen(topLeft);
  p.drawLine(r.topLeft(), r.topRight());
  p.drawLine(r.topLeft(), r.bottomLeft());
  p.setPen(bottomRight);
  p.drawLine(r.bottomLeft(), r.bottomRight());
  p.drawLine(r.topRight(), r.bottomRight());
}

}  // namespace

void ezDraw3dButton(QPainter& p, const QRect& rect, const EzButtonLook& look) {
  const EzButtonColours colours =
      ezButtonColours(rgbOf(look.face), rgbOf(look.text), look.state.disabled);
  const QColor face = qColour(colours.face);
  const QColor text = qColour(colours.text);
  p.save();
  p.fillRect(rect, face);
  const QRect outer = rect.adjusted(0, 0, -1, -1);
  const QRect inner = outer.adjusted(1, 1, -1, -1);
  if (look.state.pressed) {
    bevel(p, outer, qColour(colours.darkest), qColour(colours.light));
    bevel(p, inner, qColour(colours.dark), face);
  } else {
    bevel(p, outer, qColour(colours.light), qColour(colours.darkest));
    bevel(p, inner, face, qColour(colours.dark));
  }
  p.setFont(look.font);
  p.setPen(text);
  const QRect textArea = look.state.pressed ? rect.translated(1, 1) : rect;
  p.drawText(textArea, Qt::AlignCenter | Qt::TextShowMnemonic, look.label);
  if (look.state.focused) {
    QPen dots(text, 1, Qt::DotLine);
    p.setPen(dots);
    p.drawRect(rect.adjusted(4, 4, -5, -5));
  }
  p.restore();
}

void ezPaintOwnerButton(EzOwnerButton& button, int serial, int id) {
  QPainter painter(&button);
  EzForm* form = ezFindFormBySerial(serial);
  if (!form) return;
  EzSurface surface{&painter};
  const EzButtonState state{button.isDown(), !button.isEnabled(), button.hasFocus()};
  if (ezOwnerDrawHandedOver(*form, id, surface, boxOf(button.rect()), state)) return;
  // The program did not draw it: a plain 3-D button in its own colours.
  const EzControl* c = ezFindControl(form->name, id);
  EzButtonLook look;
  look.face =
      orDefault(c ? ezColour(c->background) : QColor(), button.palette().color(QPalette::Button));
  look.text = orDefault(c ? ezColour(c->foreground) : QColor(),
                        button.palette().color(QPalette::ButtonText));
  look.font = button.font();
  look.label = button.text();
  look.state = state;
  ezDraw3dButton(painter, button.rect(), look);
}

void ezPaintBackground(EzClient& client, int serial) {
  QPainter painter(&client);
  EzForm* form = ezFindFormBySerial(serial);
  if (!form) return;
  painter.fillRect(client.rect(),
                   orDefault(ezColour(form->background), client.palette().color(QPalette::Window)));
  EzSurface surface{&painter};
  ezBackgroundHandedOver(*form, surface, boxOf(client.rect()));
}

bool ezBackendDrawButton(EzSurface& surface, EzBox area, const std::string& form, int id,
                         EzButtonState state, std::optional<EzRgb> face, int font) {
  const EzControl* c = ezFindControl(form, id);
  if (!c) return false;
  auto* button = qobject_cast<QAbstractButton*>(c->widget.data());
  EzButtonLook look;
  look.face = orDefault(ezQColor(face), c->widget->palette().color(QPalette::Button));
  look.text = orDefault(ezColour(c->foreground), c->widget->palette().color(QPalette::ButtonText));
  look.font = font == EzControlFont ? c->widget->font() : ezFont(font);
  look.label = button ? button->text() : QString();
  look.state = state;
  ezDraw3dButton(*surface.painter, rectOf(area), look);
  return true;
}

void ezBackendDrawImage(EzSurface& surface, int image, EzBox target) {
  if (image < 1 || image > static_cast<int>(EzLayer.images.size())) return;
  // The far edges as the picture's last row and column.
  const QRect into(QPoint(target.x, target.y), QPoint(target.right(), target.bottom()));
  surface.painter->drawPixmap(into, EzLayer.images[static_cast<size_t>(image - 1)]);
}
