#include "capture/Capture.h"

#include "capture/Desktop.h"
#include "capture/QtScreenGrab.h"
#include "capture/XcbShmGrab.h"

#include <QGuiApplication>
#include <QScreen>

#include <cmath>

namespace capture {
namespace {

// The screen under a point of the root window, in device pixels.
const QScreen* screenAtDevicePoint(QPoint point)
{
    for (const Monitor& monitor : DesktopMonitors()) {
        if (monitor.device.contains(point))
            return monitor.screen;
    }
    return QGuiApplication::primaryScreen();
}

int toDevice(int logical, qreal dpr)
{
    return static_cast<int>(std::lrint(logical * dpr));
}

} // namespace

WindowHandle GetDesktopWindow()
{
    return xcbshm::RootWindow().value_or(0);
}

forms::Picture GrabWindowArea(WindowHandle hWnd, bool ClientArea, int SrcLeft, int SrcTop,
                              int SrcWidth, int SrcHeight)
{
    if (SrcWidth <= 0 || SrcHeight <= 0)
        return {};
    const WindowHandle desktop = GetDesktopWindow();
    const std::optional<QPoint> origin = xcbshm::WindowOrigin(hWnd ? hWnd : desktop, !ClientArea);
    if (origin) {
        const QScreen* screen = screenAtDevicePoint(*origin);
        const qreal dpr = screen ? screen->devicePixelRatio() : 1.0;
        // Edges are rounded, not extents, so neighbouring grabs tile without gaps.
        const QPoint topLeft(origin->x() + toDevice(SrcLeft, dpr), origin->y() + toDevice(SrcTop, dpr));
        const QPoint bottomRight(origin->x() + toDevice(SrcLeft + SrcWidth, dpr),
                                 origin->y() + toDevice(SrcTop + SrcHeight, dpr));
        if (std::optional<forms::Picture> picture = xcbshm::GrabRoot(QRect(topLeft, bottomRight - QPoint(1, 1)))) {
            picture->setDevicePixelRatio(dpr);
            return *picture;
        }
        // No shared memory: grab the same area of the screen through Qt.
        const QPoint corner = screen ? screen->geometry().topLeft() : QPoint();
        const QPoint logical = corner + QPoint(std::lrint((topLeft.x() - corner.x()) / dpr),
                                               std::lrint((topLeft.y() - corner.y()) / dpr));
        return GrabWithQt(0, logical.x(), logical.y(), SrcWidth, SrcHeight);
    }
    return GrabWithQt(hWnd == desktop ? 0 : hWnd, SrcLeft, SrcTop, SrcWidth, SrcHeight);
}

forms::Picture GrabDesktop(qreal ratio)
{
    const QList<Monitor> monitors = DesktopMonitors();
    const QRect bounds = DesktopBounds(monitors);
    if (bounds.isEmpty())
        return {};
    std::optional<forms::Picture> picture = xcbshm::GrabRoot(bounds);
    if (!picture)
        picture = GrabMonitorsWithQt(monitors, bounds);
    BlackenUnshown(*picture, bounds.topLeft(), monitors);
    picture->setDevicePixelRatio(ratio);
    return *std::move(picture);
}

} // namespace capture
