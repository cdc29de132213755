#include "capture/grab/Capture.h"

#include "capture/grab/Desktop.h"
#include "capture/grab/PortalScreenGrab.h"
#include "capture/grab/QtScreenGrab.h"
#include "capture/grab/XcbShmGrab.h"
#include "forms/DesktopSession.h"

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

QString lastError;

// The whole desktop from the portal, or no picture and the reason in lastError.
forms::Picture portalDesktop()
{
    portal::Shot shot = portal::Screenshot();
    if (shot.picture.isNull())
        lastError = shot.error;
    return shot.picture;
}

QRect logicalDesktop()
{
    QRect desktopArea;
    for (const QScreen* screen : QGuiApplication::screens())
        desktopArea |= screen->geometry();
    return desktopArea;
}

forms::Picture grabFromPortal(WindowHandle hWnd, bool ClientArea, QRect logical)
{
    const WindowHandle desktop = GetDesktopWindow();
    if (hWnd != 0 && hWnd != desktop) {
        // Only Xwayland tells where a window lies.
        const std::optional<QPoint> origin = xcbshm::WindowOrigin(hWnd, !ClientArea);
        if (!origin) {
            lastError = QObject::tr("a single window cannot be located on this desktop.");
            return {};
        }
        const QScreen* screen = screenAtDevicePoint(*origin);
        const qreal dpr = screen ? screen->devicePixelRatio() : 1.0;
        logical.translate(std::lrint(origin->x() / dpr), std::lrint(origin->y() / dpr));
    }
    const forms::Picture shot = portalDesktop();
    return shot.isNull() ? shot : portal::CutOut(shot, logicalDesktop(), logical);
}

// On X11 the shared-memory grab, else Qt's.
forms::Picture grabDirect(WindowHandle hWnd, bool ClientArea, int SrcLeft, int SrcTop,
                          int SrcWidth, int SrcHeight)
{
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

// Every monitor in one grab of the root window (or Qt's per monitor), the gaps black.
forms::Picture directDesktop()
{
    const QList<Monitor> monitors = DesktopMonitors();
    const QRect bounds = DesktopBounds(monitors);
    if (bounds.isEmpty())
        return {};
    std::optional<forms::Picture> picture = xcbshm::GrabRoot(bounds);
    if (!picture)
        picture = GrabMonitorsWithQt(monitors, bounds);
    if (picture->isNull())
        return {};
    BlackenUnshown(*picture, bounds.topLeft(), monitors);
    return *std::move(picture);
}

} // namespace

WindowHandle GetDesktopWindow()
{
    return xcbshm::RootWindow().value_or(0);
}

QString LastGrabError()
{
    return lastError;
}

// The one place that chooses how screen pixels are read, for an area and for the desktop.
// Wayland clients may not read the screen, and an X11 client of Xwayland reads back a
// black root window: on a Wayland session only the desktop portal has the pixels.
forms::Picture GrabWindowArea(WindowHandle hWnd, bool ClientArea, int SrcLeft, int SrcTop,
                              int SrcWidth, int SrcHeight)
{
    lastError.clear();
    if (SrcWidth <= 0 || SrcHeight <= 0) {
        lastError = QObject::tr("the area to capture is empty.");
        return {};
    }
    forms::Picture picture = forms::OnWaylandSession()
        ? grabFromPortal(hWnd, ClientArea, QRect(SrcLeft, SrcTop, SrcWidth, SrcHeight))
        : grabDirect(hWnd, ClientArea, SrcLeft, SrcTop, SrcWidth, SrcHeight);
    if (picture.isNull() && lastError.isEmpty())
        lastError = QObject::tr("the display gave no pixels.");
    return picture;
}

forms::Picture GrabDesktop(qreal ratio)
{
    lastError.clear();
    forms::Picture picture = forms::OnWaylandSession() ? portalDesktop() : directDesktop();
    if (picture.isNull()) {
        if (lastError.isEmpty())
            lastError = QObject::tr("the display gave no pixels.");
        return picture;
    }
    picture.setDevicePixelRatio(ratio);
    return picture;
}

} // namespace capture
