// Where a window goes on the screen, as plain geometry both GUI layers
// share, so a window lands in the same place whatever draws it. Rectangles
// are in screen pixels and include the window system's frame; the layers
// turn them into the calls their toolkit takes.
#pragma once

#include <optional>
#include <vector>

struct EzBox {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;

  int right() const { return x + width; }    // one past the last column
  int bottom() const { return y + height; }  // one past the last row
  bool empty() const { return width <= 0 || height <= 0; }
  bool meets(const EzBox& other) const;
};

// How far the frame reaches out from the window's inside on each side.
struct EzFrame {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
};

// The largest box inside the logical `area` that surely lies within the
// device pixels behind it at `ratio` device pixels per logical one. A
// toolkit gives the area's edges as the nearest logical pixels, which may be
// past the screen's: at 1.5, 1366 pixels are 911 logical ones, 1366.5 pixels.
EzBox ezWithinDevicePixels(const EzBox& area, double ratio);
// The whole size (frame included) of a window whose inside is
// `width` x `height`, cut down to what `area` holds; at least 1 x 1 inside.
EzBox ezFittedOuter(const EzBox& area, const EzFrame& frame, int width, int height);
// `outer` moved the least so that it lies inside `area` (its corner kept
// on the area when it is the larger).
EzBox ezKeptInside(const EzBox& area, EzBox outer);
// `outer` in the middle of `area`.
EzBox ezCentred(const EzBox& area, EzBox outer);

// The place in `area` for a window of the whole size `want` (its x and y
// being where it would go) that covers none of the main window's
// `controls` (title bar and menu bar included): beside the main window
// (`mainOuter`) when there is room for the whole window, else the place
// nearest the wish between its controls, else the largest beside it no
// smaller than `useful`, else the largest between its controls. None when
// no place covers no control.
std::optional<EzBox> ezPlaceClearOf(const EzBox& area, const EzBox& mainOuter,
                                    const std::vector<EzBox>& controls, const EzBox& want,
                                    int usefulWidth, int usefulHeight);
