#pragma once

#include "forms/Picture.h"

#include <QList>
#include <QRect>

class QScreen;

namespace capture {

// A native window id (an X window on X11). 0 is no window.
using WindowHandle = quintptr;

// One monitor of the desktop: its logical geometry (as QScreen gives it), the same area in
// the desktop's device pixels, and its device pixel ratio.
struct Monitor {
    QScreen* screen = nullptr;
    QRect logical;
    QRect device;
    qreal ratio = 1.0;
};

// A logical coordinate in device pixels. Rectangles convert edge by edge, never by their
// extent, so neighbouring areas tile without gaps.
int ToDevicePixels(int logical, qreal ratio);

// Where a screen lies in device pixels.
Monitor MonitorOf(QScreen& screen);

// Every monitor of the desktop, the primary one first.
QList<Monitor> DesktopMonitors();

// The smallest rectangle of device pixels that holds every monitor.
QRect DesktopBounds(const QList<Monitor>& monitors);

// Paints black every pixel of picture that no monitor shows; the picture's pixel (0, 0)
// is the desktop's device pixel origin.
void BlackenUnshown(forms::Picture& picture, QPoint origin, const QList<Monitor>& monitors);

} // namespace capture
