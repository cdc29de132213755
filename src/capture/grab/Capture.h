#pragma once

#include "capture/grab/Desktop.h"
#include "forms/Picture.h"

#include <QString>
#include <QtGlobal>

namespace capture {

// The window whose area is the whole screen (the root window on X11).
WindowHandle GetDesktopWindow();

// Copies a rectangle of a window as it shows on the screen into a new Picture in the
// display's format. ClientArea true: the rectangle is measured from the window's
// client area; false: from its outer frame (title bar and border included).
// Coordinates and sizes are logical pixels; the picture holds every device pixel of the
// rectangle and carries the screen's device pixel ratio. Parts outside the screen are
// black. On a 256-colour palette display the picture holds a copy of the palette.
// On a Wayland session the desktop portal serves the grab. No picture when the screen
// cannot be read; LastGrabError() then says why.
forms::Picture GrabWindowArea(WindowHandle hWnd, bool ClientArea, int SrcLeft, int SrcTop,
                              int SrcWidth, int SrcHeight);

// Every monitor of the desktop in one picture taken in one grab: the smallest rectangle of
// device pixels holding them all, each monitor's pixels at its place, and black wherever no
// monitor shows (the gaps of an uneven layout). The picture carries the given ratio.
forms::Picture GrabDesktop(qreal ratio);

// Why the last GrabWindowArea or GrabDesktop gave no picture; empty after one that worked.
QString LastGrabError();

} // namespace capture
