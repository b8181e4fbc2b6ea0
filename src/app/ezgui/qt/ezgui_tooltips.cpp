// Tooltips are asked for when they are about to show: event 8 goes to the
// event routine, which answers with EZ_SETTOOLTIP; no answer, no tooltip.
// The items of a combo box's dropped-down list ask with the item's number
// plus one as event value.
#include <QAbstractItemView>
#include <QComboBox>
#include <QHelpEvent>
#include <QToolTip>
#include <QWidget>

#include "app/ezgui/qt/ezgui_state.h"
#include "app/ezgui/qt/ezgui_widgets.h"

namespace {

// The list a combo box drops down lives in a pop-up window of its own,
// below the control in the widget tree.
bool controlAbove(const QWidget* widget, int& serial, int& id) {
  for (; widget; widget = widget->parentWidget()) {
    if (ezTagOf(widget, serial, id)) return true;
  }
  return false;
}

// The event value asking for `widget`'s tooltip at `at`: 0 for the control
// itself, the item's number plus one over an item of a dropped-down list,
// -1 over such a list but no item.
int tooltipValue(const QWidget* widget, QPoint at) {
  const auto* view = qobject_cast<const QAbstractItemView*>(widget->parentWidget());
  if (!view || view->viewport() != widget) return 0;
  const QModelIndex item = view->indexAt(at);
  return item.isValid() ? item.row() + 1 : -1;
}

class TooltipFilter : public QObject {
 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::ToolTip) return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    int serial = 0;
    int id = 0;
    if (!widget || !controlAbove(widget, serial, id)) return false;
    const auto* help = static_cast<QHelpEvent*>(event);
    const int value = tooltipValue(widget, help->pos());
    EzLayer.tooltipAnswered = false;
    EzLayer.tooltipAnswer.clear();
    if (value >= 0) ezDeliver(serial, id, EzTooltipWanted, value);
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
  if (auto* combo = qobject_cast<QComboBox*>(c->widget.data())) {
    combo->view()->viewport()->installEventFilter(EzLayer.tooltipFilter.get());
  }
}

void EZ_SETTOOLTIP(const std::string& text) {
  EzLayer.tooltipAnswer = text;
  EzLayer.tooltipAnswered = true;
  EzLayer.lastTooltip = text;
}

// The look of tooltips is the desktop's.
void EZ_DEFTOOLTIPPROP(int, int, const std::string&) {}
