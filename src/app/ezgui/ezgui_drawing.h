// Painting handed to the event routine, the same on every platform:
// owner-drawn buttons (event 300) and a form's background (event 320). The
// event's value is the number (from 1) of a drawing record that holds the
// backend's drawing surface for the length of the paint; the drawing calls
// take it back and do nothing once the paint is over.
#pragma once

#include <string>

#include "app/ezgui/ezgui_placement.h"

struct EzFormBase;
// What a backend draws into (its painter or device context); opaque here.
struct EzSurface;

struct EzDrawRecord {
  bool active = false;
  bool erase = false;  // the form's background, not a button
  bool done = false;   // the program drew it
  std::string formKey;
  int controlId = 0;
  EzSurface* surface = nullptr;
  EzBox area;  // pixels
  bool pressed = false;
  bool disabled = false;
  bool focused = false;
};

inline constexpr int EzDrawRecordCount = 16;

struct EzButtonState {
  bool pressed = false;
  bool disabled = false;
  bool focused = false;
};

// Hands an owner-drawn button's paint to the event routine. False when the
// backend is to draw a plain 3-D button itself: the program did not draw
// it. Paints nested deeper than the records go are not drawn at all.
bool ezOwnerDrawHandedOver(const EzFormBase& form, int id, EzSurface& surface, EzBox area,
                           EzButtonState state);
// Hands the form's background to the event routine (once the backend
// filled it in the form's colour).
void ezBackgroundHandedOver(const EzFormBase& form, EzSurface& surface, EzBox area);
// Drops every record (layer reset).
void ezForgetDrawRecords();
// How many records a paint holds now (tests: none once the paints are done).
int ezDrawRecordsInUse();
