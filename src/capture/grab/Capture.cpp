#include "capture/grab/Capture.h"

#include "capture/grab/CaptureSource.h"
#include "capture/grab/Desktop.h"
#include "capture/grab/PortalScreenGrab.h"
#include "capture/grab/QtScreenGrab.h"
#include "capture/grab/XcbShmGrab.h"

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

// On X11 the shared-memory grab where it is the source and works, else Qt's.
forms::Picture grabDirect(bool sharedMemory, WindowHandle hWnd, bool ClientArea, int SrcLeft,
                          int SrcTop, int SrcWidth, int SrcHeight)
{
    const WindowHandle desktop = GetDesktopWindow();
    const std::optional<QPoint> origin = xcbshm::WindowOrigin(hWnd ? hWnd : desktop, !ClientArea);
    if (origin) {
        const QScreen* screen = screenAtDevicePoint(*origin);
        const qreal dpr = screen ? screen->devicePixelRatio() : 1.0;
        // Edges are rounded, not extents, so neighbouring grabs tile without gaps.
        const QPoint topLeft(origin->x() + ToDevicePixels(SrcLeft, dpr),
                             origin->y() + ToDevicePixels(SrcTop, dpr));
        const QPoint bottomRight(origin->x() + ToDevicePixels(SrcLeft + SrcWidth, dpr),
                                 origin->y() + ToDevicePixels(SrcTop + SrcHeight, dpr));
        if (sharedMemory) {
            if (std::optional<forms::Picture> picture
                = xcbshm::GrabRoot(QRect(topLeft, bottomRight - QPoint(1, 1)))) {
                picture->setDevicePixelRatio(dpr);
                return *picture;
            }
        }
        // Through Qt, the same area of the screen.
        const QPoint corner = screen ? screen->geometry().topLeft() : QPoint();
        const QPoint logical = corner
                               + QPoint(std::lrint((topLeft.x() - corner.x()) / dpr),
                                        std::lrint((topLeft.y() - corner.y()) / dpr));
        return GrabWithQt(0, logical.x(), logical.y(), SrcWidth, SrcHeight);
    }
    return GrabWithQt(hWnd == desktop ? 0 : hWnd, SrcLeft, SrcTop, SrcWidth, SrcHeight);
}

// Every monitor in one grab of the root window (or Qt's per monitor), the gaps black.
forms::Picture directDesktop(bool sharedMemory)
{
    const QList<Monitor> monitors = DesktopMonitors();
    const QRect bounds = DesktopBounds(monitors);
    if (bounds.isEmpty())
        return {};
    std::optional<forms::Picture> picture;
    if (sharedMemory)
        picture = xcbshm::GrabRoot(bounds);
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

forms::Picture GrabWindowArea(WindowHandle hWnd, bool ClientArea, int SrcLeft, int SrcTop,
                              int SrcWidth, int SrcHeight)
{
    lastError.clear();
    if (SrcWidth <= 0 || SrcHeight <= 0) {
        lastError = QObject::tr("the area to capture is empty.");
        return {};
    }
    forms::Picture picture;
    switch (const CaptureSource source = ScreenSource()) {
    case CaptureSource::Portal:
        picture = grabFromPortal(hWnd, ClientArea, QRect(SrcLeft, SrcTop, SrcWidth, SrcHeight));
        break;
    case CaptureSource::SharedMemory:
    case CaptureSource::Qt:
        picture = grabDirect(source == CaptureSource::SharedMemory, hWnd, ClientArea, SrcLeft,
                             SrcTop, SrcWidth, SrcHeight);
        break;
    case CaptureSource::None:
        lastError = NoSourceReason();
        break;
    }
    if (picture.isNull() && lastError.isEmpty())
        lastError = QObject::tr("the display gave no pixels.");
    return picture;
}

forms::Picture GrabDesktop(qreal ratio)
{
    lastError.clear();
    forms::Picture picture;
    switch (const CaptureSource source = ScreenSource()) {
    case CaptureSource::Portal:
        picture = portalDesktop();
        break;
    case CaptureSource::SharedMemory:
    case CaptureSource::Qt:
        picture = directDesktop(source == CaptureSource::SharedMemory);
        break;
    case CaptureSource::None:
        lastError = NoSourceReason();
        break;
    }
    if (picture.isNull()) {
        if (lastError.isEmpty())
            lastError = QObject::tr("the display gave no pixels.");
        return picture;
    }
    picture.setDevicePixelRatio(ratio);
    return picture;
}

} // namespace capture
