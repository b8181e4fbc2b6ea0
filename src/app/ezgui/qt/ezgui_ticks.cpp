// The form's ticks: a timer owned by the form's window, so that it goes
// with the window.
#include <QTimer>

#include "app/ezgui/qt/ezgui_state.h"

namespace {

constexpr char kTickTimerName[] = "ezTicks";

}  // namespace

void ezBackendSetTicks(EzFormBase& base, int periodMs) {
  EzForm* form = ezFindFormBySerial(base.serial);
  if (!form || !form->window) return;
  auto* timer = form->window->findChild<QTimer*>(kTickTimerName, Qt::FindDirectChildrenOnly);
  if (periodMs <= 0) {
    delete timer;
    return;
  }
  if (!timer) {
    timer = new QTimer(form->window);
    timer->setObjectName(kTickTimerName);
    const int serial = form->serial;
    QObject::connect(timer, &QTimer::timeout, [serial] {
      const EzForm* ticking = ezFindFormBySerial(serial);
      if (ticking && !ticking->goingAway) ezDeliver(serial, 0, EzTick, 0);
    });
  }
  timer->start(periodMs);
}
