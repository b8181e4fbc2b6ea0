#include "app/ezgui/ezgui_placement.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

int clampInto(int value, int low, int high) {
  return std::max(low, std::min(value, high));
}

bool meetsAny(const EzBox& room, const std::vector<EzBox>& obstacles) {
  return std::any_of(obstacles.begin(), obstacles.end(),
                     [&](const EzBox& o) { return o.meets(room); });
}

// The best place in `area` for a window of the whole size of `want` that
// meets none of `obstacles`: the largest it can be there (at most `want`,
// at least `least`), then the nearest to where `want` is. Every room
// between the obstacles' edges is tried; the main window has a handful of
// controls.
std::optional<EzBox> bestPlace(const EzBox& area, const std::vector<EzBox>& obstacles,
                               const EzBox& want, int leastWidth, int leastHeight) {
  std::vector<int> lefts{area.x}, tops{area.y};
  std::vector<int> rights{area.right()}, bottoms{area.bottom()};
  for (const EzBox& o : obstacles) {
    lefts.push_back(o.right());
    tops.push_back(o.bottom());
    rights.push_back(o.x);
    bottoms.push_back(o.y);
  }
  std::optional<EzBox> best;
  long long bestSize = -1;
  long long bestDistance = 0;
  for (int l : lefts) {
    for (int r : rights) {
      if (l < area.x || r > area.right() || r - l < leastWidth) continue;
      for (int t : tops) {
        for (int b : bottoms) {
          if (t < area.y || b > area.bottom() || b - t < leastHeight) continue;
          const EzBox room{l, t, r - l, b - t};
          if (meetsAny(room, obstacles)) continue;
          const EzBox sized{want.x, want.y, std::min(want.width, room.width),
                            std::min(want.height, room.height)};
          const EzBox at = ezKeptInside(room, sized);
          const long long size = static_cast<long long>(at.width) * at.height;
          const long long distance = std::abs(at.x - want.x) + std::abs(at.y - want.y);
          if (size > bestSize || (size == bestSize && distance < bestDistance)) {
            best = at;
            bestSize = size;
            bestDistance = distance;
          }
        }
      }
    }
  }
  return best;
}

}  // namespace

bool EzBox::meets(const EzBox& other) const {
  if (empty() || other.empty()) return false;
  return x < other.right() && other.x < right() && y < other.bottom() && other.y < bottom();
}

EzBox ezWithinDevicePixels(const EzBox& area, double ratio) {
  if (ratio <= 0) return area;
  // Each edge could have been rounded from half a logical pixel either way;
  // the slack keeps a ratio such as 1.1 from rounding an exact edge away.
  constexpr double Slack = 1e-6;
  auto lowEdge = [&](int edge) {
    return static_cast<int>(std::ceil(std::floor((edge + 0.5) * ratio + Slack) / ratio - Slack));
  };
  auto highEdge = [&](int edge) {
    return static_cast<int>(std::floor(std::ceil((edge - 0.5) * ratio - Slack) / ratio + Slack));
  };
  const int left = lowEdge(area.x);
  const int top = lowEdge(area.y);
  return EzBox{left, top, highEdge(area.right()) - left, highEdge(area.bottom()) - top};
}

EzBox ezFittedOuter(const EzBox& area, const EzFrame& frame, int width, int height) {
  const int across = frame.left + frame.right;
  const int down = frame.top + frame.bottom;
  const int insideWidth = std::max(1, std::min(width, area.width - across));
  const int insideHeight = std::max(1, std::min(height, area.height - down));
  return EzBox{0, 0, insideWidth + across, insideHeight + down};
}

EzBox ezKeptInside(const EzBox& area, EzBox outer) {
  outer.x = clampInto(outer.x, area.x, area.right() - outer.width);
  outer.y = clampInto(outer.y, area.y, area.bottom() - outer.height);
  return outer;
}

EzBox ezCentred(const EzBox& area, EzBox outer) {
  outer.x = area.x + (area.width - outer.width) / 2;
  outer.y = area.y + (area.height - outer.height) / 2;
  return outer;
}

std::optional<EzBox> ezPlaceClearOf(const EzBox& area, const EzBox& mainOuter,
                                    const std::vector<EzBox>& controls, const EzBox& want,
                                    int usefulWidth, int usefulHeight) {
  const std::vector<EzBox> beside{mainOuter};
  const int leastWidth = std::min(usefulWidth, want.width);
  const int leastHeight = std::min(usefulHeight, want.height);
  std::optional<EzBox> place = bestPlace(area, beside, want, want.width, want.height);
  if (!place) place = bestPlace(area, controls, want, want.width, want.height);
  if (!place) place = bestPlace(area, beside, want, leastWidth, leastHeight);
  if (!place) place = bestPlace(area, controls, want, 1, 1);
  return place;
}
