#include "app/ezgui/qt/ezgui_screen.h"

#include <QGuiApplication>
#include <QMargins>
#include <QRect>
#include <QScreen>
#include <QWidget>
#include <optional>
#include <vector>

#include "app/ezgui/ezgui_placement.h"
#include "app/ezgui/qt/ezgui_state.h"

namespace {

// Smallest debug window worth having beside the main window: a few lines
// of a few words. Less room than that there, and a place between the main
// window's controls may serve better.
constexpr float UsefulWidth = 24;
constexpr float UsefulHeight = 6;

QRect workArea() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (!screen) return QRect();
  const QRect area = screen->availableGeometry();
  const EzBox within = ezWithinDevicePixels(EzBox{area.x(), area.y(), area.width(), area.height()},
                                            screen->devicePixelRatio());
  return QRect(within.x, within.y, within.width, within.height);
}

QMargins marginsOf(const QWidget* window) {
  const QRect outer = window->frameGeometry();
  const QRect inner = window->geometry();
  return QMargins(inner.left() - outer.left(), inner.top() - outer.top(),
                  outer.right() - inner.right(), outer.bottom() - inner.bottom());
}

EzForm* shownMainForm() {
  EzForm* main = ezFindForm(EzForms.mainFormKey);
  return main && main->window && main->window->isVisible() ? main : nullptr;
}

// A window gets its whole frame from the window system once shown; before
// that the main window's frame is the best guess of what it will be, and
// for the main window itself what the window system tells of a window made
// but not yet shown.
QMargins frameOf(QWidget* window) {
  if (window->isVisible()) return marginsOf(window);
  if (EzForm* main = shownMainForm()) return marginsOf(main->window);
  window->winId();
  return marginsOf(window);
}

EzBox boxOf(const QRect& r) {
  return EzBox{r.x(), r.y(), r.width(), r.height()};
}

QRect rectOf(const EzBox& b) {
  return QRect(b.x, b.y, b.width, b.height);
}

EzFrame asFrame(const QMargins& m) {
  return EzFrame{m.left(), m.top(), m.right(), m.bottom()};
}

// The window's whole size, frame included, cut down to what the area holds.
QSize fittedOuter(const QRect& area, const QMargins& frame, QSize inside) {
  const EzBox outer = ezFittedOuter(boxOf(area), asFrame(frame), inside.width(), inside.height());
  return QSize(outer.width, outer.height);
}

QPoint keptInside(const QRect& area, QPoint corner, QSize outer) {
  const EzBox kept =
      ezKeptInside(boxOf(area), EzBox{corner.x(), corner.y(), outer.width(), outer.height()});
  return QPoint(kept.x, kept.y);
}

void put(QWidget* window, const QRect& outer, const QMargins& frame) {
  window->move(outer.topLeft());
  window->resize(outer.size().shrunkBy(frame).expandedTo(QSize(1, 1)));
}

QRect globalRect(const QWidget* widget) {
  return QRect(widget->mapToGlobal(QPoint(0, 0)), widget->size());
}

// What of the main window another window must not cover: its title bar,
// its menu bar and every control shown.
std::vector<QRect> mainControls(const EzForm& main) {
  std::vector<QRect> controls;
  const QRect outer = main.window->frameGeometry();
  const QRect inner = main.window->geometry();
  if (inner.top() > outer.top()) {
    controls.emplace_back(outer.left(), outer.top(), outer.width(), inner.top() - outer.top());
  }
  if (main.menuBar && main.menuBar->isVisible()) controls.push_back(globalRect(main.menuBar));
  for (const auto& [id, control] : main.controls) {
    if (control.widget && control.widget->isVisible())
      controls.push_back(globalRect(control.widget));
  }
  return controls;
}

}  // namespace

void ezPlaceOnScreen(QWidget* window, QPoint corner, QSize size) {
  const QRect area = workArea();
  if (area.isEmpty()) {
    window->move(corner);
    window->resize(size);
    return;
  }
  const QMargins frame = frameOf(window);
  const QSize outer = fittedOuter(area, frame, size);
  put(window, QRect(keptInside(area, corner, outer), outer), frame);
}

void ezPlaceCentred(QWidget* window, QSize size) {
  const QRect area = workArea();
  if (area.isEmpty()) {
    window->resize(size);
    return;
  }
  const QMargins frame = frameOf(window);
  const QSize outer = fittedOuter(area, frame, size);
  const EzBox centred = ezCentred(boxOf(area), EzBox{0, 0, outer.width(), outer.height()});
  put(window, rectOf(centred), frame);
}

void ezPlaceClearOfMainForm(QWidget* window, QPoint corner, QSize size) {
  const EzForm* main = shownMainForm();
  const QRect area = workArea();
  if (!main || main->window == window || area.isEmpty()) {
    ezPlaceOnScreen(window, corner, size);
    return;
  }
  const QMargins frame = frameOf(window);
  const QSize want = fittedOuter(area, frame, size);
  const QSize useful =
      QSize(ezPixelsX(UsefulWidth), ezPixelsY(UsefulHeight)).grownBy(frame).boundedTo(want);
  std::vector<EzBox> controls;
  for (const QRect& control : mainControls(*main)) controls.push_back(boxOf(control));
  const std::optional<EzBox> place = ezPlaceClearOf(
      boxOf(area), boxOf(main->window->frameGeometry()), controls,
      EzBox{corner.x(), corner.y(), want.width(), want.height()}, useful.width(), useful.height());
  if (!place) {
    ezPlaceOnScreen(window, corner, size);
    return;
  }
  put(window, rectOf(*place), frame);
}
