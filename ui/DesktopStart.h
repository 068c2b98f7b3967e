#pragma once

#include <QMargins>
#include <QRect>
#include <QSize>
#include <QString>

#include "ui/UiServices.h"

namespace veerline::ui {

class DrawingWindow;
class frmVehicleTurning;

// Where the two windows go on the available area of a screen, as client
// rectangles (inside their frames): the main window at the lower right, a
// third of an inch from the edges where there is room, made smaller where
// the screen is too small; the drawing window in the room to its left.
// Both frames, title bars included, lie inside the area.
struct DesktopLayout {
  QRect main;
  QRect drawing;
};

// mainWanted and mainLeast are the main window's preferred and smallest
// sizes, frame the width of a window frame on each side, margin the distance
// kept from the screen's edges.
DesktopLayout LayOutDesktop(const QRect& available, const QSize& mainWanted, const QSize& mainLeast,
                            const QMargins& frame, int margin);

// Lays both windows out on the main window's screen.
void PlaceDesktopWindows(frmVehicleTurning& main, DrawingWindow& drawing);

// Starts the desktop program: the splash screen, and when it closes the main
// window and the drawing window, the drawing given (or the last one used)
// open. The application's event loop ends when the main window has closed,
// whichever way it was closed; no hidden window keeps the program running.
void StartDesktop(const UiServices& services, const QString& drawingFile);

}  // namespace veerline::ui
