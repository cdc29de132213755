#include "capture/Capture.h"

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
    for (const QScreen* screen : QGuiApplication::screens()) {
        const qreal dpr = screen->devicePixelRatio();
        const QRect geometry = screen->geometry();
        const QRect native(QPoint(std::lrint(geometry.x() * dpr), std::lrint(geometry.y() * dpr)),
                           QSize(std::lrint(geometry.width() * dpr), std::lrint(geometry.height() * dpr)));
        if (native.contains(point))
            return screen;
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
        const QPoint logical(std::lrint(topLeft.x() / dpr), std::lrint(topLeft.y() / dpr));
        return GrabWithQt(0, logical.x(), logical.y(), SrcWidth, SrcHeight);
    }
    return GrabWithQt(hWnd == desktop ? 0 : hWnd, SrcLeft, SrcTop, SrcWidth, SrcHeight);
}

} // namespace capture
