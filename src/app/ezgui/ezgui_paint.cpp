#include "app/ezgui/ezgui_paint.h"

#include <QPainter>

#include "app/ezgui/ezgui_state.h"
#include "app/ezgui/ezgui_style.h"
#include "app/ezgui/ezgui_widgets.h"

namespace {

// A record for the duration of one paint; its number (from 1) goes to the
// event routine as the event value.
class DrawRecord {
 public:
  DrawRecord() {
    for (int i = 0; i < EzDrawRecordCount; ++i) {
      if (!EzLayer.drawRecords[static_cast<size_t>(i)].active) {
        number_ = i + 1;
        record().active = true;
        return;
      }
    }
  }
  ~DrawRecord() {
    if (number_ == 0) return;
    record() = EzDrawRecord{};
    if (EzLayer.currentErase == number_) EzLayer.currentErase = 0;
  }
  DrawRecord(const DrawRecord&) = delete;
  DrawRecord& operator=(const DrawRecord&) = delete;

  int number() const { return number_; }
  EzDrawRecord& record() { return EzLayer.drawRecords[static_cast<size_t>(number_ - 1)]; }

 private:
  int number_ = 0;
};

EzDrawRecord* activeRecord(int number) {
  if (number < 1 || number > EzDrawRecordCount) return nullptr;
  EzDrawRecord& r = EzLayer.drawRecords[static_cast<size_t>(number - 1)];
  return r.active ? &r : nullptr;
}

QColor orDefault(const QColor& c, const QColor& fallback) {
  return c.isValid() ? c : fallback;
}

QColor mix(const QColor& a, const QColor& b) {
  return QColor((a.red() + b.red()) / 2, (a.green() + b.green()) / 2, (a.blue() + b.blue()) / 2);
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
  const QColor grey(160, 160, 160);
  const QColor face = look.disabled ? mix(look.face, grey) : look.face;
  const QColor text = look.disabled ? QColor(110, 110, 110) : look.text;
  const QColor light = face.lighter(160);
  const QColor dark = face.darker(170);
  const QColor darkest = face.darker(300);
  p.save();
  p.fillRect(rect, face);
  const QRect outer = rect.adjusted(0, 0, -1, -1);
  const QRect inner = outer.adjusted(1, 1, -1, -1);
  if (look.pressed) {
    bevel(p, outer, darkest, light);
    bevel(p, inner, dark, face);
  } else {
    bevel(p, outer, light, darkest);
    bevel(p, inner, face, dark);
  }
  p.setFont(look.font);
  p.setPen(text);
  const QRect textArea = look.pressed ? rect.translated(1, 1) : rect;
  p.drawText(textArea, Qt::AlignCenter | Qt::TextShowMnemonic, look.label);
  if (look.focused) {
    QPen dots(text, 1, Qt::DotLine);
    p.setPen(dots);
    p.drawRect(rect.adjusted(4, 4, -5, -5));
  }
  p.restore();
}

void ezPaintOwnerButton(EzOwnerButton& button, int serial, int id) {
  QPainter painter(&button);
  DrawRecord r;
  if (r.number() == 0) return;  // paints nested deeper than the table: not drawn
  EzForm* form = ezFindFormBySerial(serial);
  if (!form) return;
  EzDrawRecord& rec = r.record();
  rec.formKey = ezKey(form->name);
  rec.controlId = id;
  rec.painter = &painter;
  rec.rect = button.rect();
  rec.pressed = button.isDown();
  rec.disabled = !button.isEnabled();
  rec.focused = button.hasFocus();
  ezDeliver(serial, id, EzOwnerDraw, r.number());
  if (r.record().done) return;
  // The program did not draw it: a plain 3-D button in its own colours.
  const EzControl* c = ezFindControl(form->name, id);
  EzButtonLook look;
  look.face =
      orDefault(c ? ezColour(c->background) : QColor(), button.palette().color(QPalette::Button));
  look.text = orDefault(c ? ezColour(c->foreground) : QColor(),
                        button.palette().color(QPalette::ButtonText));
  look.font = button.font();
  look.label = button.text();
  look.pressed = rec.pressed;
  look.disabled = rec.disabled;
  look.focused = rec.focused;
  ezDraw3dButton(painter, button.rect(), look);
}

void ezPaintBackground(EzClient& client, int serial) {
  QPainter painter(&client);
  EzForm* form = ezFindFormBySerial(serial);
  if (!form) return;
  painter.fillRect(client.rect(),
                   orDefault(ezColour(form->background), client.palette().color(QPalette::Window)));
  DrawRecord r;
  if (r.number() == 0) return;
  EzDrawRecord& rec = r.record();
  rec.erase = true;
  rec.formKey = ezKey(form->name);
  rec.painter = &painter;
  rec.rect = client.rect();
  ezDeliver(serial, 0, EzEraseBackground, r.number());
}

void EZ_DRAW3DBUTTON(const std::string& form, int id, int drawRecord, int colour, int style,
                     int font) {
  (void)style;
  EzDrawRecord* rec = activeRecord(drawRecord);
  if (!rec || rec->erase || rec->controlId != id || rec->formKey != ezKey(form)) return;
  const EzControl* c = ezFindControl(form, id);
  if (!c) return;
  auto* button = qobject_cast<QAbstractButton*>(c->widget.data());
  EzButtonLook look;
  look.face = orDefault(ezColour(colour), c->widget->palette().color(QPalette::Button));
  look.text = orDefault(ezColour(c->foreground), c->widget->palette().color(QPalette::ButtonText));
  look.font = font == EzControlFont ? c->widget->font() : ezFont(font);
  look.label = button ? button->text() : QString();
  look.pressed = rec->pressed;
  look.disabled = rec->disabled;
  look.focused = rec->focused;
  ezDraw3dButton(*rec->painter, rec->rect, look);
  rec->done = true;
}

int EZ_ODIFONT() {
  return EzControlFont;
}

int EZ_STARTERASEBG(int eventValue, float& width, float& height) {
  width = 0;
  height = 0;
  EzDrawRecord* rec = activeRecord(eventValue);
  if (!rec || !rec->erase) return 0;
  width = ezUnitsX(rec->rect.width());
  height = ezUnitsY(rec->rect.height());
  EzLayer.currentErase = eventValue;
  return eventValue;
}

void EZ_DCDRAWPICTURE(int dc, int image, float x1, float y1, float x2, float y2) {
  EzDrawRecord* rec = activeRecord(dc);
  if (!rec || !rec->erase || image < 1 || image > static_cast<int>(EzLayer.images.size())) return;
  const QRect target(QPoint(ezPixelsX(x1), ezPixelsY(y1)), QPoint(ezPixelsX(x2), ezPixelsY(y2)));
  rec->painter->drawPixmap(target, EzLayer.images[static_cast<size_t>(image - 1)]);
}

void EZ_ENDERASEBG(int& cancel) {
  EzDrawRecord* rec = activeRecord(EzLayer.currentErase);
  if (!rec || !rec->erase) return;
  rec->done = true;
  cancel = 1;
}
