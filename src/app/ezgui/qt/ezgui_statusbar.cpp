#include <QStringList>
#include <vector>

#include "app/ezgui/qt/ezgui_controls.h"
#include "app/ezgui/qt/ezgui_widgets.h"

namespace {

EzStatusBar* barOf(const std::string& form, int id) {
  return ezControlWidget<EzStatusBar>(form, id);
}

}  // namespace

void EZ_STATUSBAR(const std::string& form, int id, const std::string& caption,
                  const std::string& props) {
  (void)props;
  QWidget* parent = ezControlParent(form);
  if (!parent) return;
  auto* bar = new EzStatusBar(parent);
  bar->setPartText(1, ezFromBytes(caption));
  if (!ezAddControl(form, id, EzKind::StatusBar, bar, 0, 0, 1, 1)) return;
  if (auto* client = dynamic_cast<EzClient*>(parent)) client->layOutExtras();
}

void EZ_SETSBPARTS(const std::string& form, int id, int count, const std::string& widths) {
  EzStatusBar* bar = ezOnGuiThread() ? barOf(form, id) : nullptr;
  if (!bar || count < 1) return;
  const QStringList given = ezFromBytes(widths).split('|');
  std::vector<int> percentages;
  for (int i = 0; i < count; ++i) {
    bool ok = false;
    const int w = i < given.size() ? given[i].trimmed().toInt(&ok) : 0;
    percentages.push_back(ok && w > 0 ? w : 100 / count);
  }
  bar->setParts(percentages);
}

void ezDoStatusText(const std::string& form, int id, int part, const std::string& text) {
  if (EzStatusBar* bar = barOf(form, id)) bar->setPartText(part, ezFromBytes(text));
}
