#include "app/ezgui/qt/ezgui_readback.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QTimer>

#include "app/ezgui/ezgui_queue.h"
#include "app/ezgui/qt/ezgui_controls.h"
#include "app/ezgui/qt/ezgui_forms.h"
#include "app/ezgui/qt/ezgui_widgets.h"

void ezResetLayer() {
  ezUnloadAllSilently();
  ezForgetQueued();
  ezWatchQueueWith(nullptr);
  EzNext = EzNextSettings{};
  EzForms = EzProgramForms{};
  ezForgetColours();
  ezForgetUnits();
  ezForgetDrawRecords();
  while (QApplication::overrideCursor()) QApplication::restoreOverrideCursor();
  const EzEventRoutine events = EzLayer.events;
  const EzDesignRoutine design = EzLayer.design;
  const EzRtfRenderer renderer = EzLayer.rtfRenderer;
  EzLayer = EzLayerState{};
  EzLayer.events = events;
  EzLayer.design = design;
  EzLayer.rtfRenderer = renderer;
}

QWidget* ezWidget(const std::string& form, int id) {
  if (EzControl* c = ezFindControl(form, id)) return c->widget;
  EzForm* f = id == 0 ? ezFindForm(form) : nullptr;
  return f ? f->window.data() : nullptr;
}

bool ezIsEnabled(const std::string& form, int id) {
  QWidget* w = ezWidget(form, id);
  return w && w->isEnabled();
}

bool ezIsChecked(const std::string& form, int id) {
  auto* b = qobject_cast<QAbstractButton*>(ezWidget(form, id));
  return b && b->isChecked();
}

bool ezIsVisible(const std::string& form, int id) {
  QWidget* w = ezWidget(form, id);
  return w && w->isVisible();
}

std::string ezText(const std::string& form, int id) {
  return EZ_GETTEXT(form, id);
}

std::vector<std::string> ezListItems(const std::string& form, int id) {
  std::vector<std::string> items;
  if (auto* combo = ezControlWidget<QComboBox>(form, id)) {
    for (int i = 0; i < combo->count(); ++i) items.push_back(ezToBytes(combo->itemText(i)));
  }
  return items;
}

int ezSelectedIndex(const std::string& form, int id) {
  auto* combo = ezControlWidget<QComboBox>(form, id);
  return combo ? combo->currentIndex() : -1;
}

std::string ezStatusText(const std::string& form, int id, int part) {
  auto* bar = ezControlWidget<EzStatusBar>(form, id);
  return bar ? ezToBytes(bar->partText(part)) : "";
}

int ezStatusPartCount(const std::string& form, int id) {
  auto* bar = ezControlWidget<EzStatusBar>(form, id);
  return bar ? bar->partCount() : 0;
}

int ezRichTextLimit(const std::string& form, int id) {
  EzControl* c = ezFindControl(form, id);
  return c ? c->richLimit : 0;
}

std::string ezLastTooltip() {
  return EzLayer.lastTooltip;
}

void ezGeometry(const std::string& form, int id, float& x, float& y, float& width, float& height) {
  x = y = width = height = 0;
  QWidget* w = ezWidget(form, id);
  if (!w) return;
  const QRect r = w->geometry();
  x = ezUnitsX(r.x());
  y = ezUnitsY(r.y());
  width = ezUnitsX(r.width());
  height = ezUnitsY(r.height());
}

int ezCurrentCursor() {
  return EzLayer.currentCursor;
}

bool ezThreadRunning(const std::string& form) {
  EzForm* f = ezFindForm(form);
  return f && f->threadRunning;
}

void ezSetResourceFolder(const std::string& folder) {
  EzLayer.resourceFolder = folder;
}

void ezSetProgramPath(const std::string& path) {
  EzLayer.programPath = path;
}

int ezSendEvent(const std::string& form, int id, int code, int value) {
  EzForm* f = ezFindForm(form);
  return f ? ezDeliver(f->serial, id, code, value) : 0;
}

bool ezQueueTimerRunning() {
  return EzLayer.drainTimer && EzLayer.drainTimer->isActive();
}
