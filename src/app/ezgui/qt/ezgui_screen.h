// Where windows go on the screen. A form's window never reaches past the
// work area of the screen (the desktop's panels left out): its size is cut
// down to what the area holds and its place moved until it is wholly
// inside. The debug form also keeps off the main window's controls, beside
// the main window where the screen has room for it.
//
// Places are those of the window's frame corner and sizes those of its
// inside, as QWidget::move and QWidget::resize take them.
#pragma once

#include <QPoint>
#include <QSize>

class QWidget;

// Puts the window at `corner` with the inside `size`, fitted into the work area.
void ezPlaceOnScreen(QWidget* window, QPoint corner, QSize size);
// Gives the window the inside `size`, fitted into the work area, in the
// middle of that area.
void ezPlaceCentred(QWidget* window, QSize size);
// As ezPlaceOnScreen, but the window covers none of the main window's
// controls: beside the main window when the screen has room for the whole
// window there, else at the place nearest `corner` that covers no control,
// else as large as the room beside the main window or between its controls
// allows. Where the main window is not shown, as ezPlaceOnScreen.
void ezPlaceClearOfMainForm(QWidget* window, QPoint corner, QSize size);
