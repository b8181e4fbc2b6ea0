// Tooltips are asked for when they are about to show: event 8 goes to the
// event routine, which answers with EZ_SETTOOLTIP; no answer, no tooltip.
#include <QHelpEvent>
#include <QToolTip>
#include <QWidget>

#include "app/ezgui/qt/ezgui_state.h"
#include "app/ezgui/qt/ezgui_widgets.h"

namespace {

class TooltipFilter : public QObject {
 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::ToolTip) return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    int serial = 0;
    int id = 0;
    if (!widget || !ezTagOf(widget, serial, id)) return false;
    EzLayer.tooltipAnswered = false;
    EzLayer.tooltipAnswer.clear();
    ezDeliver(serial, id, EzTooltipWanted, 0);
    const auto* help = static_cast<QHelpEvent*>(event);
    if (EzLayer.tooltipAnswered && !EzLayer.tooltipAnswer.empty()) {
      QToolTip::showText(help->globalPos(), ezFromBytes(EzLayer.tooltipAnswer), widget);
    } else {
      QToolTip::hideText();
    }
    return true;
  }
};

}  // namespace

void EZ_ADDTOOLTIP(const std::string& form, int id) {
  EzControl* c = ezOnGuiThread() ? ezFindControl(form, id) : nullptr;
  if (!c) return;
  if (!EzLayer.tooltipFilter) EzLayer.tooltipFilter = std::make_unique<TooltipFilter>();
  // Scroll areas and combo boxes get the mouse in widgets of their own.
  c->widget->installEventFilter(EzLayer.tooltipFilter.get());
  for (QWidget* inner : c->widget->findChildren<QWidget*>()) {
    inner->installEventFilter(EzLayer.tooltipFilter.get());
  }
}

void EZ_SETTOOLTIP(const std::string& text) {
  EzLayer.tooltipAnswer = text;
  EzLayer.tooltipAnswered = true;
  EzLayer.lastTooltip = text;
}

// The look of tooltips is the desktop's.
void EZ_DEFTOOLTIPPROP(int, int, const std::string&) {}
