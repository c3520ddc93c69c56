#pragma once

#include <QRect>

class QScreen;
class QWidget;

// Where the program's windows open: centred on the screen the user is looking at, and
// wholly inside its available area (clear of panels and docks). That screen is the one of
// the window's parent or of the active window while it is on screen; the program mostly
// runs hidden in the tray, and then it is the screen under the mouse.
namespace WindowPlacement {

// The frame rectangle of a window whose frame is `frameSize`, centred in `area` and shrunk
// to fit it where it is larger.
QRect centredInside(const QRect& area, const QSize& frameSize);

// The screen `window` opens on (see above).
QScreen* screenFor(const QWidget* window);

// Moves (and, when it is too large, resizes) `window` as described above.
void centre(QWidget* window);

// Centres `window` each time it is opened (not when the window system restores it from
// minimised). Call once, after the window has been made.
void centreWhenShown(QWidget* window);

} // namespace WindowPlacement
