#include "app/ezgui/ezgui_screen.h"

#include <QGuiApplication>
#include <QMargins>
#include <QRect>
#include <QScreen>
#include <QWidget>
#include <algorithm>
#include <optional>
#include <vector>

#include "app/ezgui/ezgui_state.h"

namespace {

// Smallest debug window worth having beside the main window: a few lines
// of a few words. Less room than that there, and a place between the main
// window's controls may serve better.
constexpr float UsefulWidth = 24;
constexpr float UsefulHeight = 6;

QRect workArea() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  return screen ? screen->availableGeometry() : QRect();
}

QMargins marginsOf(const QWidget* window) {
  const QRect outer = window->frameGeometry();
  const QRect inner = window->geometry();
  return QMargins(inner.left() - outer.left(), inner.top() - outer.top(),
                  outer.right() - inner.right(), outer.bottom() - inner.bottom());
}

EzForm* shownMainForm() {
  EzForm* main = ezFindForm(EzLayer.mainFormKey);
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

int clampInto(int value, int low, int high) {
  return std::max(low, std::min(value, high));
}

// The window's whole size, frame included, cut down to what the area holds.
QSize fittedOuter(const QRect& area, const QMargins& frame, QSize inside) {
  const QSize room(area.width() - frame.left() - frame.right(),
                   area.height() - frame.top() - frame.bottom());
  return inside.boundedTo(room).expandedTo(QSize(1, 1)).grownBy(frame);
}

QPoint keptInside(const QRect& area, QPoint corner, QSize outer) {
  return QPoint(clampInto(corner.x(), area.left(), area.right() + 1 - outer.width()),
                clampInto(corner.y(), area.top(), area.bottom() + 1 - outer.height()));
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

bool meetsAny(const QRect& room, const std::vector<QRect>& obstacles) {
  return std::any_of(obstacles.begin(), obstacles.end(),
                     [&](const QRect& o) { return o.intersects(room); });
}

// The best place in `area` for a window of the whole size `want` that meets
// none of `obstacles`: the largest it can be there (at most `want`, at
// least `least`), then the nearest to `wish`. Every room between the
// obstacles' edges is tried; the main window has a handful of controls.
std::optional<QRect> bestPlace(const QRect& area, const std::vector<QRect>& obstacles, QSize want,
                               QSize least, QPoint wish) {
  std::vector<int> lefts{area.left()}, tops{area.top()};
  std::vector<int> rights{area.right()}, bottoms{area.bottom()};
  for (const QRect& o : obstacles) {
    lefts.push_back(o.right() + 1);
    tops.push_back(o.bottom() + 1);
    rights.push_back(o.left() - 1);
    bottoms.push_back(o.top() - 1);
  }
  std::optional<QRect> best;
  long long bestSize = -1;
  long long bestDistance = 0;
  for (int l : lefts) {
    for (int r : rights) {
      if (l < area.left() || r > area.right() || r - l + 1 < least.width()) continue;
      for (int t : tops) {
        for (int b : bottoms) {
          if (t < area.top() || b > area.bottom() || b - t + 1 < least.height()) continue;
          const QRect room(QPoint(l, t), QPoint(r, b));
          if (meetsAny(room, obstacles)) continue;
          const QSize size = want.boundedTo(room.size());
          const QPoint at = keptInside(room, wish, size);
          const long long area_ = static_cast<long long>(size.width()) * size.height();
          const long long distance = (at - wish).manhattanLength();
          if (area_ > bestSize || (area_ == bestSize && distance < bestDistance)) {
            best = QRect(at, size);
            bestSize = area_;
            bestDistance = distance;
          }
        }
      }
    }
  }
  return best;
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
  const QPoint corner(area.left() + (area.width() - outer.width()) / 2,
                      area.top() + (area.height() - outer.height()) / 2);
  put(window, QRect(corner, outer), frame);
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
  const std::vector<QRect> beside{main->window->frameGeometry()};
  const std::vector<QRect> controls = mainControls(*main);
  std::optional<QRect> place = bestPlace(area, beside, want, want, corner);
  if (!place) place = bestPlace(area, controls, want, want, corner);
  if (!place) place = bestPlace(area, beside, want, useful, corner);
  if (!place) place = bestPlace(area, controls, want, QSize(1, 1), corner);
  if (!place) {
    ezPlaceOnScreen(window, corner, size);
    return;
  }
  put(window, *place, frame);
}
