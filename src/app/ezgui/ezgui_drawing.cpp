#include "app/ezgui/ezgui_drawing.h"

#include <array>

#include "app/ezgui/ezgui_backend.h"
#include "app/ezgui/ezgui_colours.h"
#include "app/ezgui/ezgui_state.h"
#include "app/ezgui/ezgui_units.h"

namespace {

struct EzDrawRecords {
  std::array<EzDrawRecord, EzDrawRecordCount> records;
  int currentErase = 0;  // the record EZ_STARTERASEBG handed out
};

EzDrawRecords Drawing;

// A record for the duration of one paint; nested paints each take their own.
class DrawRecord {
 public:
  DrawRecord() {
    for (int i = 0; i < EzDrawRecordCount; ++i) {
      if (!Drawing.records[static_cast<size_t>(i)].active) {
        number_ = i + 1;
        record().active = true;
        return;
      }
    }
  }
  ~DrawRecord() {
    if (number_ == 0) return;
    record() = EzDrawRecord{};
    if (Drawing.currentErase == number_) Drawing.currentErase = 0;
  }
  DrawRecord(const DrawRecord&) = delete;
  DrawRecord& operator=(const DrawRecord&) = delete;

  int number() const { return number_; }
  EzDrawRecord& record() { return Drawing.records[static_cast<size_t>(number_ - 1)]; }

 private:
  int number_ = 0;
};

EzDrawRecord* activeRecord(int number) {
  if (number < 1 || number > EzDrawRecordCount) return nullptr;
  EzDrawRecord& r = Drawing.records[static_cast<size_t>(number - 1)];
  return r.active ? &r : nullptr;
}

}  // namespace

bool ezOwnerDrawHandedOver(const EzFormBase& form, int id, EzSurface& surface, EzBox area,
                           EzButtonState state) {
  DrawRecord r;
  if (r.number() == 0) return true;
  EzDrawRecord& rec = r.record();
  rec.formKey = ezKey(form.name);
  rec.controlId = id;
  rec.surface = &surface;
  rec.area = area;
  rec.pressed = state.pressed;
  rec.disabled = state.disabled;
  rec.focused = state.focused;
  ezDeliver(form.serial, id, EzOwnerDraw, r.number());
  return r.record().done;
}

void ezBackgroundHandedOver(const EzFormBase& form, EzSurface& surface, EzBox area) {
  DrawRecord r;
  if (r.number() == 0) return;
  EzDrawRecord& rec = r.record();
  rec.erase = true;
  rec.formKey = ezKey(form.name);
  rec.surface = &surface;
  rec.area = area;
  ezDeliver(form.serial, 0, EzEraseBackground, r.number());
}

void ezForgetDrawRecords() {
  Drawing = EzDrawRecords{};
}

int ezDrawRecordsInUse() {
  int inUse = 0;
  for (const EzDrawRecord& r : Drawing.records) inUse += r.active ? 1 : 0;
  return inUse;
}

void EZ_DRAW3DBUTTON(const std::string& form, int id, int drawRecord, int colour, int style,
                     int font) {
  (void)style;
  EzDrawRecord* rec = activeRecord(drawRecord);
  if (!rec || rec->erase || rec->controlId != id || rec->formKey != ezKey(form)) return;
  const EzButtonState state{rec->pressed, rec->disabled, rec->focused};
  if (ezBackendDrawButton(*rec->surface, rec->area, form, id, state, ezColourRgb(colour), font)) {
    rec->done = true;
  }
}

int EZ_ODIFONT() {
  return EzControlFont;
}

int EZ_STARTERASEBG(int eventValue, float& width, float& height) {
  width = 0;
  height = 0;
  EzDrawRecord* rec = activeRecord(eventValue);
  if (!rec || !rec->erase) return 0;
  width = ezUnitsX(rec->area.width);
  height = ezUnitsY(rec->area.height);
  Drawing.currentErase = eventValue;
  return eventValue;
}

void EZ_DCDRAWPICTURE(int dc, int image, float x1, float y1, float x2, float y2) {
  EzDrawRecord* rec = activeRecord(dc);
  if (!rec || !rec->erase) return;
  const int left = ezPixelsX(x1);
  const int top = ezPixelsY(y1);
  ezBackendDrawImage(*rec->surface, image,
                     EzBox{left, top, ezPixelsX(x2) - left, ezPixelsY(y2) - top});
}

void EZ_ENDERASEBG(int& cancel) {
  EzDrawRecord* rec = activeRecord(Drawing.currentErase);
  if (!rec || !rec->erase) return;
  rec->done = true;
  cancel = 1;
}
